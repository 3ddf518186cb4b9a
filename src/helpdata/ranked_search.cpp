// SPDX-License-Identifier: MIT
#include "ranked_search.h"

#include "match_fold.h"
#include "platform/code_page.h"
#include "platform/unicode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace korva::helpdata {

namespace {

constexpr auto npos = std::string_view::npos;

// Fewer letters than this make too many names "near" or "in order" to mean anything.
constexpr std::size_t kMinNameNearLetters = 3;
// A part this long or longer that begins a query's word is as good as the word ("poly" for "polynomial").
constexpr std::size_t kMinPartBeginningWord = 3;
// Initials of this many words and more can name a command ("fast fourier transform": "fft").
constexpr std::size_t kMinInitials = 3;

// How much a match says, by where and how well the word matches. The whole name says most; a part of a name of many
// parts ("pidfd_send_signal") a little less than the description; the rest of the entry (the parameters and the
// examples) half what the description does.
constexpr std::array<float, 12> kNameWeight = {
    0.0F, // None
    1.5F, // Initials: three letters are a weak sign, however many words they stand for
    1.5F, // InOrder
    2.8F, // Holds: above a word in the examples
    2.5F, // PartBeginsWord
    2.5F, // PartNear
    4.0F, // NameNear
    3.8F, // Form
    3.8F, // PartBegins
    5.0F, // Begins
    4.5F, // PartIs
    6.5F, // Is
};
static_assert(kNameWeight.size() == static_cast<std::size_t>(NameMatch::Is) + 1);
constexpr std::array<float, 7> kDescriptionWeight = {
    0.0F, // None
    0.8F, // Inside: a word that happens to hold the letters says little
    3.0F, // Near
    3.4F, // Prefix
    3.6F, // Derived
    4.5F, // Form: the plural, the verb's other forms... nearly the word itself
    5.0F, // Exact
};
static_assert(kDescriptionWeight.size() == static_cast<std::size_t>(TextMatch::Exact) + 1);
constexpr float kRestShare = 0.5F;
// A word matched in more than one place counts this share of its other places too.
constexpr float kOtherPlacesShare = 0.1F;
// Two words of the query found next to each other, in its order, each as the word itself: this much of their rarity
// more; as other forms or spellings, a share of it.
constexpr float kNeighboursBonus = 1.0F;
constexpr float kNeighbourFormsShare = 0.3F;
// A description that holds every word of the query, each whole.
constexpr float kWholeDescriptionBonus = 3.0F;
// How much a description's length tempers its matches: none at 0, in proportion to the length at 1.
constexpr float kLengthTempering = 0.1F;
// A description says what the command is about first: a word found among its first words counts fully, one found
// later this share.
constexpr std::size_t kFirstWords = 8;
constexpr float kLaterShare = 0.85F;
// A command named by the initials of the query's words that also holds the words: this much of their rarity more.
constexpr float kInitialsBonus = 0.5F;

// The work of one search is cut in parts this large, so that a window answers its user between them.
constexpr std::size_t kWordsAPart = 16384;
constexpr std::size_t kEntriesAPart = 4096;

// How an entry holds a word of the query, in a byte: its best match in the description (3 bits), in the rest (3 bits),
// and whether the description holds it among its first words.
constexpr unsigned kDescriptionShift = 4;
constexpr unsigned kRestShift = 1;
constexpr std::uint8_t kAmongTheFirstWords = 1;

// A word's match of each query word, a TextMatch in 4 bits.
using Matches = std::uint64_t;
constexpr unsigned kBitsAWord = 4;

TextMatch ClassOf(Matches matches, std::size_t word)
{
    return static_cast<TextMatch>((matches >> (kBitsAWord * word)) & 7U);
}

bool IsSpace(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == 0x00A0;
}

bool IsCombiningMark(char16_t unit)
{
    return unit >= 0x0300 && unit <= 0x036F;
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

// How rare a word is among `entries` entries when `holding` of them hold it: the less it says, the nearer to 0.
float Rarity(std::size_t entries, std::size_t holding)
{
    const double n = static_cast<double>(entries);
    const double h = static_cast<double>(std::min(holding, entries));
    return static_cast<float>(std::log(1.0 + (n - h + 0.5) / (h + 0.5)));
}

} // namespace

Query::Query(std::u16string_view typed, WordForms &forms)
{
    typed = typed.substr(0, std::min(typed.size(), kMaxUnits));
    std::string word;
    bool matchable = true;
    bool wholeMatchable = true;
    const auto endWord = [&] {
        if (!word.empty() && words_.size() < kMaxWords) {
            words_.push_back({word, word.size() >= 3 && matchable ? forms.Stem(word) : std::string(), matchable});
        }
        word.clear();
        matchable = true;
    };
    for (std::size_t at = 0; at < typed.size();) {
        const char16_t unit = typed[at];
        const std::optional<char32_t> character = platform::NextUtf16Character(typed, at);
        if (IsCombiningMark(unit)) {
            continue; // a decomposed letter's accent, which matching ignores anyway
        }
        if (IsSpace(unit)) {
            endWord();
            if (!whole_.empty() && whole_.back() != ' ') {
                whole_ += ' ';
            }
            continue;
        }
        const char byte = character ? platform::WideCharToAnsi(*character) : platform::kDefaultAnsiChar;
        const bool lacking = byte == platform::kDefaultAnsiChar && character != U'?';
        wholeMatchable &= !lacking;
        const auto folded = static_cast<char>(kMatchFold[static_cast<unsigned char>(byte)]);
        whole_ += folded;
        if (lacking) {
            matchable = false; // no entry can hold this word
            word += folded;
        } else if (IsWordByte(static_cast<unsigned char>(byte))) {
            word += folded;
        } else {
            endWord();
        }
    }
    endWord();
    while (!whole_.empty() && whole_.back() == ' ') {
        whole_.pop_back();
    }
    if (!wholeMatchable) {
        whole_.clear();
    }
    if (words_.size() >= kMinInitials) {
        for (const QueryWord &each : words_) {
            initials_ += each.text.front();
        }
    }
}

std::string_view Query::FormPrefix(std::size_t word) const
{
    const std::string &stem = words_[word].stem;
    // The letters every form's stem shares with this one, but the last, which a stem may change ("happy": "happi").
    return stem.size() < 2 ? std::string_view()
                           : std::string_view(stem).substr(0, std::min<std::size_t>(4, stem.size() - 1));
}

NameMatch Query::MatchName(std::size_t word, std::string_view name, std::span<const NamePart> parts) const
{
    const QueryWord &wanted = words_[word];
    const std::string_view text = wanted.text;
    if (!wanted.matchable || text.empty()) {
        return NameMatch::None;
    }
    if (name == text) {
        return NameMatch::Is;
    }
    if (name.starts_with(text)) {
        return NameMatch::Begins;
    }
    const std::size_t edits =
        std::max<std::size_t>(text.size() >= kMinNameNearLetters ? 1 : 0, NearEditsFor(text.size()));
    const std::string_view stem = wanted.stem.size() >= 4 ? std::string_view(wanted.stem) : std::string_view();
    NameMatch best = NameMatch::None;
    for (const NamePart &part : parts) {
        const std::string_view piece = name.substr(part.start, part.length);
        if (piece == text) {
            return NameMatch::PartIs;
        }
        if (piece.starts_with(text)) {
            best = std::max(best, NameMatch::PartBegins);
        } else if (!stem.empty() && piece.starts_with(stem)) {
            best = std::max(best, NameMatch::Form);
        } else if (piece.size() >= kMinPartBeginningWord && text.starts_with(piece)) {
            best = std::max(best, NameMatch::PartBeginsWord);
        } else if (edits > 0 && best < NameMatch::PartNear && WithinEdits(piece, text, edits)) {
            best = NameMatch::PartNear;
        }
    }
    if (best < NameMatch::NameNear && edits > 0 && WithinEdits(name, text, edits)) {
        best = NameMatch::NameNear;
    }
    if (best < NameMatch::Holds && name.find(text) != npos) {
        best = NameMatch::Holds;
    }
    if (best < NameMatch::InOrder && text.size() >= kMinNameNearLetters && HoldsInOrder(name, text)) {
        best = NameMatch::InOrder;
    }
    return best;
}

bool Query::NamedByInitials(std::string_view name, std::span<const NamePart> parts) const
{
    if (initials_.empty()) {
        return false;
    }
    return name == initials_ || std::any_of(parts.begin(), parts.end(), [&](const NamePart &part) {
               return name.substr(part.start, part.length) == initials_;
           });
}

// The work of ranking the entries' text, kept between the parts of it.
struct RankedSearch::Work
{
    enum class Step
    {
        Words,
        Entries,
        Rank,
    };
    Step step = Step::Words;
    std::size_t word = 0;                       // of the query, in Step::Words
    std::size_t next = 0;                       // the next distinct word or entry
    std::vector<Matches> matches;               // each distinct word's matches of the query's words
    std::vector<std::uint16_t> near;            // each distinct word's query words matched better than inside it
    std::vector<std::uint16_t> exact;           // each distinct word's query words it is
    std::vector<std::uint8_t> classes;          // entry by entry, word by word: how it holds it (kDescriptionShift...)
    std::vector<std::uint16_t> neighbours;      // entry by entry: word i and i + 1 found next to each other (bit i)
    std::vector<std::uint16_t> exactNeighbours; // the same, each as the word itself
    std::vector<std::uint32_t> holding;         // query word by word: the entries holding it, name or text
    float averageDescription = 1;
};

RankedSearch::RankedSearch(std::shared_ptr<const CommandNames> names, std::u16string_view query)
    : names_(std::move(names)), query_(query, forms_)
{
    MatchNames();
}

RankedSearch::~RankedSearch() = default;

void RankedSearch::MatchNames()
{
    const std::size_t words = query_.Words().size();
    const auto count = static_cast<std::size_t>(names_->Count());
    nameMatches_.resize(count * words);
    tiers_.resize(count, 2);
    const std::string &whole = query_.Whole();
    for (int item = 0; item < names_->Count(); ++item) {
        const std::string_view name = names_->FoldedName(item);
        const auto at = static_cast<std::size_t>(item);
        if (!whole.empty() && name.starts_with(whole)) {
            tiers_[at] = name.size() == whole.size() ? 0 : 1;
        }
        const bool initials = query_.NamedByInitials(name, names_->Parts(item));
        for (std::size_t word = 0; word < words; ++word) {
            const NameMatch named = query_.MatchName(word, name, names_->Parts(item));
            nameMatches_[at * words + word] = initials ? std::max(named, NameMatch::Initials) : named;
        }
    }
    ranked_ = Results();
}

void RankedSearch::ReadTable(std::shared_ptr<const WordTable> table)
{
    table_ = std::move(table);
    work_ = std::make_unique<Work>();
    work_->matches.assign(table_->WordCount(), 0);
    work_->near.assign(table_->WordCount(), 0);
    work_->exact.assign(table_->WordCount(), 0);
    const std::size_t entries = table_->EntryCount();
    work_->classes.assign(entries * query_.Words().size(), 0);
    work_->neighbours.assign(entries, 0);
    work_->exactNeighbours.assign(entries, 0);
    work_->holding.assign(query_.Words().size(), 0);
    std::size_t descriptionWords = 0;
    std::size_t described = 0;
    for (std::size_t entry = 0; entry < entries; ++entry) {
        if (table_->EntryAt(entry).shown) {
            descriptionWords += table_->EntryAt(entry).descriptionWords;
            ++described;
        }
    }
    work_->averageDescription =
        described == 0 ? 1.0F : std::max(1.0F, static_cast<float>(descriptionWords) / static_cast<float>(described));
    done_ = false;
    if (query_.Words().empty()) {
        work_->step = Work::Step::Rank; // nothing to match: the names decide
    }
}

bool RankedSearch::Done() const
{
    return done_;
}

bool RankedSearch::Continue()
{
    if (done_ || work_ == nullptr) {
        return done_;
    }
    switch (work_->step) {
    case Work::Step::Words:
        if (MatchWords()) {
            work_->step = Work::Step::Entries;
            work_->next = 0;
        }
        break;
    case Work::Step::Entries:
        if (MatchEntries()) {
            work_->step = Work::Step::Rank;
        }
        break;
    case Work::Step::Rank:
        Rank();
        done_ = true;
        break;
    }
    return done_;
}

bool RankedSearch::MatchWords()
{
    Work &work = *work_;
    const std::size_t word = work.word;
    if (word >= query_.Words().size()) {
        return true;
    }
    // A word's stem is asked only of words that could be a form of the query's word: they begin alike.
    const auto stemOf = [this](std::string_view text) { return forms_.Stem(text); };
    const std::size_t end = std::min(table_->WordCount(), work.next + kWordsAPart);
    for (WordId id = static_cast<WordId>(work.next); id < end; ++id) {
        const std::string_view text = table_->Word(id);
        const TextMatch match = query_.MatchText(word, text, stemOf);
        if (match == TextMatch::None) {
            continue;
        }
        work.matches[id] |= static_cast<Matches>(match) << (kBitsAWord * word);
        if (match >= TextMatch::Near) {
            work.near[id] |= static_cast<std::uint16_t>(1U << word);
        }
        if (match == TextMatch::Exact) {
            work.exact[id] |= static_cast<std::uint16_t>(1U << word);
        }
    }
    work.next = end;
    if (end >= table_->WordCount()) {
        ++work.word;
        work.next = 0;
    }
    return work.word >= query_.Words().size();
}

bool RankedSearch::MatchEntries()
{
    Work &work = *work_;
    const std::size_t words = query_.Words().size();
    const std::vector<int> &order = names_->InFileOrder();
    const std::size_t end = std::min(table_->EntryCount(), work.next + kEntriesAPart);
    for (std::size_t entry = work.next; entry < end; ++entry) {
        std::uint8_t *classes = work.classes.data() + entry * words;
        // Each field's words in order: the best match of each query word, and which query words stand next to each
        // other in the query's order.
        const auto read = [&](std::span<const WordId> field, unsigned shift) {
            std::uint16_t before = 0;
            std::uint16_t exactBefore = 0;
            std::size_t position = 0;
            for (const WordId id : field) {
                const Matches matches = work.matches[id];
                const bool first = shift == kDescriptionShift && position++ < kFirstWords;
                if (matches == 0) {
                    before = 0;
                    exactBefore = 0;
                    continue;
                }
                for (std::size_t word = 0; word < words; ++word) {
                    const auto match = static_cast<std::uint8_t>(ClassOf(matches, word));
                    const auto mine = static_cast<std::uint8_t>((classes[word] >> shift) & 7U);
                    if (match > mine) {
                        classes[word] = static_cast<std::uint8_t>((classes[word] & ~(7U << shift)) | (match << shift));
                    }
                    if (first && match >= static_cast<std::uint8_t>(TextMatch::Near)) {
                        classes[word] |= kAmongTheFirstWords;
                    }
                }
                const std::uint16_t now = work.near[id];
                work.neighbours[entry] |= static_cast<std::uint16_t>(before & (now >> 1));
                before = now;
                const std::uint16_t exactNow = work.exact[id];
                work.exactNeighbours[entry] |= static_cast<std::uint16_t>(exactBefore & (exactNow >> 1));
                exactBefore = exactNow;
            }
        };
        read(table_->DescriptionWords(entry), kDescriptionShift);
        read(table_->RestWords(entry), kRestShift);
        const auto item = static_cast<std::size_t>(order[entry]);
        for (std::size_t word = 0; word < words; ++word) {
            if ((classes[word] & ~kAmongTheFirstWords) != 0 || nameMatches_[item * words + word] != NameMatch::None) {
                ++work.holding[word];
            }
        }
    }
    work.next = end;
    return end >= table_->EntryCount();
}

RankedResult RankedSearch::ResultOf(int item) const
{
    RankedResult result;
    result.item = item;
    result.entryOffset = names_->EntryOffset(item);
    result.tier = tiers_[static_cast<std::size_t>(item)];
    result.nameLength = names_->NameLength(item);
    return result;
}

void RankedSearch::Rank()
{
    const std::size_t words = query_.Words().size();
    const std::vector<int> &order = names_->InFileOrder();
    const std::size_t entries = table_->EntryCount();
    std::vector<float> rarity(words);
    for (std::size_t word = 0; word < words; ++word) {
        rarity[word] = Rarity(entries, work_->holding[word]);
    }
    std::vector<RankedResult> results;
    std::size_t mostHeld = 0;
    for (std::size_t entry = 0; entry < entries; ++entry) {
        const int item = order[entry];
        const auto at = static_cast<std::size_t>(item);
        const WordTable::Entry &text = table_->EntryAt(entry);
        const std::uint8_t *classes = words == 0 ? nullptr : work_->classes.data() + entry * words;
        RankedResult result = ResultOf(item);
        result.descriptionKnown = text.shown;
        result.descriptionOffset = text.descriptionOffset;
        result.descriptionLength = text.descriptionLength;
        // A shorter description that holds the words is about them more than a long one.
        const float tempering =
            1.0F / (1.0F - kLengthTempering +
                    kLengthTempering * static_cast<float>(text.descriptionWords) / work_->averageDescription);
        bool wholeInDescription = words > 0;
        float score = 0;
        for (std::size_t word = 0; word < words; ++word) {
            const NameMatch named = nameMatches_[at * words + word];
            const auto described = static_cast<std::size_t>((classes[word] >> kDescriptionShift) & 7U);
            const auto rest = static_cast<std::size_t>((classes[word] >> kRestShift) & 7U);
            const float place = (classes[word] & kAmongTheFirstWords) != 0 ? 1.0F : kLaterShare;
            std::array<float, 3> places = {kNameWeight[static_cast<std::size_t>(named)],
                                           kDescriptionWeight[described] * tempering * place,
                                           kDescriptionWeight[rest] * kRestShare};
            std::sort(places.begin(), places.end(), std::greater<>());
            result.wordsHeld += places[0] > 0 ? 1 : 0;
            score += rarity[word] * (places[0] + kOtherPlacesShare * (places[1] + places[2]));
            wholeInDescription &= described >= static_cast<std::size_t>(TextMatch::Near);
        }
        for (std::size_t word = 0; word + 1 < words; ++word) {
            if ((work_->exactNeighbours[entry] >> word & 1U) != 0) {
                score += kNeighboursBonus * (rarity[word] + rarity[word + 1]);
            } else if ((work_->neighbours[entry] >> word & 1U) != 0) {
                score += kNeighbourFormsShare * kNeighboursBonus * (rarity[word] + rarity[word + 1]);
            }
        }
        if (wholeInDescription && words > 1) {
            score += kWholeDescriptionBonus;
        }
        if (result.wordsHeld == words && query_.NamedByInitials(names_->FoldedName(item), names_->Parts(item))) {
            score += kInitialsBonus * std::accumulate(rarity.begin(), rarity.end(), 0.0F);
        }
        result.score = score;
        mostHeld = std::max<std::size_t>(mostHeld, result.wordsHeld);
        if (result.wordsHeld > 0 || result.tier < 2) {
            results.push_back(result);
        }
    }
    // The entries that hold every word; when none does, those that hold the most any does.
    mostWords_ = words > 0 && mostHeld < words && mostHeld > 0;
    std::erase_if(results, [&](const RankedResult &result) {
        return result.tier == 2 && (mostHeld == 0 || result.wordsHeld < mostHeld);
    });
    std::sort(results.begin(), results.end(), [](const RankedResult &a, const RankedResult &b) {
        if (a.tier != b.tier) {
            return a.tier < b.tier;
        }
        if (a.tier < 2) {
            return a.nameLength != b.nameLength ? a.nameLength < b.nameLength : a.item < b.item;
        }
        if (a.wordsHeld != b.wordsHeld) {
            return a.wordsHeld > b.wordsHeld;
        }
        if (a.score != b.score) {
            return a.score > b.score;
        }
        return a.nameLength != b.nameLength ? a.nameLength < b.nameLength : a.item < b.item;
    });
    ranked_ = std::move(results);
    work_.reset();
}

std::vector<RankedResult> RankedSearch::Results() const
{
    if (done_) {
        return ranked_;
    }
    // What the names give before the text is read: the names as typed and those holding every word.
    const std::size_t words = query_.Words().size();
    std::vector<RankedResult> results;
    for (int item = 0; item < names_->Count(); ++item) {
        const auto at = static_cast<std::size_t>(item);
        RankedResult result = ResultOf(item);
        float score = 0;
        for (std::size_t word = 0; word < words; ++word) {
            const NameMatch named = nameMatches_[at * words + word];
            if (named != NameMatch::None) {
                ++result.wordsHeld;
                score += kNameWeight[static_cast<std::size_t>(named)];
            }
        }
        result.score = score;
        if (result.tier < 2 || (words > 0 && result.wordsHeld == words)) {
            results.push_back(result);
        }
    }
    std::sort(results.begin(), results.end(), [](const RankedResult &a, const RankedResult &b) {
        if (a.tier != b.tier) {
            return a.tier < b.tier;
        }
        if (a.tier == 2 && a.score != b.score) {
            return a.score > b.score;
        }
        return a.nameLength != b.nameLength ? a.nameLength < b.nameLength : a.item < b.item;
    });
    return results;
}

bool RankedSearch::MostWords() const
{
    return done_ && mostWords_;
}

std::optional<RankedResults> FindRanked(platform::HelpFile &file, std::shared_ptr<const CommandNames> names,
                                        std::u16string_view query)
{
    RankedSearch search(names, query);
    std::shared_ptr<const WordTable> table = BuildWordTable(file, std::move(names));
    if (table == nullptr) {
        return std::nullopt;
    }
    search.ReadTable(std::move(table));
    while (!search.Continue()) {
    }
    return RankedResults{search.Results(), search.MostWords()};
}

std::vector<platform::TextRange> MatchedRanges(const Query &query, std::string_view text, WordForms &forms)
{
    std::vector<platform::TextRange> ranges;
    const auto stemOf = [&forms](std::string_view word) { return forms.Stem(word); };
    ForEachWord(text, [&](std::size_t start, std::size_t length) {
        std::string folded(text.substr(start, length));
        for (char &byte : folded) {
            byte = static_cast<char>(kMatchFold[static_cast<unsigned char>(byte)]);
        }
        TextMatch best = TextMatch::None;
        std::size_t inside = npos;
        std::size_t insideLength = 0;
        for (std::size_t word = 0; word < query.Words().size(); ++word) {
            const TextMatch match = query.MatchText(word, folded, stemOf);
            if (match == TextMatch::Inside && best == TextMatch::None) {
                inside = folded.find(query.Words()[word].text);
                insideLength = query.Words()[word].text.size();
            }
            best = std::max(best, match);
        }
        if (best > TextMatch::Inside) {
            ranges.push_back({start, length});
        } else if (best == TextMatch::Inside) {
            ranges.push_back({start + inside, insideLength});
        }
    });
    return ranges;
}

std::vector<platform::TextRange> MatchedNameRanges(const Query &query, std::string_view name,
                                                   std::span<const NamePart> parts)
{
    std::vector<bool> marked(name.size(), false);
    const auto mark = [&marked](std::size_t start, std::size_t length) {
        for (std::size_t at = start; at < std::min(marked.size(), start + length); ++at) {
            marked[at] = true;
        }
    };
    if (query.NamedByInitials(name, parts)) {
        mark(name == query.Initials() ? 0 : name.find(query.Initials()), query.Initials().size());
    }
    for (std::size_t word = 0; word < query.Words().size(); ++word) {
        const QueryWord &wanted = query.Words()[word];
        if (!wanted.matchable || wanted.text.empty()) {
            continue;
        }
        const NameMatch match = query.MatchName(word, name, parts);
        if (match == NameMatch::Is || match == NameMatch::NameNear) {
            mark(0, name.size());
        } else if (match == NameMatch::Begins || match == NameMatch::Holds) {
            mark(name.find(wanted.text), wanted.text.size());
        } else if (match >= NameMatch::PartBeginsWord && match <= NameMatch::PartIs) {
            // The parts it matches, as MatchName matches them.
            for (const NamePart &part : parts) {
                const std::string_view piece = name.substr(part.start, part.length);
                if (piece.starts_with(wanted.text)) {
                    mark(part.start, std::min(piece.size(), wanted.text.size()));
                } else if (query.MatchName(word, piece, std::span<const NamePart>()) >= NameMatch::NameNear ||
                           (piece.size() >= kMinPartBeginningWord && wanted.text.starts_with(piece)) ||
                           (wanted.stem.size() >= 4 && piece.starts_with(wanted.stem))) {
                    mark(part.start, part.length);
                }
            }
        }
    }
    std::vector<platform::TextRange> ranges;
    for (std::size_t at = 0; at < marked.size();) {
        if (!marked[at]) {
            ++at;
            continue;
        }
        const std::size_t start = at;
        while (at < marked.size() && marked[at]) {
            ++at;
        }
        ranges.push_back({start, at - start});
    }
    return ranges;
}

} // namespace korva::helpdata
