// SPDX-License-Identifier: MIT
#include "ranked_search.h"

#include "entry_format.h"
#include "entry_view.h"
#include "format.h"
#include "match_fold.h"
#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>
#include <utility>

namespace korva::helpdata {

// A folded word, ready to be looked for in text as the file holds it. Sixteen places at a time, a place is a candidate
// when its first and last bytes could fold to the word's first and last letters: the same but for case (the bit 0x20
// set in both), or beyond ASCII, where the table decides; each candidate is then compared through the table. The
// data file's text is mostly ASCII, so candidates are few but where the word stands.
class FoldedWord
{
public:
    explicit FoldedWord(std::string_view word) : word_(word) {}

    std::size_t Size() const { return word_.size(); }

    std::size_t Find(std::string_view text, std::size_t from) const
    {
        const std::size_t length = word_.size();
        if (length == 0 || text.size() < length) {
            return std::string_view::npos;
        }
        const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
        const std::size_t end = text.size() - length + 1; // places where the word fits
        std::size_t at = from;
#if defined(__GNUC__)
        if (FindSixteenAtATime(bytes, at, end)) {
            return at;
        }
#endif
        for (; at < end; ++at) {
            if (Equal(bytes + at)) {
                return at;
            }
        }
        return std::string_view::npos;
    }

private:
    bool Equal(const unsigned char *bytes) const
    {
        for (std::size_t i = 0; i < word_.size(); ++i) {
            if (kMatchFold[bytes[i]] != static_cast<unsigned char>(word_[i])) {
                return false;
            }
        }
        return true;
    }

#if defined(__GNUC__)
    using Lanes = unsigned char __attribute__((vector_size(16)));

    // Looks for the word from `at` on, sixteen places at a time while sixteen fit before `end`. True, with `at` its
    // place, when found; otherwise false, with `at` the first place not looked at.
    bool FindSixteenAtATime(const unsigned char *bytes, std::size_t &at, std::size_t end) const
    {
        const auto splat = [](unsigned char byte) {
            Lanes lanes;
            for (int i = 0; i < 16; ++i) {
                lanes[i] = byte;
            }
            return lanes;
        };
        const Lanes caseBit = splat(0x20);
        const Lanes ascii = splat(0x7F);
        const Lanes first = splat(static_cast<unsigned char>(word_.front() | 0x20));
        const Lanes last = splat(static_cast<unsigned char>(word_.back() | 0x20));
        const std::size_t lastAt = word_.size() - 1;
        for (; at + 16 <= end; at += 16) {
            Lanes heads;
            Lanes tails;
            std::memcpy(&heads, bytes + at, sizeof heads);
            std::memcpy(&tails, bytes + at + lastAt, sizeof tails);
            const auto candidates =
                (((heads | caseBit) == first) | (heads > ascii)) & (((tails | caseBit) == last) | (tails > ascii));
            std::uint64_t halves[2];
            std::memcpy(halves, &candidates, sizeof halves);
            if ((halves[0] | halves[1]) == 0) {
                continue;
            }
            for (std::size_t lane = 0; lane < 16; ++lane) {
                if (candidates[lane] != 0 && Equal(bytes + at + lane)) {
                    at += lane;
                    return true;
                }
            }
        }
        return false;
    }
#endif

