// SPDX-License-Identifier: MIT
// Finding a command without knowing its name: the commands whose name or entry holds what the user typed, ranked
// best first. The window shows them as the user types, the terminal prints them, and a lookup that no command begins
// with opens them.
//
// Matching ignores case and accents over the data file's code page (match_fold.h). The query is cut into words at
// every character that is no letter or digit. Each word counts:
//   - where it matches: the command's name (the whole name, or one of its parts: CommandNames::Parts), its description,
//     or the rest of what the entry view shows of it (the parameters and the examples; never a line of kind "1" or
//     "3"); an entry the entry view cannot show is found by its name alone;
//   - how well: the word itself; another form of it (word_forms.h); a word it begins; a near spelling (one edit from
//     four letters on, two from eight; against names one from three letters); a word that holds it inside;
//     against a name also a part of at least three letters that begins it, the letters in order, and the name (or a
//     part of it) spelled by the beginnings of query words one after another: three initials or more ("fft"), or two
//     words or more of which one gives three letters or more ("bsearch" for "binary search", "regex" for "regular
//     expression"), words of one letter giving none; a name spelled by words that each give three letters or more
//     holds them as a part beginning each would ("matmul" for "matrix multiplication");
//   - how rare it is in the reference: a word that stands in half the entries says little; an entry that holds it
//     only inside longer words ("cut" in "execute") does not count as holding it.
// The results are the entries that hold every word; when none does, those that hold as many words as any entry does
// (MostWords). They stand in this order: the command named exactly as typed; the names that begin with what was
// typed, shorter first; then by score: each word's best match by its rarity, more for words found next to each other
// in the query's order, for a description that holds every word whole (not inside a longer word) and for one that
// begins with the query's words, the whole a little less for each letter of the name; then shorter names, then the
// list's order.
#pragma once

#include "command_names.h"
#include "platform/platform.h"
#include "word_forms.h"
#include "word_table.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva::helpdata {

// How a word of the query matches a word of an entry's text, better ones later.
enum class TextMatch : std::uint8_t
{
    None,
    Inside,  // the text's word holds it inside
    Near,    // a near spelling of it
    Prefix,  // the text's word begins with it
    Derived, // a word made from the same word: one stem begins the other ("owner", "ownership")
    Form,    // another form of it: the same stem ("file", "files"; "compress", "compressing")
    Exact,   // the word itself
};

// How a word of the query matches a command's name, better ones later.
enum class NameMatch : std::uint8_t
{
    None,
    Initials,       // the name, or a part of it, is spelled by the beginnings of this and its neighbouring words
    InOrder,        // the name begins with its first letter and holds the others in order (at least three)
    Holds,          // the name holds it inside
    PartBeginsWord, // a part of at least three letters begins it ("poly" of "poly_gcd" for "polynomial")
    PartNear,       // a part is a near spelling of it
    NameBeginsWord, // the whole name, of four letters or more, begins it: the word shortened ("shuf" for "shuffle")
    NameNear,       // the whole name is a near spelling of it
    Form,           // a part begins with its stem: another form of it
    PartBegins,     // a part begins with it
    Begins,         // the name begins with it
    PartIs,         // a part is the word
    Is,             // the name is the word
};

// The words of a query (bit i: word i) that spell a name, and those of them the name counts as holding: those of a
// spelling by three words or more ("fft" holds "fast fourier transform"), and those of a spelling of which each word
// gives three letters or more ("matmul" holds "matrix multiplication"; the name's pieces begin the words). Two words
// spell many a name by chance ("up" and "time" spell "uptime"): such a name only ranks higher among the entries that
// hold as many words otherwise.
struct Spelling
{
    std::uint32_t words = 0;
    std::uint32_t held = 0;
    std::uint32_t begun = 0; // of `held`, those of a spelling of which each word gave three letters or more
};

// One word of a query.
struct QueryWord
{
    std::string text;      // folded
    std::string stem;      // its stem (word_forms.h)
    bool matchable = true; // false when it holds a character the data file's code page lacks: nothing holds it
    std::shared_ptr<const EditsFrom> near; // its near spellings, told against every name and word (none when shorter
                                           // than any near spelling is told for, or unmatchable)
    Letters letters = 0;                   // LettersOf the text
    Letters stemLetters = 0; // of the stem when it may end a longer word (Query::StemInside), else of the text
    std::size_t edits = 0;   // NearEditsFor the text
};

