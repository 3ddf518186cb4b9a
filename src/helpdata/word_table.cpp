// SPDX-License-Identifier: MIT
#include "word_table.h"

#include "entry_format.h"
#include "format.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace korva::helpdata {

namespace {

// A word longer than this is taken by its first this many bytes: no word of a language is longer, and a run of
// letters in a file made to be hostile stays bounded.
constexpr std::size_t kMaxWordBytes = 255;

bool WordLess(std::string_view a, std::string_view b)
{
    return a < b;
}

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

std::optional<WordId> WordTable::Find(std::string_view word) const
{
    const auto found = std::lower_bound(inOrder_.begin(), inOrder_.end(), word,
                                        [this](WordId id, std::string_view text) { return WordLess(Word(id), text); });
    if (found != inOrder_.end() && Word(*found) == word) {
        return *found;
    }
    return std::nullopt;
}

std::span<const WordId> WordTable::WordsBeginningWith(std::string_view prefix) const
{
    const auto first = std::lower_bound(inOrder_.begin(), inOrder_.end(), prefix,
                                        [this](WordId id, std::string_view text) { return WordLess(Word(id), text); });
    const auto last =
        std::partition_point(first, inOrder_.end(), [this, prefix](WordId id) { return Word(id).starts_with(prefix); });
    return std::span<const WordId>(inOrder_).subspan(static_cast<std::size_t>(first - inOrder_.begin()),
                                                     static_cast<std::size_t>(last - first));
}

std::size_t WordTable::MemoryBytes() const
{
    return bytes_.capacity() +
           (starts_.capacity() + holding_.capacity() + inOrder_.capacity()) * sizeof(std::uint32_t) +
           entries_.capacity() * sizeof(Entry) + words_.capacity() * sizeof(WordId);
}

// The distinct words as they are found: an open-addressed table of their ids by their bytes' hash.
class WordTableBuilder::Words
{
public:
    explicit Words(WordTable &table) : table_(table), slots_(kFirstSlots, 0) {}

    // The id of the folded word `word`, new when the table holds no such word yet.
    WordId Add(std::string_view word, std::uint32_t hash)
    {
        for (std::size_t slot = hash & (slots_.size() - 1);; slot = (slot + 1) & (slots_.size() - 1)) {
            const std::uint32_t held = slots_[slot];
            if (held == 0) {
                const auto id = static_cast<WordId>(table_.starts_.size());
                table_.starts_.push_back(static_cast<std::uint32_t>(table_.bytes_.size()));
                table_.bytes_.append(word);
                table_.holding_.push_back(0);
                hashes_.push_back(hash);
                slots_[slot] = id + 1;
                if (2 * hashes_.size() > slots_.size()) {
                    Grow();
                }
                return id;
            }
            if (hashes_[held - 1] == hash && table_.Word(held - 1) == word) {
                return held - 1;
            }
        }
    }

    static std::uint32_t Hash(std::uint32_t hash, unsigned char byte) { return (hash ^ byte) * 16777619u; }
    static constexpr std::uint32_t kHashStart = 2166136261u;

private:
    static constexpr std::size_t kFirstSlots = 1024;

    void Grow()
    {
        std::vector<std::uint32_t> slots(slots_.size() * 2, 0);
        for (WordId id = 0; id < hashes_.size(); ++id) {
            std::size_t slot = hashes_[id] & (slots.size() - 1);
            while (slots[slot] != 0) {
                slot = (slot + 1) & (slots.size() - 1);
            }
            slots[slot] = id + 1;
        }
        slots_ = std::move(slots);
    }