    std::string_view word_;
};

namespace {

constexpr auto npos = std::string_view::npos;

// Fewer letters than this make too many names "near" to mean anything.
constexpr std::size_t kMinNearLetters = 3;

unsigned char Fold(char byte)
{
    return kMatchFold[static_cast<unsigned char>(byte)];
}

// True when `name` and `word` differ by one letter changed, added, dropped, or two neighbours swapped.
bool OneEditApart(std::string_view name, std::string_view word)
{
    std::string_view longer = name.size() >= word.size() ? name : word;
    std::string_view shorter = name.size() >= word.size() ? word : name;
    if (longer.size() - shorter.size() > 1) {
        return false;
    }
    std::size_t same = 0;
    while (same < shorter.size() && longer[same] == shorter[same]) {
        ++same;
    }
    if (longer.size() != shorter.size()) {
        return longer.substr(same + 1) == shorter.substr(same);
    }
    if (same == longer.size()) {
        return false;
    }
    if (longer.substr(same + 1) == shorter.substr(same + 1)) {
        return true;
    }
    return same + 1 < longer.size() && longer[same] == shorter[same + 1] && longer[same + 1] == shorter[same] &&
           longer.substr(same + 2) == shorter.substr(same + 2);
}

// True when `name` begins with the word's first letter and holds the others in order, as an abbreviation does:
// within twice the word's length, so that a long name does not hold every short word's letters somewhere.
bool HoldsInOrder(std::string_view name, std::string_view word)
{
    if (name.size() < word.size() || name.empty() || name[0] != word[0]) {
        return false;
    }
    const std::string_view reach = name.substr(0, 2 * word.size());
    std::size_t at = 1;
    for (std::size_t i = 1; i < word.size(); ++i) {
        at = reach.find(word[i], at);
        if (at == npos) {
            return false;
        }
        ++at;
    }
    return true;
}

MatchClass ClassOfName(std::string_view name, std::string_view word)
{
    if (name == word) {
        return MatchClass::NameIsWord;
    }
    if (name.starts_with(word)) {
        return MatchClass::NameBegins;
    }
    if (name.find(word) != npos) {
        return MatchClass::NameHolds;
    }
    if (word.size() >= kMinNearLetters && (OneEditApart(name, word) || HoldsInOrder(name, word))) {
        return MatchClass::NameNear;
    }
    return MatchClass::None;
}

// True when the match at `at` of `length` bytes stands in `text` as a word of its own.
bool WholeWordAt(std::string_view text, std::size_t at, std::size_t length)
{
    const bool startsWord = at == 0 || !IsWordByte(static_cast<unsigned char>(text[at - 1]));
    const bool endsWord = at + length >= text.size() || !IsWordByte(static_cast<unsigned char>(text[at + length]));
    return startsWord && endsWord;
}

// How `word` matches the text the entry view shows of an entry: Description, Rest or None; `whole` tells whether
// the description holds it as a word of its own.
MatchClass ClassOfText(const EntryParts &parts, const FoldedWord &word, bool &whole)
{
    whole = false;
    bool inDescription = false;
    for (std::size_t at = word.Find(parts.description, 0); at != npos; at = word.Find(parts.description, at + 1)) {
        inDescription = true;
        if (WholeWordAt(parts.description, at, word.Size())) {
            whole = true;
            break;
        }
    }
    if (inDescription) {
        return MatchClass::Description;
    }
    if (!parts.hasParameters) {
        return MatchClass::None;
    }
    if (word.Find(parts.parameters, 0) != npos) {
        return MatchClass::Rest;
    }
    for (std::size_t cursor = 0; cursor < parts.exampleLines.size();) {
        const std::size_t end = std::min(parts.exampleLines.find('\n', cursor), parts.exampleLines.size());
        const std::string_view line = parts.exampleLines.substr(cursor, end - cursor);
        const bool excluded = line.empty() || IsHiddenFromSearch(line.front());
        if (!excluded && word.Find(line, 0) != npos) {
            return MatchClass::Rest;
        }
        cursor = end + 1;
    }
    return MatchClass::None;
}

bool IsCombiningMark(char16_t unit)
{
    return unit >= 0x0300 && unit <= 0x036F;
}

bool IsSpace(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == 0x00A0;
}

} // namespace

std::vector<std::string> QueryWords(std::u16string_view query)
{
    std::vector<std::string> words;
    std::string word;
    bool matchable = true;
    const auto endWord = [&] {
        if (!word.empty() && words.size() < RankedSearch::kMaxWords) {
            words.push_back(word);
        }
        word.clear();
    };
    for (std::size_t i = 0; i < std::min(query.size(), RankedSearch::kMaxQueryUnits); ++i) {
        const char16_t unit = query[i];
        if (IsSpace(unit)) {
            endWord();
            continue;
        }
        if (IsCombiningMark(unit)) {
            continue;
        }
        const char byte = platform::WideCharToAnsi(unit);
        if (byte == platform::kDefaultAnsiChar && unit != u'?') {
            matchable = false; // no entry can hold it: neither the word nor the query
        }
        word += static_cast<char>(Fold(byte));
    }
    endWord();
    return matchable ? words : std::vector<std::string>();
}

std::size_t FindFolded(std::string_view text, std::string_view word, std::size_t from)
{
    return FoldedWord(word).Find(text, from);
}

CommandNames::CommandNames(const platform::ListBox &list) : listVersion_(list.ItemsVersion())
{
    const int count = list.GetCount();
    items_.reserve(static_cast<std::size_t>(count));
    inFileOrder_.reserve(static_cast<std::size_t>(count));
    std::array<char, kIndexNameBufferSize> bytes;
    for (int item = 0; item < count; ++item) {
        const std::size_t length = platform::WideToAnsi(list.GetText(item), bytes);
        if (blocks_.empty() || used_ + length > kBlockBytes) {
            blocks_.push_back(std::make_unique<char[]>(kBlockBytes));
            used_ = 0;
        }
        char *folded = blocks_.back().get() + used_;
        std::transform(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), folded,
                       [](char byte) { return static_cast<char>(Fold(byte)); });
        const auto start = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlockBytes + used_);
        items_.push_back({start, static_cast<std::uint16_t>(length), list.GetItemData(item)});
        used_ += static_cast<std::uint32_t>(length);
        inFileOrder_.push_back(item);
    }
    // In file order, equal offsets in the list's order; sorted in place, with no buffer as large as the list.
    std::sort(inFileOrder_.begin(), inFileOrder_.end(), [this](int a, int b) {
        return EntryOffset(a) != EntryOffset(b) ? EntryOffset(a) < EntryOffset(b) : a < b;
    });
}