// What the user typed, folded and cut into words.
class Query
{
public:
    // The words of its first kMaxUnits characters, at most kMaxWords of them.
    static constexpr std::size_t kMaxWords = 16;
    static constexpr std::size_t kMaxUnits = 200;
    // A shorter stem inside a word is too often there by chance.
    static constexpr std::size_t kMinStemInside = 4;

    Query(std::u16string_view typed, WordForms &forms);

    const std::vector<QueryWord> &Words() const { return words_; }
    // The whole query folded, its spaces run together and trimmed: what a command named as typed is named. Empty when
    // it holds a character the code page lacks.
    const std::string &Whole() const { return whole_; }
    // The same unfolded, in the code page: what a command named as typed in the case typed is named.
    const std::string &AsTyped() const { return asTyped_; }

    // Where the stem of the word `word`, shorter than the word and of kMinStemInside letters or more, ends the longer
    // `textWord` ("line" of "lines" in "newline"); npos where it does not. A stem elsewhere in a word is mostly a
    // word of another meaning from the same root ("determin" of "determinant" in "undetermined").
    std::size_t StemInside(std::size_t word, std::string_view textWord) const
    {
        const std::string &stem = words_[word].stem;
        if (stem.size() < kMinStemInside || stem.size() >= words_[word].text.size() || textWord.size() <= stem.size() ||
            !textWord.ends_with(stem)) {
            return std::string_view::npos;
        }
        return textWord.size() - stem.size();
    }

    // How the word `word` of the query matches `textWord`, a folded word of an entry's text, which holds the letters
    // `textLetters` (LettersOf it); `stem` is that word's stem (computed only when the word could be a form of it:
    // `stemOf` yields it).
    template <typename StemOf>
    TextMatch MatchText(std::size_t word, std::string_view textWord, Letters textLetters, StemOf stemOf) const;
    // False when MatchText is sure to find no match of the word `word` in a word of the text that begins with the
    // folded byte `first` and holds `textLetters`, without reading its letters: it can match only by beginning with
    // the word's letter, or by lacking no more of the word's letters than its edits allow, or none of its stem's.
    bool MayMatchText(std::size_t word, char first, Letters textLetters) const;
    // How the word `word` matches a command's folded name, whose parts are `parts` and letters `nameLetters`
    // (LettersOf it).
    NameMatch MatchName(std::size_t word, std::string_view name, std::span<const NamePart> parts,
                        Letters nameLetters) const;
    // The query's words whose beginnings, one word after another in the query's order or in the reverse order, spell
    // `piece`, a name or a part of one: three initials or more ("fft": "fast fourier transform"), two words or more of
    // which one gives three letters or more ("bsearch": "binary search"; "dirlist": "list directory"), or the two
    // initials of a name of two letters ("du": "disk usage"). Words of one letter give none ("tac" is no "time a
    // command").
    Spelling SpelledBy(std::string_view piece) const;
    // The same for a name: the words that spell the whole name or one of its parts ("mmap" of "mmap2").
    Spelling SpelledBy(std::string_view name, std::span<const NamePart> parts) const;
    // The letters a word of the text must begin with to be a form of the word `word`; empty when it has no forms.
    std::string_view FormPrefix(std::size_t word) const;

private:
    std::vector<QueryWord> words_;
    std::string whole_;
    std::string asTyped_;
    std::bitset<256> firstLetters_; // the first letters of the words that can spell a name: most names begin otherwise
};

// What a word of an entry's text matches of a query: each query word's TextMatch, four bits a word; the query words
// it matches better than inside it; and those it is.
struct WordMatches
{
    std::uint64_t matches = 0;
    std::uint16_t near = 0;
    std::uint16_t exact = 0;
};

