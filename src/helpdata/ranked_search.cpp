// SPDX-License-Identifier: MIT
#include "ranked_search.h"

#include "entry_blocks.h"
#include "entry_format.h"
#include "match_fold.h"
#include "platform/code_page.h"
#include "platform/radix_sort.h"
#include "platform/unicode.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

namespace korva::helpdata {

namespace {

constexpr auto npos = std::string_view::npos;

// Fewer letters than this make too many names "near" or "in order" to mean anything.
constexpr std::size_t kMinNameNearLetters = 3;
// A part this long or longer that begins a query's word is as good as the word ("poly" for "polynomial").
constexpr std::size_t kMinPartBeginningWord = 3;
// A whole name this long or longer that begins a query's word is that word shortened, as the command's own name
// ("shuf" for "shuffle"); a shorter one begins too many words by chance ("cat" for "catalog").
constexpr std::size_t kMinNameBeginningWord = 4;
// Initials of this many words and more can name a command ("fast fourier transform": "fft").
constexpr std::size_t kMinInitials = 3;
// Fewer initials spell a name only with a word giving this many letters ("bsearch": "binary search").
constexpr std::size_t kMinSpellingPiece = 3;
// A longer name or part is no abbreviation.
constexpr std::size_t kLongestSpelled = 32;
// From this many names, a search matches them on two threads: below it a thread costs more than it saves.
constexpr std::size_t kNamesForTwoThreads = 8192;

// How much a match says, by where and how well the word matches. The whole name says most; a part of a name of many
// parts ("pidfd_send_signal") a little less than the description; the rest of the entry (the parameters and the
// examples) half what the description does.
constexpr std::array<float, 13> kNameWeight = {
    0.0F, // None
    1.5F, // Initials: three letters are a weak sign, however many words they stand for
    1.5F, // InOrder
    2.8F, // Holds: above a word in the examples
    2.5F, // PartBeginsWord
    2.5F, // PartNear
    4.0F, // NameBeginsWord: the name is the word, shortened
    4.0F, // NameNear
    3.8F, // Form
    3.8F, // PartBegins
    5.0F, // Begins
    4.5F, // PartIs
    9.5F, // Is: what the command is, above the other words of the query standing together in a description
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
// A description that begins with the query's words, each itself, in its order, says what the command is: this much of
// their rarity more.
constexpr float kLeadingBonus = 0.6F;
// Of commands whose text says nearly as much, the one of the shorter name is the basic command and the longer ones its
// variants (`kill` and `pidfd_send_signal`, `exp` and `random.exponential`): each letter of a name divides its score by
// this much more.
constexpr float kNameLengthShare = 0.02F;
// How much a description's length tempers its matches: none at 0, in proportion to the length at 1.
constexpr float kLengthTempering = 0.1F;
// A description says what the command is about first: a word found among its first words counts fully, one found
// later this share.
constexpr std::size_t kFirstWords = 8;
constexpr float kLaterShare = 0.85F;
// A command whose name the query's words spell: this much of their rarity more. Results all hold as many words, so
// that it only orders them among themselves.
constexpr float kInitialsBonus = 0.5F;

// A shorter word of the query begins or stands inside too many words to be marked there ("a" in "square", "and";
// "in" in "integer"): it is marked where it stands whole, and where a name or a part of it begins with it.
constexpr std::size_t kMinPartlyMarked = 3;

// The work of one search is cut in parts this large, so that a window answers its user between them.
constexpr std::size_t kWordsAPart = 16384;
constexpr std::size_t kEntriesAPart = 4096;
// A reference of this many entries or more is read from the file by two threads at once, a run of entries at a time.
constexpr std::size_t kEntriesForTwoReaders = 8192;
constexpr std::size_t kEntriesARun = 1024;

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

// The order of the results, best first: by tier; those named as typed, in the case typed first, and those beginning
// with it, shortest name first; the rest by the words they hold, then by score, then shortest name first; the list's
// order last. All but the last in one number, so that the thousands of results a letter or two gives are sorted fast.
std::uint64_t OrderKey(const RankedResult &result)
{
    std::uint64_t key = std::uint64_t{std::min<std::uint8_t>(result.tier, 3)} << 62;
    if (result.otherCase) {
        key |= std::uint64_t{1} << 61; // named as typed in the case typed first
    }
    if (result.tier >= 2) {
        static_assert(Query::kMaxWords < 32);
        // A score is never negative, and the bits of floats that are not stand in their order.
        const float score = result.score > 0 ? result.score : 0.0F;
        key |= std::uint64_t{31U - std::min<std::uint8_t>(result.wordsHeld, 31)} << 57;
        key |= std::uint64_t{~std::bit_cast<std::uint32_t>(score)} << 16;
    }
    return key | result.nameLength;
}

bool Before(const RankedResult &a, const RankedResult &b)
{
    const std::uint64_t keyA = OrderKey(a);
    const std::uint64_t keyB = OrderKey(b);
    return keyA != keyB ? keyA < keyB : a.item < b.item;
}

// The results sorted Before each other, from `results` in the list's order: what the names alone give, whose thousands
// of results (for a letter or two) have a few hundred orders at most between them. Each result is put in its place by
// the count of those before its order, which keeps the list's order among equals.
std::vector<RankedResult> BestFirst(const std::vector<RankedResult> &results)
{
    std::vector<std::uint64_t> keys(results.size());
    std::unordered_map<std::uint64_t, std::size_t> places;
    for (std::size_t at = 0; at < results.size(); ++at) {
        keys[at] = OrderKey(results[at]);
        ++places[keys[at]];
    }
    std::vector<std::pair<std::uint64_t, std::size_t>> orders(places.begin(), places.end());
    std::sort(orders.begin(), orders.end());
    std::size_t place = 0;
    for (const auto &[key, count] : orders) {
        places[key] = place;
        place += count;
    }
    std::vector<RankedResult> sorted(results.size());
    for (std::size_t at = 0; at < results.size(); ++at) {
        sorted[places[keys[at]]++] = results[at];
    }
    return sorted;
}

// How rare a word is among `entries` entries when `holding` of them hold it: the less it says, the nearer to 0.
float Rarity(std::size_t entries, std::size_t holding)
{
    const double n = static_cast<double>(entries);
    const double h = static_cast<double>(std::min(holding, entries));
    return static_cast<float>(std::log(1.0 + (n - h + 0.5) / (h + 0.5)));
}

// Reads one of an entry's texts word by word: the best match of each query word in it, whether the description holds
// it among its first words, and which query words stand next to each other in the query's order.
class FieldReader
{
public:
    FieldReader(std::uint8_t *classes, std::size_t words, unsigned shift, std::uint16_t &neighbours,
                std::uint16_t &exactNeighbours, std::uint8_t *leading = nullptr)
        : classes_(classes), words_(words), shift_(shift), neighbours_(neighbours), exactNeighbours_(exactNeighbours),
          leading_(leading)
    {}

    void Take(const WordMatches &token)
    {
        const std::size_t position = position_++;
        const bool first = shift_ == kDescriptionShift && position < kFirstWords;
        if (leading_ != nullptr && position < words_) {
            // The query's words, each itself, in its order, as the first words of the field.
            leads_ = leads_ && (token.exact >> position & 1U) != 0;
            *leading_ = static_cast<std::uint8_t>(leads_ && position + 1 == words_ ? 1 : 0);
        }
        if (token.matches == 0) {
            before_ = 0;
            exactBefore_ = 0;
            return;
        }
        for (std::size_t word = 0; word < words_; ++word) {
            const auto match = static_cast<std::uint8_t>(ClassOf(token.matches, word));
            const auto mine = static_cast<std::uint8_t>((classes_[word] >> shift_) & 7U);
            if (match > mine) {
                classes_[word] = static_cast<std::uint8_t>((classes_[word] & ~(7U << shift_)) | (match << shift_));
            }
            if (first && match >= static_cast<std::uint8_t>(TextMatch::Near)) {
                classes_[word] |= kAmongTheFirstWords;
            }
        }
        neighbours_ |= static_cast<std::uint16_t>(before_ & (token.near >> 1));
        before_ = token.near;
        exactNeighbours_ |= static_cast<std::uint16_t>(exactBefore_ & (token.exact >> 1));
        exactBefore_ = token.exact;
    }

private:
    std::uint8_t *classes_;
    std::size_t words_;
    unsigned shift_;
    std::uint16_t &neighbours_;
    std::uint16_t &exactNeighbours_;
    std::uint8_t *leading_;
    bool leads_ = true;
    std::size_t position_ = 0;
    std::uint16_t before_ = 0;
    std::uint16_t exactBefore_ = 0;
};

} // namespace

Query::Query(std::u16string_view typed, WordForms &forms)
{
    typed = typed.substr(0, std::min(typed.size(), kMaxUnits));
    // Room for the most words and units a query keeps, made once rather than grown a word and a unit at a time.
    words_.reserve(kMaxWords);
    asTyped_.reserve(typed.size());
    std::string word;
    word.reserve(typed.size());
    bool matchable = true;
    bool wholeMatchable = true;
    const auto endWord = [&] {
        if (!word.empty() && words_.size() < kMaxWords) {
            // Near spellings are told for words of kMinNameNearLetters or more, that an entry may hold.
            const bool near = word.size() >= kMinNameNearLetters && matchable;
            QueryWord &added =
                words_.emplace_back(QueryWord{word, word.size() >= 3 && matchable ? forms.Stem(word) : "", matchable,
                                              near ? std::make_shared<const EditsFrom>(word) : nullptr});
            added.letters = LettersOf(added.text);
            const bool stemInside = added.stem.size() >= kMinStemInside && added.stem.size() < added.text.size();
            added.stemLetters = stemInside ? LettersOf(added.stem) : added.letters;
            added.edits = NearEditsFor(added.text.size());
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
            if (!asTyped_.empty() && asTyped_.back() != ' ') {
                asTyped_ += ' ';
            }
            continue;
        }
        const char byte = character ? platform::WideCharToAnsi(*character) : platform::kDefaultAnsiChar;
        const bool lacking = byte == platform::kDefaultAnsiChar && character != U'?';
        wholeMatchable &= !lacking;
        const auto folded = FoldByte(byte);
        asTyped_ += byte;
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
    while (!asTyped_.empty() && asTyped_.back() == ' ') {
        asTyped_.pop_back();
    }
    if (!wholeMatchable) {
        asTyped_.clear();
    }
    whole_.resize(asTyped_.size());
    std::transform(asTyped_.begin(), asTyped_.end(), whole_.begin(), FoldByte);
    for (const QueryWord &each : words_) {
        if (each.matchable && each.text.size() > 1) {
            firstLetters_.set(static_cast<unsigned char>(each.text.front()));
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

NameMatch Query::MatchName(std::size_t word, std::string_view name, std::span<const NamePart> parts,
                           Letters nameLetters) const
{
    const QueryWord &wanted = words_[word];
    const std::string_view text = wanted.text;
    if (!wanted.matchable || text.empty() || name.empty()) {
        return NameMatch::None;
    }
    // Most names begin with another letter than the word, and most of their parts too: they are told apart at once,
    // before any comparison of more letters.
    const char first = text.front();
    if (name.front() == first && BeginsWith(name, text)) {
        return name.size() == text.size() ? NameMatch::Is : NameMatch::Begins;
    }
    const std::size_t edits =
        std::max<std::size_t>(text.size() >= kMinNameNearLetters ? 1 : 0, NearEditsFor(text.size()));
    const auto nearInLength = [&](std::size_t length) {
        return edits > 0 && (length > text.size() ? length - text.size() : text.size() - length) <= edits;
    };
    const std::string_view stem = wanted.stem.size() >= 4 ? std::string_view(wanted.stem) : std::string_view();
    // A name lacking more of the word's letters than the edits allowed is near it nowhere, nor are its parts (whose
    // letters it holds), and it holds the word neither inside nor in order.
    const bool far = LacksMoreThan(wanted.letters, nameLetters, edits);
    NameMatch best = NameMatch::None;
    for (const NamePart &part : parts) {
        const std::string_view piece = name.substr(part.start, part.length);
        if (piece.front() == first) {
            if (BeginsWith(piece, text)) {
                if (piece.size() == text.size()) {
                    return NameMatch::PartIs;
                }
                best = std::max(best, NameMatch::PartBegins);
                continue;
            }
            if (!stem.empty() && BeginsWith(piece, stem)) {
                best = std::max(best, NameMatch::Form);
                continue;
            }
            if (piece.size() >= kMinPartBeginningWord && BeginsWith(text, piece)) {
                const bool wholeName = piece.size() == name.size() && piece.size() >= kMinNameBeginningWord;
                best = std::max(best, wholeName ? NameMatch::NameBeginsWord : NameMatch::PartBeginsWord);
                continue;
            }
        }
        if (!far && best < NameMatch::PartNear && nearInLength(piece.size()) && wanted.near->Within(piece, edits)) {
            best = NameMatch::PartNear;
        }
    }
    if (far) {
        return best;
    }
    if (best < NameMatch::NameNear && nearInLength(name.size()) && wanted.near->Within(name, edits)) {
        best = NameMatch::NameNear;
    }
    if (best < NameMatch::Holds && name.size() > text.size() && name.find(text) != npos) {
        best = NameMatch::Holds;
    }
    if (best < NameMatch::InOrder && name.front() == first && text.size() >= kMinNameNearLetters &&
        HoldsInOrder(name, text)) {
        best = NameMatch::InOrder;
    }
    return best;
}

namespace {

// The words that spell `piece` taken in the query's order, or in the reverse order: see SpelledBy.
Spelling SpelledInOrder(const std::vector<QueryWord> &words, std::string_view piece, bool reversed)
{
    const std::size_t count = words.size();
    const std::size_t length = piece.size();
    const auto wordAt = [&](std::size_t step) -> const QueryWord & {
        return words[reversed ? count - 1 - step : step];
    };
    const auto wordsOf = [&](std::size_t first, std::size_t end) {
        std::uint32_t run = 0;
        for (std::size_t step = first; step < end; ++step) {
            run |= 1U << (reversed ? count - 1 - step : step);
        }
        return run;
    };
    Spelling best;
    for (std::size_t first = 0; first + 1 < count; ++first) {
        if (wordAt(first).text.front() != piece.front()) {
            continue;
        }
        // At each place of the piece: the next word to give letters (bit j: the j-th word in this order), apart for the
        // ways on which a word gave kMinSpellingPiece letters or more (ways[1]), and those on which every word did
        // (ways[2], also among the others).
        std::array<std::array<std::uint32_t, kLongestSpelled + 1>, 3> ways{};
        ways[0][0] = 1U << first;
        ways[2][0] = 1U << first;
        for (std::size_t at = 0; at < length; ++at) {
            const std::uint32_t any = ways[0][at] | ways[1][at] | ways[2][at];
            if (any == 0) {
                continue; // no way reaches this place: most places of most pieces
            }
            for (std::size_t step = first; step < count; ++step) {
                const std::uint32_t bit = 1U << step;
                const QueryWord &giver = wordAt(step);
                // A word of one letter gives none, and the run ends at it.
                if ((any & bit) == 0 || !giver.matchable || giver.text.size() < 2) {
                    continue;
                }
                const std::string_view rest = piece.substr(at);
                std::size_t common = 0;
                while (common < rest.size() && common < giver.text.size() && rest[common] == giver.text[common]) {
                    ++common;
                }
                for (std::size_t kind = 0; kind < ways.size(); ++kind) {
                    if ((ways[kind][at] & bit) == 0) {
                        continue;
                    }
                    for (std::size_t given = kind == 2 ? kMinSpellingPiece : 1; given <= common; ++given) {
                        ways[given >= kMinSpellingPiece && kind == 0 ? 1 : kind][at + given] |= bit << 1U;
                    }
                }
            }
        }
        // The widest runs that spell it all: two words with a long piece, or three words or more; the words of the
        // latter count as held, and those of a run of which every word gave a long piece ("matmul" for "matrix
        // multiplication").
        for (std::size_t end = count; end >= first + 2; --end) {
            const std::uint32_t bit = 1U << end;
            const bool three = end - first >= kMinInitials;
            const bool allLong = (ways[2][length] & bit) != 0;
            const bool spelled =
                allLong || (ways[1][length] & bit) != 0 || ((three || length == 2) && (ways[0][length] & bit) != 0);
            if (spelled && std::popcount(wordsOf(first, end)) > std::popcount(best.words)) {
                best.words = wordsOf(first, end);
            }
            if (spelled && (three || allLong) && std::popcount(wordsOf(first, end)) > std::popcount(best.held)) {
                best.held = wordsOf(first, end);
                best.begun = allLong ? best.held : 0;
            }
        }
    }
    return best;
}

} // namespace

Spelling Query::SpelledBy(std::string_view piece) const
{
    if (piece.size() < 2 || piece.size() > kLongestSpelled || words_.size() < 2 ||
        !firstLetters_.test(static_cast<unsigned char>(piece.front()))) {
        return {};
    }
    // The query's order first: the reverse order only spells what that does not.
    const Spelling inOrder = SpelledInOrder(words_, piece, false);
    return inOrder.words != 0 ? inOrder : SpelledInOrder(words_, piece, true);
}

Spelling Query::SpelledBy(std::string_view name, std::span<const NamePart> parts) const
{
    Spelling spelled = SpelledBy(name);
    for (const NamePart &part : parts) {
        const Spelling byPart = SpelledBy(name.substr(part.start, part.length));
        spelled.words |= byPart.words;
        spelled.held |= byPart.held;
        spelled.begun |= byPart.begun;
    }
    return spelled;
}

// The work of ranking the entries' text, kept between the parts of it.
struct RankedSearch::Work
{
    enum class Step
    {
        Words,
        Entries,
        Rank,
        Order,
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
    std::vector<std::uint8_t> leading;          // entry by entry: its description begins with the query's words
    std::vector<std::uint32_t> holding;         // query word by word: the entries holding it, name or text
    // Read from the file, without a table: what the table knows of each entry.
    std::vector<WordTable::Entry> texts;
    float averageDescription = 1;
    // The ranking: each query word's rarity; the results so far, in runs each in order (the ends of the runs); the most
    // words any entry holds.
    std::vector<float> rarity;
    std::vector<RankedResult> results;
    std::vector<std::size_t> runEnds;
    std::size_t mostHeld = 0;
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
    spelled_.resize(count, 0);
    spellingAlone_.resize(count, 0);
    const std::string &whole = query_.Whole();
    const auto match = [&](std::size_t from, std::size_t to) {
        for (std::size_t at = from; at < to; ++at) {
            const int item = static_cast<int>(at);
            const std::string_view name = names_->FoldedName(item);
            if (!whole.empty() && BeginsWith(name, whole)) {
                tiers_[at] = name.size() == whole.size() ? 0 : 1;
            }
            // A name is spelled by two words at least: a query of one spells none.
            const Spelling spelling = words >= 2 ? query_.SpelledBy(name, names_->Parts(item)) : Spelling{};
            spelled_[at] = spelling.words;
            for (std::size_t word = 0; word < words; ++word) {
                const NameMatch named = query_.MatchName(word, name, names_->Parts(item), names_->NameLetters(item));
                // A word that begins a piece of the name, three letters or more, as a part beginning it would.
                const NameMatch spelledMatch =
                    (spelling.begun >> word & 1U) != 0 ? NameMatch::PartBeginsWord : NameMatch::Initials;
                const bool held = (spelling.held >> word & 1U) != 0;
                nameMatches_[at * words + word] = held ? std::max(named, spelledMatch) : named;
                spellingAlone_[at] |= held && named == NameMatch::None ? 1U << word : 0U;
            }
        }
    };
    // A key waits for this: a large reference's names are matched half on another core, where there is one. Each half
    // writes its own items' places only.
    if (count < kNamesForTwoThreads || std::thread::hardware_concurrency() < 2) {
        match(0, count);
        return;
    }
    const std::size_t half = count / 2;
    std::thread other;
    try {
        other = std::thread(match, half, count);
    } catch (const std::system_error &) {
        match(half, count); // no thread to be had: this one does both
    }
    match(0, half);
    if (other.joinable()) {
        other.join();
    }
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
    work_->leading.assign(entries, 0);
    work_->holding.assign(query_.Words().size(), 0);
    FinishReading();
    done_ = false;
    if (query_.Words().empty()) {
        work_->step = Work::Step::Rank; // nothing to match: the names decide
    }
}

void RankedSearch::FinishReading()
{
    std::size_t descriptionWords = 0;
    std::size_t described = 0;
    for (std::size_t entry = 0; entry < names_->InFileOrder().size(); ++entry) {
        if (TextOf(entry).shown) {
            descriptionWords += TextOf(entry).descriptionWords;
            ++described;
        }
    }
    work_->averageDescription =
        described == 0 ? 1.0F : std::max(1.0F, static_cast<float>(descriptionWords) / static_cast<float>(described));
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
            work_->next = 0;
        }
        break;
    case Work::Step::Rank:
        if (RankEntries(kEntriesAPart)) {
            work_->step = Work::Step::Order;
        }
        break;
    case Work::Step::Order:
        if (MergeRuns()) {
            TakeResults();
            done_ = true;
        }
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
        const TextMatch match = query_.MatchText(word, text, LettersOf(text), stemOf);
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
    const std::size_t end = std::min(table_->EntryCount(), work.next + kEntriesAPart);
    for (std::size_t entry = work.next; entry < end; ++entry) {
        const auto read = [&](std::span<const WordId> field, unsigned shift) {
            FieldReader reader(work.classes.data() + entry * words, words, shift, work.neighbours[entry],
                               work.exactNeighbours[entry],
                               shift == kDescriptionShift ? &work.leading[entry] : nullptr);
            for (const WordId id : field) {
                reader.Take({work.matches[id], work.near[id], work.exact[id]});
            }
        };
        read(table_->DescriptionWords(entry), kDescriptionShift);
        read(table_->RestWords(entry), kRestShift);
        CountHolders(entry, work.holding);
    }
    work.next = end;
    return end >= table_->EntryCount();
}

void RankedSearch::CountHolders(std::size_t entry, std::vector<std::uint32_t> &holding) const
{
    const std::size_t words = query_.Words().size();
    const std::uint8_t *classes = work_->classes.data() + entry * words;
    const auto item = static_cast<std::size_t>(names_->InFileOrder()[entry]);
    const bool spellingCounts = SpellingCounts(entry, item);
    for (std::size_t word = 0; word < words; ++word) {
        const auto described = (classes[word] >> kDescriptionShift) & 7U;
        const auto rest = (classes[word] >> kRestShift) & 7U;
        const auto inside = static_cast<unsigned>(TextMatch::Inside);
        if (described > inside || rest > inside || NameHolds(item, word, spellingCounts) != NameMatch::None) {
            ++holding[word];
        }
    }
}

bool RankedSearch::SpellingCounts(std::size_t entry, std::size_t item) const
{
    const std::uint32_t alone = spellingAlone_[item];
    const WordTable::Entry &text = TextOf(entry);
    // A short name is spelled by chance ("sin" by "sum ignoring nan"): it holds the words it is spelled by only when
    // the first words of its description, which say what the command does, hold a word of the query too, or it has
    // no description to say so.
    if (alone == 0 || !text.shown || text.descriptionWords == 0) {
        return true;
    }
    const std::size_t words = query_.Words().size();
    const std::uint8_t *classes = work_->classes.data() + entry * words;
    for (std::size_t word = 0; word < words; ++word) {
        const bool ownName = (alone >> word & 1U) == 0 && nameMatches_[item * words + word] != NameMatch::None;
        if (ownName || (classes[word] & kAmongTheFirstWords) != 0) {
            return true;
        }
    }
    return false;
}

NameMatch RankedSearch::NameHolds(std::size_t item, std::size_t word, bool spellingCounts) const
{
    if (!spellingCounts && (spellingAlone_[item] >> word & 1U) != 0) {
        return NameMatch::None;
    }
    return nameMatches_[item * query_.Words().size() + word];
}

const WordTable::Entry &RankedSearch::TextOf(std::size_t entry) const
{
    return table_ != nullptr ? table_->EntryAt(entry) : work_->texts[entry];
}

// What the words of an entry's text match of the query, for a reader of the file: each word folded and matched as the
// table's distinct words are, a stem asked once. One a thread.
class RankedSearch::WordReader
{
public:
    explicit WordReader(const Query &query) : query_(query) {}

    // Calls `take(matches)` for each word of `text` (bytes of the data file), as ForEachWord cuts it, folded as it is
    // read; yields how many words it took.
    template <typename Take>
    std::size_t MatchWords(std::string_view text, Take take)
    {
        std::size_t words = 0;
        const char *at = text.data();
        const char *const end = at + text.size();
        while (true) {
            while (at != end && kWordLetters[static_cast<unsigned char>(*at)] == 0) {
                ++at;
            }
            if (at == end) {
                return words;
            }
            const char *const start = at;
            Letters letters = 0;
            for (Letters letter = 0; at != end && (letter = kWordLetters[static_cast<unsigned char>(*at)]) != 0; ++at) {
                letters |= letter;
            }
            ++words;
            const auto first = FoldByte(*start);
            if (!MayMatch(first, letters)) {
                take(WordMatches{});
                continue;
            }
            const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(at - start), folded_.size());
            std::transform(start, start + length, folded_.begin(), FoldByte);
            take(MatchText(std::string_view(folded_.data(), length), letters));
        }
    }

private:
    // A word of an entry is never longer than the entry.
    static constexpr std::size_t kLongestWord = kChunkSize;

    // Whether any query word may match a word of the text (Query::MayMatchText).
    bool MayMatch(char first, Letters letters) const
    {
        for (std::size_t word = 0; word < query_.Words().size(); ++word) {
            if (query_.MayMatchText(word, first, letters)) {
                return true;
            }
        }
        return false;
    }

    WordMatches MatchText(std::string_view text, Letters letters)
    {
        const auto stemOf = [this](std::string_view each) -> const std::string & {
            const auto known = stems_.find(each);
            if (known != stems_.end()) {
                return known->second;
            }
            return stems_.emplace(std::string(each), forms_.Stem(each)).first->second;
        };
        WordMatches matches;
        for (std::size_t each = 0; each < query_.Words().size(); ++each) {
            const TextMatch match = query_.MatchText(each, text, letters, stemOf);
            if (match == TextMatch::None) {
                continue;
            }
            matches.matches |= static_cast<Matches>(match) << (kBitsAWord * each);
            matches.near |= match >= TextMatch::Near ? static_cast<std::uint16_t>(1U << each) : 0;
            matches.exact |= match == TextMatch::Exact ? static_cast<std::uint16_t>(1U << each) : 0;
        }
        return matches;
    }

    const Query &query_;
    WordForms forms_;
    // The stems of the text's words, looked up by the word's bytes as they stand in the text.
    struct WordHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view word) const { return std::hash<std::string_view>{}(word); }
    };
    std::unordered_map<std::string, std::string, WordHash, std::equal_to<>> stems_;
    std::array<char, kLongestWord> folded_{};
};

void RankedSearch::ReadText(Work &work, WordReader &reader, std::size_t words, std::size_t entry,
                            std::string_view entryBytes, std::uint32_t entryOffset)
{
    WordTable::Entry &text = work.texts[entry];
    const std::optional<EntryParts> parts = ShownParts(text, entryBytes, entryOffset);
    if (!parts) {
        return; // an entry the entry view cannot show holds no text
    }
    const auto field = [&](unsigned shift) {
        return FieldReader(work.classes.data() + entry * words, words, shift, work.neighbours[entry],
                           work.exactNeighbours[entry], shift == kDescriptionShift ? &work.leading[entry] : nullptr);
    };
    FieldReader description = field(kDescriptionShift);
    const std::size_t counted =
        reader.MatchWords(parts->description, [&](const WordMatches &matches) { description.Take(matches); });
    text.descriptionWords = static_cast<std::uint16_t>(std::min<std::size_t>(counted, UINT16_MAX));
    FieldReader rest = field(kRestShift);
    ForEachSearchedText(*parts, [&](std::string_view searched) {
        reader.MatchWords(searched, [&](const WordMatches &matches) { rest.Take(matches); });
    });
}

void RankedSearch::AdoptText(std::unique_ptr<Work> work)
{
    work_ = std::move(work);
    work_->holding.assign(query_.Words().size(), 0);
    for (std::size_t entry = 0; entry < names_->InFileOrder().size(); ++entry) {
        CountHolders(entry, work_->holding);
    }
    FinishReading();
    RankEntries(names_->InFileOrder().size());
    TakeResults();
    done_ = true;
}

RankedResult RankedSearch::ResultOf(int item) const
{
    RankedResult result;
    result.item = item;
    result.entryOffset = names_->EntryOffset(item);
    result.tier = tiers_[static_cast<std::size_t>(item)];
    result.otherCase = result.tier == 0 && names_->Name(item) != query_.AsTyped();
    result.nameLength = names_->NameLength(item);
    return result;
}

bool RankedSearch::RankEntries(std::size_t count)
{
    Work &work = *work_;
    const std::size_t words = query_.Words().size();
    const std::vector<int> &order = names_->InFileOrder();
    const std::size_t entries = order.size();
    if (work.next == 0) {
        work.rarity.assign(words, 0.0F);
        for (std::size_t word = 0; word < words; ++word) {
            work.rarity[word] = Rarity(entries, work.holding[word]);
        }
    }
    const std::vector<float> &rarity = work.rarity;
    std::vector<RankedResult> &results = work.results;
    const std::size_t runStart = results.size();
    const std::size_t end = std::min(entries, work.next + count);
    for (std::size_t entry = work.next; entry < end; ++entry) {
        const int item = order[entry];
        const auto at = static_cast<std::size_t>(item);
        const std::uint8_t *classes = words == 0 ? nullptr : work_->classes.data() + entry * words;
        // Most entries hold no word of the query in any way: they are no result unless named as typed, and are passed
        // over unscored.
        const auto namedMatches = nameMatches_.begin() + static_cast<std::ptrdiff_t>(at * words);
        if (tiers_[at] == 2 && std::all_of(classes, classes + words, [](std::uint8_t held) { return held == 0; }) &&
            std::all_of(namedMatches, namedMatches + static_cast<std::ptrdiff_t>(words),
                        [](NameMatch named) { return named == NameMatch::None; })) {
            continue;
        }
        const WordTable::Entry &text = TextOf(entry);
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
        const bool spellingCounts = SpellingCounts(entry, at);
        for (std::size_t word = 0; word < words; ++word) {
            const NameMatch named = NameHolds(at, word, spellingCounts);
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
        if (work_->leading[entry] != 0 && words > 1) {
            score += kLeadingBonus * std::accumulate(rarity.begin(), rarity.end(), 0.0F);
        }
        for (std::size_t word = 0; word < words && result.wordsHeld > 0 && spellingCounts; ++word) {
            score += (spelled_[at] >> word & 1U) != 0 ? kInitialsBonus * rarity[word] : 0.0F;
        }
        result.score = score / (1.0F + kNameLengthShare * static_cast<float>(result.nameLength));
        // An entry that holds fewer words than one ranked before it is no result, whatever it holds.
        work.mostHeld = std::max<std::size_t>(work.mostHeld, result.wordsHeld);
        if ((result.wordsHeld > 0 && result.wordsHeld >= work.mostHeld) || result.tier < 2) {
            results.push_back(result);
        }
    }
    std::sort(results.begin() + static_cast<std::ptrdiff_t>(runStart), results.end(), Before);
    if (results.size() > runStart) {
        work.runEnds.push_back(results.size());
    }
    work.next = end;
    return end >= entries;
}

bool RankedSearch::MergeRuns()
{
    std::vector<std::size_t> &ends = work_->runEnds;
    if (ends.size() <= 1) {
        return true;
    }
    // The two neighbouring runs that are shortest together: the runs grow alike, and no merge is much longer than the
    // last.
    const auto startOf = [&](std::size_t run) { return run == 0 ? std::size_t{0} : ends[run - 1]; };
    std::size_t best = 0;
    for (std::size_t run = 1; run + 1 < ends.size(); ++run) {
        if (ends[run + 1] - startOf(run) < ends[best + 1] - startOf(best)) {
            best = run;
        }
    }
    const auto at = [&](std::size_t place) { return work_->results.begin() + static_cast<std::ptrdiff_t>(place); };
    std::inplace_merge(at(startOf(best)), at(ends[best]), at(ends[best + 1]), Before);
    ends.erase(ends.begin() + static_cast<std::ptrdiff_t>(best));
    return ends.size() <= 1;
}

void RankedSearch::TakeResults()
{
    Work &work = *work_;
    std::vector<RankedResult> &results = work.results;
    if (work.runEnds.size() > 1) {
        std::sort(results.begin(), results.end(), Before);
    }
    // The entries that hold every word; when none does, those that hold the most any does. In order, those that hold
    // fewer stand after them.
    const std::size_t words = query_.Words().size();
    mostWords_ = words > 0 && work.mostHeld < words && work.mostHeld > 0;
    std::erase_if(results, [&](const RankedResult &result) {
        return result.tier == 2 && (work.mostHeld == 0 || result.wordsHeld < work.mostHeld);
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
    return BestFirst(results);
}

bool RankedSearch::MostWords() const
{
    return done_ && mostWords_;
}

std::optional<RankedResults> RankedSearch::ReadWhole(platform::HelpFile &file,
                                                     const std::vector<std::uint32_t> &offsets,
                                                     const std::function<std::shared_ptr<const CommandNames>()> &names,
                                                     std::u16string_view query)
{
    WordForms forms;
    const Query words(query, forms);
    const std::size_t entries = offsets.size();
    const std::size_t wordCount = words.Words().size();
    auto work = std::make_unique<Work>();
    work->texts.resize(entries);
    work->classes.assign(entries * wordCount, 0);
    work->neighbours.assign(entries, 0);
    work->exactNeighbours.assign(entries, 0);
    work->leading.assign(entries, 0);

    // The entries' text is read a run of entries at a time by whichever thread is free: this one, once it has the
    // names.
    std::atomic<std::size_t> nextRun{0};
    std::atomic<bool> stale{false};
    const auto read = [&](platform::HelpFile &reader) {
        WordReader matcher(words);
        for (std::size_t first = nextRun.fetch_add(kEntriesARun); first < entries && !stale;
             first = nextRun.fetch_add(kEntriesARun)) {
            EntryBlocks blocks(offsets, first, first + kEntriesARun);
            blocks.Continue(reader, std::numeric_limits<std::size_t>::max(),
                            [&](std::size_t entry, std::string_view entryBytes, std::uint32_t entryOffset) {
                                ReadText(*work, matcher, wordCount, entry, entryBytes, entryOffset);
                            });
            stale = stale || blocks.Stale();
        }
    };
    // The names are made on this thread, while the second, if there is one, reads the text. The names and the search
    // take nearly all the memory the search allocates, and they take it from the heap of the thread that called, which
    // a caller may have prepared for it (platform::HeapInLargePages); the reading allocates next to nothing.
    std::unique_ptr<platform::HelpFile> second = entries >= kEntriesForTwoReaders ? file.OpenAnother() : nullptr;
    std::thread helper;
    if (second != nullptr) {
        helper = std::thread([&] { read(*second); });
    }
    RankedSearch search(names(), query);
    read(file);
    if (helper.joinable()) {
        helper.join();
    }
    if (stale || file.ContentChanged()) {
        return std::nullopt;
    }
    search.AdoptText(std::move(work));
    return RankedResults{search.Results(), search.MostWords()};
}

std::optional<RankedResults> FindRanked(platform::HelpFile &file, const platform::ListBox &list,
                                        std::u16string_view query)
{
    // The entries' places in the file, from the items' values as they stand: the items need not be sorted by name for
    // the text to be read, only for the names' matches and the results. The names are made from the list in order,
    // which sorts its items when they are not yet, and the reader leaves the list alone meanwhile.
    std::vector<std::uint32_t> offsets;
    list.AppendItemValues(offsets);
    platform::StableSortByKey(offsets, [](std::uint32_t offset) { return offset; });
    return RankedSearch::ReadWhole(
        file, offsets, [&list] { return std::make_shared<const CommandNames>(list); }, query);
}

std::optional<RankedResults> FindRanked(platform::HelpFile &file, const std::shared_ptr<const CommandNames> &names,
                                        std::u16string_view query)
{
    return RankedSearch::ReadWhole(
        file, names->OffsetsInFileOrder(), [&names] { return names; }, query);
}

std::vector<platform::TextRange> MatchedRanges(const Query &query, std::string_view text, WordForms &forms)
{
    std::vector<platform::TextRange> ranges;
    const auto stemOf = [&forms](std::string_view word) { return forms.Stem(word); };
    ForEachWord(text, [&](std::size_t start, std::size_t length) {
        std::string folded(text.substr(start, length));
        for (char &byte : folded) {
            byte = FoldByte(byte);
        }
        TextMatch best = TextMatch::None;
        std::size_t inside = npos;
        std::size_t insideLength = 0;
        for (std::size_t word = 0; word < query.Words().size(); ++word) {
            TextMatch match = query.MatchText(word, folded, LettersOf(folded), stemOf);
            if (match < TextMatch::Exact && query.Words()[word].text.size() < kMinPartlyMarked) {
                match = TextMatch::None;
            }
            if (match == TextMatch::Inside && best == TextMatch::None) {
                const std::string &wanted = query.Words()[word].text;
                inside = folded.find(wanted);
                insideLength = wanted.size();
                if (inside == npos) { // its stem ending the word
                    inside = query.StemInside(word, folded);
                    insideLength = query.Words()[word].stem.size();
                }
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
    if (query.SpelledBy(name).words != 0) {
        mark(0, name.size());
    }
    for (const NamePart &part : parts) {
        if (query.SpelledBy(name.substr(part.start, part.length)).words != 0) {
            mark(part.start, part.length);
        }
    }
    for (std::size_t word = 0; word < query.Words().size(); ++word) {
        const QueryWord &wanted = query.Words()[word];
        if (!wanted.matchable || wanted.text.empty()) {
            continue;
        }
        const NameMatch match = query.MatchName(word, name, parts, LettersOf(name));
        if (match == NameMatch::Is || match == NameMatch::NameNear) {
            mark(0, name.size());
        } else if (match == NameMatch::Holds && wanted.text.size() < kMinPartlyMarked) {
            continue;
        } else if (match == NameMatch::Begins || match == NameMatch::Holds) {
            mark(name.find(wanted.text), wanted.text.size());
        } else if (match >= NameMatch::PartBeginsWord && match <= NameMatch::PartIs) {
            // The parts it matches, as MatchName matches them.
            for (const NamePart &part : parts) {
                const std::string_view piece = name.substr(part.start, part.length);
                if (piece.starts_with(wanted.text)) {
                    mark(part.start, std::min(piece.size(), wanted.text.size()));
                } else if (query.MatchName(word, piece, std::span<const NamePart>(), LettersOf(piece)) >=
                               NameMatch::NameNear ||
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
