// SPDX-License-Identifier: MIT
#include "word_table.h"

#include "entry_format.h"
#include "format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

namespace korva::helpdata {

namespace {

// A word is taken whole up to an entry's bytes, which no word outgrows: a search for any part of it finds it.
constexpr std::size_t kMaxWordBytes = kChunkSize;
// The distinct words of a reference of few entries still make a table of some size.
constexpr std::size_t kFewWords = 1024;
// A word of a data file takes this many bytes at least, with the space after it, as a rule: the room made for the
// words is asked of the system once and taken as it is filled.
constexpr std::size_t kBytesPerWordAtLeast = 4;

} // namespace

std::span<const WordId> WordTable::DescriptionWords(std::size_t entry) const
{
    const Entry &at = entries_[entry];
    return std::span<const WordId>(words_).subspan(at.firstWord, at.descriptionWords);
}

std::span<const WordId> WordTable::RestWords(std::size_t entry) const
{
    const Entry &at = entries_[entry];
    return std::span<const WordId>(words_).subspan(at.firstWord + at.descriptionWords, at.restWords);
}

std::string_view WordTable::Word(WordId word) const
{
    const std::uint32_t end = word + 1 < starts_.size() ? starts_[word + 1] : static_cast<std::uint32_t>(bytes_.size());
    return std::string_view(bytes_).substr(starts_[word], end - starts_[word]);
}

std::size_t WordTable::MemoryBytes() const
{
    // The room made for the entries' words past those the file holds is never written, and the system gives it no
    // memory.
    return bytes_.capacity() + (starts_.capacity() + holding_.capacity()) * sizeof(std::uint32_t) +
           entries_.capacity() * sizeof(Entry) + words_.size() * sizeof(WordId);
}

// The distinct words as they are found: an open-addressed table of their ids by their folded bytes' hash, each slot
// holding a part of the hash beside the id, so that a probe reads one place. A word is folded into a buffer of the
// table's own and hashed eight bytes at a time; it is copied into the table only when it is new.
class WordTableBuilder::Words
{
public:
    Words(WordTable &table, std::size_t expected) : table_(table)
    {
        std::size_t slots = kFirstSlots;
        while (slots < 2 * expected) {
            slots *= 2;
        }
        slots_.assign(slots, 0);
        // Room for the words foreseen, so that a reference of few entries makes its table without growing it.
        table_.starts_.reserve(expected);
        table_.holding_.reserve(expected);
        table_.bytes_.reserve(expected * kBytesPerWordAtLeast * 2);
    }

    // The id of the word `text` (bytes of the file, at most kMaxWordBytes), folded; new when the table holds no such
    // word yet.
    WordId Add(std::string_view text)
    {
        const std::size_t length = text.size();
        for (std::size_t i = 0; i < length; ++i) {
            folded_[i] = FoldByte(text[i]);
        }
        const std::string_view word(folded_.data(), length);
        const std::uint64_t hash = Hash(word);
        const auto check = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t slot = hash & (slots_.size() - 1);; slot = (slot + 1) & (slots_.size() - 1)) {
            const std::uint64_t held = slots_[slot];
            if (held == 0) {
                return AddNew(word, check, slot);
            }
            if (static_cast<std::uint32_t>(held >> 32) == check && table_.Word(Id(held)) == word) {
                return Id(held);
            }
        }
    }

private:
    static constexpr std::size_t kFirstSlots = 256;
    static constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;

    static WordId Id(std::uint64_t slot) { return static_cast<WordId>(slot & 0xFFFFFFFFU) - 1; }
    static std::uint64_t Slot(std::uint32_t check, WordId id) { return (std::uint64_t{check} << 32) | (id + 1); }

    // A hash of a folded word, eight bytes at a time: words are short, and most take one step.
    static std::uint64_t Hash(std::string_view word)
    {
        std::uint64_t hash = word.size() * kMultiplier;
        for (std::size_t at = 0; at < word.size(); at += sizeof(std::uint64_t)) {
            std::uint64_t chunk = 0;
            std::memcpy(&chunk, word.data() + at, std::min(sizeof chunk, word.size() - at));
            hash = (hash ^ chunk) * kMultiplier;
            hash ^= hash >> 29;
        }
        return hash;
    }

    WordId AddNew(std::string_view word, std::uint32_t check, std::size_t slot)
    {
        const auto id = static_cast<WordId>(table_.starts_.size());
        table_.starts_.push_back(static_cast<std::uint32_t>(table_.bytes_.size()));
        table_.bytes_.append(word);
        table_.holding_.push_back(0);
        slots_[slot] = Slot(check, id);
        if (2 * table_.starts_.size() > slots_.size()) {
            Grow();
        }
        return id;
    }