struct RankedResult
{
    int item;                  // the command's position in the list
    std::uint32_t entryOffset; // its entry
    // Where the entry's description stands in the file, once the entry's text has been read (descriptionKnown).
    std::uint32_t descriptionOffset = 0;
    std::uint16_t descriptionLength = 0;
    bool descriptionKnown = false;
    std::uint8_t tier = 2;      // 0: named exactly as typed; 1: the name begins with it; 2: the rest
    bool otherCase = false;     // of tier 0, named as typed only in another case or with other accents
    std::uint8_t wordsHeld = 0; // of the query's words, any way
    float score = 0;
    std::uint16_t nameLength = 0; // in characters
    bool operator==(const RankedResult &) const = default;
};

struct RankedResults
{
    std::vector<RankedResult> results;
    bool mostWords = false;
};

// One search: the names' matches at once; the entries' text from the reference's word table once there is one, a
// part at a time, so that a window can answer its user between the parts. The search holds on to the names and the
// table it reads, so that they live as long as it does, whatever the window makes anew meanwhile.
class RankedSearch
{
public:
    static_assert(Query::kMaxWords <= 16, "a word's matches are kept in 16 bits: a bit a word of the query");

    RankedSearch(std::shared_ptr<const CommandNames> names, std::u16string_view query);
    ~RankedSearch();
    RankedSearch(const RankedSearch &) = delete;
    RankedSearch &operator=(const RankedSearch &) = delete;

    // Ranks the entries' text from `table`, made for the same names.
    void ReadTable(std::shared_ptr<const WordTable> table);

    bool HasTable() const { return table_ != nullptr; }
    // Does one part of the work of ranking the entries' text (a bounded one); yields whether it is done. Does nothing
    // before the table is given.
    bool Continue();
    // True once the entries' text is ranked: the results are whole.
    bool Done() const;
    // The results known so far, best first; once done, all of them. Before the text is ranked, those the names give:
    // the commands named as typed or beginning with it, and those whose name holds every word.
    std::vector<RankedResult> Results() const;
    // True, once done, when no entry holds every word of the query: the results hold the most any entry holds.
    bool MostWords() const;
    const Query &TheQuery() const { return query_; }

private:
    struct Work;

    void MatchNames();
    bool MatchWords();
    bool MatchEntries();
    class WordReader;
    friend std::optional<struct RankedResults> FindRanked(platform::HelpFile &file, const platform::ListBox &list,
                                                          std::u16string_view query);
    friend std::optional<struct RankedResults>
    FindRanked(platform::HelpFile &file, const std::shared_ptr<const CommandNames> &names, std::u16string_view query);
    // The whole search of the entries at `offsets` (in file order), read from the file, with the names `names` makes
    // meanwhile.
    static std::optional<struct RankedResults>
    ReadWhole(platform::HelpFile &file, const std::vector<std::uint32_t> &offsets,
              const std::function<std::shared_ptr<const CommandNames>()> &names, std::u16string_view query);
    // Reads the text of the entry `entry` of the file order into `work`, for a reader without a table.
    static void ReadText(Work &work, WordReader &reader, std::size_t words, std::size_t entry,
                         std::string_view entryBytes, std::uint32_t entryOffset);
    // Ranks the entries' text as read from the file, in place of a table's.
    void AdoptText(std::unique_ptr<Work> work);
    void CountHolders(std::size_t entry, std::vector<std::uint32_t> &holding) const;
    // Whether the entry's name holds the words that only its spelling gives it (Query::SpelledBy).
    bool SpellingCounts(std::size_t entry, std::size_t item) const;
    // How the item's name holds the query's word, the spelling counted or not.
    NameMatch NameHolds(std::size_t item, std::size_t word, bool spellingCounts) const;
    // What is known of the entry's text: from the table, or as read from the file.
    const WordTable::Entry &TextOf(std::size_t entry) const;
    void FinishReading();
    // Ranks the next `count` entries, a run of results in order; yields whether every entry is ranked.
    bool RankEntries(std::size_t count);
    // Merges two runs of results into one; yields whether one is left.
    bool MergeRuns();
    // Takes the results in order as the search's, all its work done.
    void TakeResults();
    RankedResult ResultOf(int item) const;