    WordTable &table_;
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> hashes_;
};

WordTableBuilder::WordTableBuilder(std::shared_ptr<const CommandNames> names)
    : names_(std::move(names)), table_(std::make_unique<WordTable>())
{
    words_ = std::make_unique<Words>(*table_);
    table_->listVersion_ = names_->ListVersion();
    table_->entries_.resize(names_->InFileOrder().size());
}

WordTableBuilder::~WordTableBuilder() = default;

bool WordTableBuilder::Done() const
{
    return stale_ || next_ >= names_->InFileOrder().size();
}

bool WordTableBuilder::Continue(platform::HelpFile &file, std::size_t byteBudget)
{
    const std::vector<int> &order = names_->InFileOrder();
    std::size_t read = 0;
    while (!Done() && (read == 0 || read < byteBudget)) {
        if (file.ContentChanged()) {
            stale_ = true;
            break;
        }
        const std::uint32_t blockStart = names_->EntryOffset(order[next_]);
        file.Seek(blockStart);
        const std::span<const char> view = file.ReadView(kBlockBytes);
        if (file.ContentChanged()) {
            stale_ = true; // changed while read
            break;
        }
        const bool endsFile = view.size() < kBlockBytes;
        const std::string_view block(view.data(), view.size());
        // The entries whose bytes the block holds whole, as the entry view would read them; at the file's end, all.
        std::size_t last = next_;
        do {
            const std::uint32_t offset = names_->EntryOffset(order[last]);
            const std::uint64_t start = std::uint64_t{offset} - blockStart;
            TakeEntry(last, start < block.size() ? EntryBytesOf(block.substr(static_cast<std::size_t>(start))) : "",
                      offset);
            ++last;
        } while (last < order.size() && (endsFile || std::uint64_t{names_->EntryOffset(order[last])} + kChunkSize <=
                                                         blockStart + block.size()));
        read += std::max<std::size_t>(view.size(), 1);
        next_ = last;
    }
    if (Done() && !stale_) {
        Finish();
    }
    return Done();
}

void WordTableBuilder::TakeEntry(std::size_t entry, std::string_view entryBytes, std::uint32_t entryOffset)
{
    WordTable &table = *table_;
    WordTable::Entry &taken = table.entries_[entry];
    taken.firstWord = static_cast<std::uint32_t>(table.words_.size());
    const std::optional<EntryParts> parts = ParseEntry(entryBytes);
    if (!parts) {
        return; // an entry the entry view cannot show holds no text
    }
    taken.shown = true;
    taken.descriptionOffset = entryOffset + static_cast<std::uint32_t>(parts->description.data() - entryBytes.data());
    taken.descriptionLength = static_cast<std::uint16_t>(parts->description.size());

    const auto takeWords = [&](std::string_view text) {
        std::size_t taken = 0;
        ForEachWord(text, [&](std::size_t start, std::size_t length) {
            std::array<char, kMaxWordBytes> folded;
            length = std::min(length, kMaxWordBytes);
            std::uint32_t hash = Words::kHashStart;
            for (std::size_t i = 0; i < length; ++i) {
                const unsigned char byte = kMatchFold[static_cast<unsigned char>(text[start + i])];
                folded[i] = static_cast<char>(byte);
                hash = Words::Hash(hash, byte);
            }
            const WordId id = words_->Add(std::string_view(folded.data(), length), hash);
            table.words_.push_back(id);
            if (lastHolder_.size() <= id) {
                lastHolder_.resize(id + 1, 0);
            }
            if (lastHolder_[id] != entry + 1) {
                lastHolder_[id] = static_cast<std::uint32_t>(entry + 1);
                ++table.holding_[id];
            }
            ++taken;
        });
        return static_cast<std::uint16_t>(std::min<std::size_t>(taken, std::numeric_limits<std::uint16_t>::max()));
    };
    taken.descriptionWords = takeWords(parts->description);
    std::size_t rest = 0;
    if (parts->hasParameters) {
        rest += takeWords(parts->parameters);
        ForEachExampleLine(*parts, [&](std::string_view line) {
            if (!line.empty() && !IsHiddenFromSearch(line.front())) {
                rest += takeWords(line);
            }
        });
    }
    taken.restWords = static_cast<std::uint16_t>(rest);
}

void WordTableBuilder::Finish()
{
    WordTable &table = *table_;
    table.inOrder_.resize(table.starts_.size());
    for (WordId id = 0; id < table.inOrder_.size(); ++id) {
        table.inOrder_[id] = id;
    }
    std::sort(table.inOrder_.begin(), table.inOrder_.end(),
              [&table](WordId a, WordId b) { return WordLess(table.Word(a), table.Word(b)); });
    words_.reset();
    lastHolder_ = {};
    table.words_.shrink_to_fit();
}

std::shared_ptr<const WordTable> WordTableBuilder::Take()
{
    if (!Done() || stale_ || table_ == nullptr) {
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