std::string_view CommandNames::FoldedName(int item) const
{
    const Item &named = items_[static_cast<std::size_t>(item)];
    return std::string_view(blocks_[named.start / kBlockBytes].get() + named.start % kBlockBytes, named.bytes);
}

RankedSearch::~RankedSearch() = default;

RankedSearch::RankedSearch(std::shared_ptr<const CommandNames> names, std::u16string_view query)
    : names_(std::move(names)), words_(QueryWords(query)), outcomes_(static_cast<std::size_t>(names_->Count()))
{
    patterns_.reserve(words_.size());
    for (const std::string &word : words_) {
        patterns_.emplace_back(word);
    }
    ClassifyNames();
    if (words_.empty()) {
        next_ = names_->InFileOrder().size(); // nothing to read for
    }
}

MatchClass RankedSearch::NameClassOf(int item, std::size_t word) const
{
    return nameClasses_[static_cast<std::size_t>(item) * words_.size() + word];
}

void RankedSearch::ClassifyNames()
{
    nameClasses_.resize(outcomes_.size() * words_.size());
    for (int item = 0; item < names_->Count(); ++item) {
        const std::string_view name = names_->FoldedName(item);
        MatchClass best = MatchClass::None;
        bool everyWord = !words_.empty();
        for (std::size_t word = 0; word < words_.size(); ++word) {
            const MatchClass named = ClassOfName(name, words_[word]);
            nameClasses_[static_cast<std::size_t>(item) * words_.size() + word] = named;
            everyWord &= named != MatchClass::None;
            best = std::min(best, named);
        }
        Outcome &outcome = outcomes_[static_cast<std::size_t>(item)];
        outcome.matchClass = everyWord ? best : MatchClass::None;
        outcome.pending = !everyWord && !words_.empty();
    }
}

bool RankedSearch::Continue(platform::HelpFile &file, std::size_t byteBudget)
{
    const std::vector<int> &order = names_->InFileOrder();
    std::size_t read = 0;
    while (!Done() && (read == 0 || read < byteBudget)) {
        if (file.ContentChanged()) {
            stale_ = true;
            next_ = order.size();
            break;
        }
        while (next_ < order.size() && !outcomes_[static_cast<std::size_t>(order[next_])].pending) {
            ++next_; // decided by its name alone
        }
        if (Done()) {
            break;
        }
        const std::uint32_t blockStart = names_->EntryOffset(order[next_]);
        file.Seek(blockStart);
        const std::span<const char> view = file.ReadView(kBlockBytes);
        if (file.ContentChanged()) {
            continue; // changed while read: found stale above
        }
        const bool endsFile = view.size() < kBlockBytes;
        const std::uint64_t blockEnd = std::uint64_t{blockStart} + view.size();
        // The entries whose bytes the block holds whole, as the entry view would read them; at the file's end, all.
        std::size_t last = next_ + 1;
        while (last < order.size() &&
               (endsFile || std::uint64_t{names_->EntryOffset(order[last])} + kChunkSize <= blockEnd)) {
            ++last;
        }
        DecideOnBlock(std::string_view(view.data(), view.size()), blockStart, next_, last, endsFile);
        read += std::max<std::size_t>(view.size(), 1);
        next_ = last;
    }
    return Done();
}