    std::shared_ptr<const CommandNames> names_;
    std::shared_ptr<const WordTable> table_;
    WordForms forms_;
    Query query_;
    std::vector<NameMatch> nameMatches_;       // item by item, word by word
    std::vector<std::uint8_t> tiers_;          // item by item
    std::vector<std::uint32_t> spelled_;       // item by item: the query's words that spell its name (Query::SpelledBy)
    std::vector<std::uint32_t> spellingAlone_; // item by item: the words its name holds by the spelling alone
    std::unique_ptr<Work> work_;
    std::vector<RankedResult> ranked_;
    bool done_ = false;
    bool mostWords_ = false;
};

// The whole search at once, for a reader that has no user waiting: what the terminal prints. It reads the entries'
// text from the file, without a word table (two threads of a large reference at once, the names made meanwhile), and
// gives the results a search of the table gives. Nothing when the file changed under it.
std::optional<RankedResults> FindRanked(platform::HelpFile &file, const platform::ListBox &list,
                                        std::u16string_view query);
// The same with the list's names already made: the items of the list they were made from.
std::optional<RankedResults> FindRanked(platform::HelpFile &file, const std::shared_ptr<const CommandNames> &names,
                                        std::u16string_view query);

// Where the words of `query` stand in `text` (bytes of the data file, one a character): each word of the text that one
// of them matches, as a TextMatch would, or the part of it that holds one inside; in order, none overlapping. A query
// word of one or two letters stands only where it is a whole word of the text ("a", not the "a" of "square").
std::vector<platform::TextRange> MatchedRanges(const Query &query, std::string_view text, WordForms &forms);
// Where they stand in a command's folded name: the name's parts and the spans they match; a query word of one or two
// letters only where the name or a part of it begins with it.
std::vector<platform::TextRange> MatchedNameRanges(const Query &query, std::string_view name,
                                                   std::span<const NamePart> parts);

} // namespace korva::helpdata

namespace korva::helpdata {

inline bool Query::MayMatchText(std::size_t word, char first, Letters textLetters) const
{
    const QueryWord &wanted = words_[word];
    // Each letter of the wanted word that the text's word lacks takes an edit, and a word holding it inside (or its
    // stem) lacks none.
    return wanted.matchable &&
           (first == wanted.text.front() || !LacksMoreThan(wanted.letters, textLetters, wanted.edits) ||
            (wanted.stemLetters & ~textLetters) == 0);
}

template <typename StemOf>
TextMatch Query::MatchText(std::size_t word, std::string_view textWord, Letters textLetters, StemOf stemOf) const
{
    const QueryWord &wanted = words_[word];
    if (!wanted.matchable || textWord.empty()) {
        return TextMatch::None;
    }
    // Most words of a text begin with another letter than the query's word, and are of another length: they are told
    // apart at once.
    const std::size_t length = wanted.text.size();
    if (textWord.front() == wanted.text.front()) {
        if (textWord == wanted.text) {
            return TextMatch::Exact;
        }
        const std::string_view prefix = FormPrefix(word);
        if (!prefix.empty() && textWord.starts_with(prefix)) {
            const std::string &stem = stemOf(textWord);
            if (FormsMatch(stem, wanted.stem)) {
                return stem == wanted.stem ? TextMatch::Form : TextMatch::Derived;
            }
        }
        if (textWord.starts_with(wanted.text)) {
            return TextMatch::Prefix;
        }
    }
    // Most words of a text are told apart here, without reading them again.
    if (!MayMatchText(word, textWord.front(), textLetters)) {
        return TextMatch::None;
    }
    const std::size_t edits = wanted.edits;
    const std::size_t apart = textWord.size() > length ? textWord.size() - length : length - textWord.size();
    if (edits > 0 && apart <= edits && wanted.near->Within(textWord, edits)) {
        return TextMatch::Near;
    }
    if (textWord.size() > length && textWord.find(wanted.text) != std::string_view::npos) {
        return TextMatch::Inside;
    }
    if (StemInside(word, textWord) != std::string_view::npos) {
        return TextMatch::Inside;
    }
    return TextMatch::None;
}

} // namespace korva::helpdata