    void Grow()
    {
        std::vector<std::uint64_t> slots(slots_.size() * 2, 0);
        for (const std::uint64_t held : slots_) {
            if (held == 0) {
                continue;
            }
            std::size_t slot = Hash(table_.Word(Id(held))) & (slots.size() - 1);
            while (slots[slot] != 0) {
                slot = (slot + 1) & (slots.size() - 1);
            }
            slots[slot] = held;
        }
        slots_ = std::move(slots);
    }

    WordTable &table_;
    std::vector<std::uint64_t> slots_;
    std::array<char, kMaxWordBytes> folded_{};
};

WordTableBuilder::WordTableBuilder(std::shared_ptr<const CommandNames> names)
    : names_(std::move(names)), blocks_(names_->OffsetsInFileOrder()), table_(std::make_unique<WordTable>())
{
    // A guess at the distinct words, from the entries: the table grows past it when a reference has more.
    words_ = std::make_unique<Words>(*table_, 2 * names_->InFileOrder().size());
    table_->listVersion_ = names_->ListVersion();
    table_->entries_.resize(names_->InFileOrder().size());
}

WordTableBuilder::~WordTableBuilder() = default;

bool WordTableBuilder::Continue(platform::HelpFile &file, std::size_t byteBudget)
{
    if (table_->words_.capacity() == 0) {
        // Room for the words the file can hold at most but for a few, made once: a reference's words never move.
        table_->words_.reserve(file.Length() / kBytesPerWordAtLeast + kFewWords);
    }
    blocks_.Continue(file, byteBudget, [this](std::size_t entry, std::string_view entryBytes, std::uint32_t offset) {
        TakeEntry(entry, entryBytes, offset);
    });
    if (Done() && !Stale()) {
        Finish();
    }
    return Done();
}

std::optional<EntryParts> ShownParts(WordTable::Entry &text, std::string_view entryBytes, std::uint32_t entryOffset)
{
    std::optional<EntryParts> parts = ParseEntry(entryBytes);
    if (parts) {
        text.shown = true;
        text.descriptionOffset =
            entryOffset + static_cast<std::uint32_t>(parts->description.data() - entryBytes.data());
        text.descriptionLength = static_cast<std::uint16_t>(parts->description.size());
    }
    return parts;
}

void WordTableBuilder::TakeEntry(std::size_t entry, std::string_view entryBytes, std::uint32_t entryOffset)
{
    WordTable &table = *table_;
    WordTable::Entry &taken = table.entries_[entry];
    taken.firstWord = static_cast<std::uint32_t>(table.words_.size());
    const std::optional<EntryParts> parts = ShownParts(taken, entryBytes, entryOffset);
    if (!parts) {
        return; // an entry the entry view cannot show holds no text
    }
    taken.descriptionWords = static_cast<std::uint16_t>(TakeWords(entry, parts->description));
    std::size_t rest = 0;
    ForEachSearchedText(*parts, [&](std::string_view searched) { rest += TakeWords(entry, searched); });
    taken.restWords = static_cast<std::uint16_t>(std::min<std::size_t>(rest, UINT16_MAX));
}

std::size_t WordTableBuilder::TakeWords(std::size_t entry, std::string_view text)
{
    WordTable &table = *table_;
    std::size_t taken = 0;
    ForEachWord(text, [&](std::size_t start, std::size_t length) {
        const WordId id = words_->Add(text.substr(start, std::min(length, kMaxWordBytes)));
        table.words_.push_back(id);
        if (lastHolder_.size() <= id) {
            lastHolder_.resize(std::max<std::size_t>(id + 1, 2 * lastHolder_.size()), 0);
        }
        if (lastHolder_[id] != entry + 1) {
            lastHolder_[id] = static_cast<std::uint32_t>(entry + 1);
            ++table.holding_[id];
        }
        ++taken;
    });
    return taken;
}

void WordTableBuilder::Finish()
{
    words_.reset();
    lastHolder_ = {};
}

std::shared_ptr<const WordTable> WordTableBuilder::Take()
{
    if (!Done() || Stale() || table_ == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<const WordTable>(std::move(table_));
}

std::shared_ptr<const WordTable> BuildWordTable(platform::HelpFile &file, std::shared_ptr<const CommandNames> names)
{
    WordTableBuilder builder(std::move(names));
    while (!builder.Continue(file, std::numeric_limits<std::size_t>::max())) {
    }
    return builder.Take();
}

} // namespace korva::helpdata