void RankedSearch::DecideOnBlock(std::string_view block, std::uint32_t blockStart, std::size_t first, std::size_t last,
                                 bool blockEndsTheFile)
{
    const std::vector<int> &order = names_->InFileOrder();
    const auto offsetOf = [&](std::size_t k) { return std::uint64_t{names_->EntryOffset(order[k])}; };
    // The bytes the entries' reads cover: no further, so that the next block is not looked at twice.
    const std::uint64_t covered = std::min<std::uint64_t>(block.size(), offsetOf(last - 1) + kChunkSize - blockStart);
    const std::string_view text = blockEndsTheFile ? block : block.substr(0, static_cast<std::size_t>(covered));

    // Which words each entry's read holds somewhere, as a first sieve before its text is taken apart.
    std::vector<std::uint32_t> held(last - first, 0);
    for (std::size_t w = 0; w < words_.size(); ++w) {
        const FoldedWord &word = patterns_[w];
        std::size_t entry = first;
        for (std::size_t at = word.Find(text, 0); at != npos; at = word.Find(text, at + 1)) {
            const std::uint64_t match = blockStart + at;
            while (entry + 1 < last && offsetOf(entry + 1) <= match) {
                ++entry;
            }
            for (std::size_t k = entry + 1; k-- > first && match + word.Size() <= offsetOf(k) + kChunkSize;) {
                held[k - first] |= 1u << w;
            }
        }
    }

    for (std::size_t k = first; k < last; ++k) {
        const int item = order[k];
        Outcome &outcome = outcomes_[static_cast<std::size_t>(item)];
        if (!outcome.pending) {
            continue;
        }
        std::uint32_t needed = 0;
        for (std::size_t w = 0; w < words_.size(); ++w) {
            needed |= NameClassOf(item, w) == MatchClass::None ? 1u << w : 0;
        }
        const std::uint64_t start = offsetOf(k) - blockStart;
        if ((needed & ~held[k - first]) != 0 || start >= block.size()) {
            outcome = Outcome{}; // a word stands nowhere in its entry
            continue;
        }
        const std::string_view entryBytes = block.substr(static_cast<std::size_t>(start), kChunkSize);
        DecideOnEntry(item, entryBytes.substr(0, entryBytes.find('\0')));
    }
}

void RankedSearch::DecideOnEntry(int item, std::string_view entryBytes)
{
    Outcome &outcome = outcomes_[static_cast<std::size_t>(item)];
    outcome = Outcome{};
    const std::optional<EntryParts> parts = ParseEntry(entryBytes);
    if (!parts) {
        return; // an entry the entry view cannot show holds no text
    }
    MatchClass best = MatchClass::None;
    bool wholeInDescription = false;
    for (std::size_t w = 0; w < words_.size(); ++w) {
        MatchClass matched = NameClassOf(item, w);
        if (matched == MatchClass::None) {
            bool whole = false;
            matched = ClassOfText(*parts, patterns_[w], whole);
            if (matched == MatchClass::None) {
                return;
            }
            wholeInDescription |= whole;
        }
        best = std::min(best, matched);
    }
    outcome.matchClass = best;
    outcome.partOfWord = best == MatchClass::Description && !wholeInDescription;
}

std::vector<RankedResult> RankedSearch::Results() const
{
    std::vector<RankedResult> results;
    if (stale_) {
        return results;
    }
    for (int item = 0; item < names_->Count(); ++item) {
        const Outcome &outcome = outcomes_[static_cast<std::size_t>(item)];
        if (!outcome.pending && outcome.matchClass != MatchClass::None) {
            results.push_back(
                {item, names_->EntryOffset(item), outcome.matchClass, outcome.partOfWord, names_->NameLength(item)});
        }
    }
    std::sort(results.begin(), results.end(), [](const RankedResult &a, const RankedResult &b) {
        if (a.matchClass != b.matchClass) {
            return a.matchClass < b.matchClass;
        }
        if (a.partOfWord != b.partOfWord) {
            return !a.partOfWord;
        }
        return a.nameLength != b.nameLength ? a.nameLength < b.nameLength : a.item < b.item;
    });
    return results;
}

std::optional<std::vector<RankedResult>> FindRanked(platform::HelpFile &file, const CommandNames &names,
                                                    std::u16string_view query)
{
    // The caller keeps the names for the whole of this call: the search borrows them.
    RankedSearch search(std::shared_ptr<const CommandNames>(std::shared_ptr<void>(), &names), query);
    while (!search.Continue(file, std::numeric_limits<std::size_t>::max())) {
    }
    if (search.Stale()) {
        return std::nullopt;
    }
    return search.Results();
}

} // namespace korva::helpdata
