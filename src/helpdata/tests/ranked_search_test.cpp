// SPDX-License-Identifier: MIT
// Finding a command without knowing its name: each rule of the ranking, with exact bytes in and the results' names out.
#include "engine_fixture.h"
#include "helpdata/ranked_search.h"
#include "platform/sorted_list_box.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace korva::helpdata::testing {
namespace {

using Names = std::vector<std::string>;

struct QueryCase
{
    std::u16string query;
    Names expected; // the first results, in order
};

class RankedSearchTest : public EngineTest
{
protected:
    RankedResults Search(std::u16string_view query)
    {
        const auto results = FindRanked(file, window.commandList, query);
        EXPECT_TRUE(results.has_value());
        // With the names made beforehand, the same.
        const auto withNames = FindRanked(file, std::make_shared<const CommandNames>(window.commandList), query);
        EXPECT_TRUE(withNames.has_value() && results.has_value() && withNames->results == results->results &&
                    withNames->mostWords == results->mostWords);
        return results.value_or(RankedResults{});
    }

    // The results' names for `query`, best first.
    Names Ranked(std::u16string_view query)
    {
        Names names;
        for (const RankedResult &result : Search(query).results) {
            names.push_back(Narrow(window.commandList.GetText(result.item)));
        }
        return names;
    }

    // The first `count` of them.
    Names First(std::u16string_view query, std::size_t count)
    {
        Names names = Ranked(query);
        names.resize(std::min(names.size(), count));
        return names;
    }

    // Runs each case against the file, comparing the first results with those expected.
    void ExpectFirst(const std::vector<QueryCase> &cases)
    {
        for (const QueryCase &each : cases) {
            EXPECT_EQ(First(each.query, each.expected.size()), each.expected) << Narrow(each.query);
        }
    }
};

// The command named as typed, then the names that begin with it (shorter first), then the rest by what they hold.
TEST_F(RankedSearchTest, NamedAsTypedThenNamesThatBeginWithIt)
{
    Open(SimpleEntry("gcd", "greatest common divisor", {}, {"gcd(prime, 2)  = 1"}) +
         SimpleEntry("totient", "counts the numbers coprime to n") + SimpleEntry("nextprime") +
         SimpleEntry("factor", "splits an integer into prime factors") + SimpleEntry("isprime") +
         SimpleEntry("primefactors") + SimpleEntry("prime_sieve") + SimpleEntry("prime"));
    EXPECT_EQ(Ranked(u"prime"), (Names{"prime", "prime_sieve", "primefactors", // as typed, then beginning with it
                                       "factor",                               // the word whole in the description
                                       "isprime", "nextprime",                 // the name holds it
                                       "gcd",                                  // the word in an example
                                       "totient"}));                           // inside a word of the description
    EXPECT_EQ(First(u"PRIME_SIEVE", 1), Names{"prime_sieve"});
}

// Of names that differ only in case or accents, the one named as typed comes first, as the window and --print resolve
// a name; then the others in the list's order.
TEST_F(RankedSearchTest, NamedAsTypedInTheCaseTypedFirst)
{
    Open(SimpleEntry("GAMMA", "the letter") + SimpleEntry("Gamma", "the function") + SimpleEntry("gamma", "the ratio") +
         SimpleEntry("gammainc") +
         SimpleEntry("m\xf6"
                     "bius") +
         SimpleEntry("mobius"));
    const Names listed = {"GAMMA", "Gamma", "gamma"};
    ASSERT_EQ(First(u"GAMMA", 3), listed); // the list's order among them
    ExpectFirst({{u"gamma", {"gamma", "GAMMA", "Gamma", "gammainc"}},
                 {u"Gamma", {"Gamma", "GAMMA", "gamma"}},
                 {u"  gamma ", {"gamma"}},
                 {u"gAmMa", {"GAMMA", "Gamma", "gamma"}},
                 {u"mobius", {"mobius", "m?bius"}},
                 {u"m\u00f6bius", {"m?bius", "mobius"}},
                 {u"M\u00f6bius", {"mobius", "m?bius"}}});
}

// Every word counts: an entry that holds all of them ranks above any that holds one, however well.
TEST_F(RankedSearchTest, EveryWordOfTheQueryCounts)
{
    Open(SimpleEntry("cat", "concatenate files and print on the standard output") +
         SimpleEntry("heaptrack_print", "heap memory profiler, print utility") +
         SimpleEntry("ls", "list directory contents") + SimpleEntry("dirlist", "shows a list") +
         SimpleEntry("listres", "list resources in widgets") + SimpleEntry("directory_stack", "the stack of folders"));
    // "file" stands inside "profiler": a match, but a weak one.
    EXPECT_EQ(Ranked(u"print file"), (Names{"cat", "heaptrack_print"}));
    EXPECT_EQ(Ranked(u"list directory"), (Names{"ls", "dirlist"})); // "dir" and "list" spell the name
    EXPECT_FALSE(Search(u"list directory").mostWords);
    // Spaces and punctuation between the words do not count.
    EXPECT_EQ(Ranked(u"  directory,   list "), Ranked(u"list directory"));
}

// When no entry holds every word, those that hold the most of them, and the results say so.
TEST_F(RankedSearchTest, MostWordsWhenNoEntryHoldsEveryWord)
{
    Open(SimpleEntry("solve", "solves an equation for its unknowns") +
         SimpleEntry("dsolve", "solves a differential equation") + SimpleEntry("plot", "draws a curve"));
    const RankedResults results = Search(u"equation qqqqqq unknowns");
    EXPECT_TRUE(results.mostWords);
    ASSERT_EQ(results.results.size(), 1u);
    EXPECT_EQ(results.results.front().wordsHeld, 2);
    EXPECT_EQ(Ranked(u"equation qqqqqq"), (Names{"dsolve", "solve"})); // the shorter description is more about it
    // A word the code page lacks is a word no entry holds; the others still rank.
    EXPECT_EQ(Ranked(u"differential \u03c0"), Names{"dsolve"});
    EXPECT_TRUE(Search(u"differential \u03c0").mostWords);
    EXPECT_TRUE(Ranked(u"qqqqqq").empty());
    EXPECT_FALSE(Search(u"qqqqqq").mostWords);
}

// Other forms of a word: plurals, -ing, -ion, -ise and -ize, from Snowball's stems.
TEST_F(RankedSearchTest, WordFormsMatch)
{
    if (!WordForms::Available()) {
        GTEST_SKIP() << "built without Snowball's stemmer (the Windows core): every word is its own stem";
    }
    Open(SimpleEntry("det", "Determinant of a square matrix") + SimpleEntry("integrate", "indefinite integral") +
         SimpleEntry("expand", "multiplies out products") + SimpleEntry("simplify", "makes an expression simpler") +
         SimpleEntry("factor", "splits into irreducible parts") + SimpleEntry("exp", "the exponential function of x") +
         SimpleEntry("integer", "a whole number"));
    ExpectFirst({{u"determinants", {"det"}},
                 {u"integrals", {"integrate"}},
                 {u"expanding", {"expand"}},
                 {u"exponentials", {"exp"}},
                 {u"simplification", {"simplify"}},
                 {u"factorise", {"factor"}},
                 {u"factorize", {"factor"}}});
}

// The stem of a word ending a longer word is a weak match ("line" of "lines" in "newline", not in "linear"; not
// "determin" of "determinant" in "undetermined"), marked where it stands.
TEST_F(RankedSearchTest, StemEndingALongerWord)
{
    if (!WordForms::Available()) {
        GTEST_SKIP() << "built without Snowball's stemmer (the Windows core): every word is its own stem";
    }
    Open(SimpleEntry("wc", "print newline and byte counts") + SimpleEntry("nl", "number lines") +
         SimpleEntry("linsolve", "solves a linear system, maybe underdetermined"));
    EXPECT_TRUE(Ranked(u"determinant").empty());
    EXPECT_EQ(Ranked(u"count lines"), Names{"wc"});
    EXPECT_FALSE(Search(u"count lines").mostWords);
    EXPECT_EQ(Ranked(u"lines"), (Names{"nl", "wc"}));
    WordForms forms;
    const Query query(u"count lines", forms);
    EXPECT_EQ(MatchedRanges(query, "print newline and byte counts", forms),
              (std::vector<platform::TextRange>{{9, 4}, {23, 6}}));
}

// A word of one or two letters is marked where it stands whole, and where a name or a part of it begins with it: never
// inside a word or a name, nor as the beginning of a longer word of the text. A longer word is marked there too.
TEST(MatchedRangesTest, ShortWordsAreMarkedWhereTheyStandWhole)
{
    WordForms forms;
    const Query query(u"inverse of a matrix", forms);
    EXPECT_EQ(MatchedRanges(query, "Raise a square matrix, and often a matrix", forms),
              (std::vector<platform::TextRange>{{6, 1}, {15, 6}, {33, 1}, {35, 6}}));
    EXPECT_EQ(MatchedNameRanges(query, "linalg.inv", NameParts("linalg.inv")),
              (std::vector<platform::TextRange>{{7, 3}}));
    EXPECT_EQ(MatchedNameRanges(query, "a_matrixinverse", NameParts("a_matrixinverse")),
              (std::vector<platform::TextRange>{{0, 1}, {2, 13}}));
    EXPECT_EQ(MatchedNameRanges(query, "oftener", NameParts("oftener")), (std::vector<platform::TextRange>{{0, 2}}));
    const Query longer(u"verse", forms);
    EXPECT_EQ(MatchedNameRanges(longer, "linalg.inverse", NameParts("linalg.inverse")),
              (std::vector<platform::TextRange>{{9, 5}}));
}

// A near spelling of a word anywhere: one edit from four letters on, two from eight; against names from three.
TEST_F(RankedSearchTest, NearSpellingsMatchEverywhere)
{
    Open(SimpleEntry("eigen", "eigenvalues of a matrix") + SimpleEntry("apart", "partial fraction decomposition") +
         SimpleEntry("rsolve", "solves a recurrence") + SimpleEntry("factor", "factorization into primes") +
         SimpleEntry("solve", "an equation") + SimpleEntry("sum", "adds terms"));
    ExpectFirst({{u"eigenvlues", {"eigen"}},
                 {u"factorizaton", {"factor"}},
                 {u"recurence", {"rsolve"}},
                 {u"partial fracton", {"apart"}},
                 {u"slove", {"solve"}},          // two neighbours swapped
                 {u"solvr", {"solve"}},          // one changed
                 {u"factr", {"factor"}},         // one dropped
                 {u"fctr", {"factor"}},          // the name's letters in order
                 {u"recurrensse", {"rsolve"}}}); // two edits from eight letters on
    EXPECT_TRUE(Ranked(u"ads").empty());         // three letters: near a name only, never a word of the text
    EXPECT_EQ(Ranked(u"trems"), Names{"sum"});   // five letters, one swap from "terms"
    EXPECT_TRUE(Ranked(u"trmes").empty());       // two edits from it: one too many below eight letters
}

// A text word is passed over at once when it lacks more of a query word's letters than the edits allowed and lacks a
// letter of its stem: at that bound each kind of match still stands.
TEST(QueryMatchText, WordsLackingLettersUpToTheEditsAllowedStillMatch)
{
    struct Case
    {
        std::u16string query;
        std::string text;
        TextMatch expected;
    };
    std::vector<Case> cases = {
        {u"solvr", "solve", TextMatch::Near},           // one letter lacking, one edit allowed
        {u"solxr", "solve", TextMatch::None},           // two lacking
        {u"xecurrencz", "recurrence", TextMatch::Near}, // two lacking, two edits from eight letters on
        {u"xecuxrencz", "recurrence", TextMatch::None}, // three
        {u"sample", "sam0le", TextMatch::Near},         // "0" shares a bit with "p": the edit decides
        {u"pole", "polenta", TextMatch::Prefix},        // lacking none
        {u"lent", "polenta", TextMatch::Inside},        {u"xyzzy", "polenta", TextMatch::None},
    };
    if (WordForms::Available()) {
        // Four of the word's letters lacking, but its stem ("comput") ends the text's word.
        cases.push_back({u"computations", "recomput", TextMatch::Inside});
    }
    WordForms forms;
    const auto stemOf = [&forms](std::string_view word) { return forms.Stem(word); };
    for (const Case &each : cases) {
        const Query query(each.query, forms);
        EXPECT_EQ(query.MatchText(0, each.text, LettersOf(each.text), stemOf), each.expected)
            << Narrow(each.query) << " / " << each.text;
    }
}

// Read from the file, a word of the text is passed over at once when it can match no query word: at each bound of that
// test it still matches.
TEST_F(RankedSearchTest, WordsReadFromTheFileAtTheBoundsOfTheQuickTestStillMatch)
{
    Open(SimpleEntry("alpha", "we solve it") + SimpleEntry("beta", "a recurrence here") +
         SimpleEntry("gamma", "recomput now") + SimpleEntry("delta", "so happy"));
    std::vector<QueryCase> cases = {{u"solvr", {"alpha"}},      // one letter lacking, one edit allowed
                                    {u"xecurrencz", {"beta"}}}; // two lacking, two edits
    if (WordForms::Available()) {
        cases.push_back({u"computations", {"gamma"}}); // four lacking, but not a letter of its stem
        cases.push_back({u"happiness", {"delta"}});    // lacking more, yet beginning with its letter: another form
    }
    ExpectFirst(cases);
}

// The same bound against names: a name lacking no more letters than the edits allowed is still near, and its parts.
TEST(QueryMatchName, NamesLackingLettersUpToTheEditsAllowedStillMatch)
{
    struct Case
    {
        std::u16string query;
        std::string name;
        NameMatch expected;
    };
    const std::vector<Case> cases = {
        {u"solvr", "solve", NameMatch::NameNear},           // one letter lacking, one edit allowed
        {u"solvr", "poly_solve", NameMatch::PartNear},      // in a part
        {u"solxr", "solve", NameMatch::None},               // two lacking
        {u"xecurrencz", "recurrence", NameMatch::NameNear}, // two lacking, two edits from eight letters on
        {u"xecurrencz", "rsolve_recurrence", NameMatch::PartNear},
        {u"xecuxrencz", "recurrence", NameMatch::None}, // three
        {u"prime", "isprime", NameMatch::Holds},        // lacking none
        {u"fctr", "factor", NameMatch::InOrder},
        {u"polynomial", "poly_gcd", NameMatch::PartBeginsWord}, // a name lacking letters, yet a part begins the word
        {u"shuffle", "shuf", NameMatch::NameBeginsWord},        // the whole name begins it
        {u"catalog", "cat", NameMatch::PartBeginsWord},         // three letters begin too many words to say more
        {u"shuffle", "shuf_x", NameMatch::PartBeginsWord},      // a part of a longer name
    };
    WordForms forms;
    for (const Case &each : cases) {
        const Query query(each.query, forms);
        EXPECT_EQ(query.MatchName(0, each.name, NameParts(each.name), LettersOf(each.name)), each.expected)
            << Narrow(each.query) << " / " << each.name;
    }
}

// A four-letter word one swap from a whole name ranks that name above longer names that hold the letters inside.
TEST_F(RankedSearchTest, ShortTypoOfAWholeNameBeatsNamesThatHoldIt)
{
    Open(SimpleEntry("xsrotx", "d") + SimpleEntry("asrotb", "d") + SimpleEntry("sort", "orders a list"));
    EXPECT_EQ(First(u"srot", 1), Names{"sort"});
}

// Names are cut into parts: a query word matches a part it begins, and a part of three letters or more that begins it.
TEST_F(RankedSearchTest, NamePartsAndInitials)
{
    Open(SimpleEntry("poly_gcd", "d") + SimpleEntry("mod_inverse", "d") + SimpleEntry("LUdecomposition", "d") +
         SimpleEntry("fft", "compute the transform") + SimpleEntry("ift", "d") + SimpleEntry("HTMLParser", "d") +
         SimpleEntry("log10", "d"));
    ExpectFirst({{u"polynomial", {"poly_gcd"}},
                 {u"inverse", {"mod_inverse"}},
                 {u"decomposition", {"LUdecomposition"}},
                 {u"lu", {"LUdecomposition"}},
                 {u"parser", {"HTMLParser"}},
                 {u"fast fourier transform", {"fft"}},
                 {u"log", {"log10"}},
                 {u"10", {"log10"}}});
    EXPECT_TRUE(Ranked(u"fast fourier").empty()); // initials of two words name nothing
}

// A name that is a word of the query shortened says what the command is, above a description holding a commoner word.
TEST_F(RankedSearchTest, NameThatShortensAWordRanksAboveACommonerWordInADescription)
{
    Open(SimpleEntry("shuf", "generate random permutations") + SimpleEntry("rev", "reverse lines characterwise") +
         SimpleEntry("nl", "number lines of files") + SimpleEntry("sort", "sort a list") +
         SimpleEntry("cut", "remove sections") + SimpleEntry("tee", "read from input"));
    EXPECT_EQ(First(u"shuffle lines", 1), Names{"shuf"});
}

// A name spelled by the beginnings of the query's words, one after another, ranks above names that hold a word alike.
TEST_F(RankedSearchTest, NamesSpelledByTheQuery)
{
    Open(SimpleEntry("tsearch", "manage a binary search tree") +
         SimpleEntry("bsearch", "binary search of a sorted array") + SimpleEntry("regmatch_t", "regular expressions") +
         SimpleEntry("regex", "regular expressions") + SimpleEntry("tac", "print lines in reverse") +
         SimpleEntry("timeit", "time a command") + SimpleEntry("fft", "the discrete spectrum") +
         SimpleEntry("fftfreq", "d") + SimpleEntry("getrusage", "get resource usage") +
         SimpleEntry("du", "estimate file space usage") + SimpleEntry("matmul", "matrix product of two arrays") +
         SimpleEntry("inv", "the multiplicative inverse of a matrix"));
    ExpectFirst({{u"binary search", {"bsearch", "tsearch"}},
                 {u"search binary", {"bsearch", "tsearch"}},
                 {u"regular expression", {"regex", "regmatch_t"}},
                 {u"compute the fast fourier transform", {"fft"}},
                 {u"disk usage", {"du", "getrusage"}}});   // two initials, among entries holding as many words
    EXPECT_EQ(Ranked(u"time a command"), Names{"timeit"}); // a word of one letter spells nothing: no "tac"
    EXPECT_EQ(Ranked(u"fa fo"), Names{});                  // two initials alone spell nothing
    // Spelled by two words, a name holds no word it does not hold otherwise: no entry holds both.
    EXPECT_TRUE(Search(u"search text").mostWords);
    // But by two words that each give three letters or more, it holds both, as another entry does.
    Names both = Ranked(u"matrix multiplication");
    std::sort(both.begin(), both.end());
    EXPECT_EQ(both, (Names{"inv", "matmul"}));
}

// Three short words spell a short name by chance: the name holds the words it is spelled by only when the first words
// of its description hold a word of the query too, or it has none.
TEST_F(RankedSearchTest, NameSpelledByChanceHoldsNoWord)
{
    Open(SimpleEntry("sin", "trigonometric sine") +
         SimpleEntry("sign", "an indication of the sign of a number, where nan gives nan") + // too late to confirm it
         SimpleEntry("nansum", "sum of elements treating nans as zero") + SimpleEntry("lcm", "") +
         SimpleEntry("lsmod", "show the status of modules") + SimpleEntry("fft", "a transform"));
    EXPECT_EQ(Ranked(u"sum ignoring nan"), Names{"nansum"}); // no "sin", spelled by the initials alone
    EXPECT_TRUE(Search(u"sum ignoring nan").mostWords);
    ExpectFirst({{u"least common multiple", {"lcm"}}, // no description: the spelling holds the words
                 {u"fast fourier transform", {"fft"}}});
    EXPECT_EQ(Ranked(u"limit smtp modules"), Names{"lsmod"}); // a word its description holds confirms it
}

// Which words of a query spell a name, and which of them it holds so: each row a query, a name, and the words
// (bit i: word i) of each.
TEST(QuerySpelling, RunsOfWordsSpellNames)
{
    struct Case
    {
        std::u16string query;
        std::string name;
        std::uint32_t words;
        std::uint32_t held;
        std::uint32_t begun = 0;
    };
    const std::vector<Case> cases = {
        {u"fast fourier transform", "fft", 0b111, 0b111},
        {u"compute the fast fourier transform", "fft", 0b11100, 0b11100}, // a run inside the query
        {u"binary search", "bsearch", 0b11, 0},                           // two words: spelled, not held
        {u"search binary", "bsearch", 0b11, 0},                           // the reverse order too
        {u"regular expression", "regex", 0b11, 0},
        {u"disk usage", "du", 0b11, 0},     // two initials, a name of two letters
        {u"disk usage", "dus", 0, 0},       // but no third letter from nowhere
        {u"fast fourier", "ff", 0b11, 0},   // spelled, yet no result by it alone
        {u"fast fourier", "fft", 0, 0},     // a letter no word gives
        {u"time a command", "tac", 0, 0},   // a word of one letter gives none, and ends the run
        {u"binary search", "search", 0, 0}, // one word alone spells nothing
        {u"binary search", "bs", 0b11, 0},  // two initials
        {u"binary search", "bsx", 0, 0},
        {u"transform fourier fast", "fft", 0b111, 0b111},
        // Each word giving three letters or more: held by two words too, and begun by each.
        {u"matrix multiplication", "matmul", 0b11, 0b11, 0b11},
        {u"binary search", "binsearch", 0b11, 0b11, 0b11},
        {u"multiplication matrix", "matmul", 0b11, 0b11, 0b11}, // the reverse order too
        {u"up time", "uptime", 0b11, 0},                        // "up" gives two
        {u"fast fourier transform", "fasft", 0b111, 0b111, 0},  // three words, not each giving three
    };
    WordForms forms;
    for (const Case &each : cases) {
        const Spelling spelling = Query(each.query, forms).SpelledBy(each.name);
        EXPECT_EQ(spelling.words, each.words) << Narrow(each.query) << " / " << each.name;
        EXPECT_EQ(spelling.held, each.held) << Narrow(each.query) << " / " << each.name;
        EXPECT_EQ(spelling.begun, each.begun) << Narrow(each.query) << " / " << each.name;
    }
}

// A rare word says more than one that stands in most entries.
TEST_F(RankedSearchTest, RareWordsCountMore)
{
    std::string bytes;
    for (int i = 0; i < 12; ++i) {
        bytes += SimpleEntry("c" + std::to_string(i), "returns a value");
    }
    Open(bytes + SimpleEntry("zz", "the residue"));
    EXPECT_EQ(First(u"value residue", 1), Names{"zz"});
}

// A word that other entries hold only inside longer words ("cut" in "executes") is as rare as the entries holding the
// word itself make it.
TEST_F(RankedSearchTest, WordsHeldOnlyInsideOthersLeaveAWordRare)
{
    std::string bytes;
    for (int i = 0; i < 12; ++i) {
        bytes += SimpleEntry("run" + std::to_string(i), "executes programs");
    }
    Open(bytes + SimpleEntry("mod", "the residue") + SimpleEntry("rem", "a residue") +
         SimpleEntry("snip", "cut lines"));
    EXPECT_EQ(First(u"cut residue", 3), (Names{"snip", "mod", "rem"}));
}

// Words found next to each other in the query's order, and a description that holds every word whole, rank above the
// same words scattered or inside longer words.
TEST_F(RankedSearchTest, NeighbouringAndWholeWordsRankFirst)
{
    Open(SimpleEntry("scattered", "a system, linear or not") + SimpleEntry("inside", "nonlinear subsystems") +
         SimpleEntry("together", "solves a linear system of equations in x"));
    EXPECT_EQ(Ranked(u"linear system"), (Names{"together", "scattered", "inside"}));
}

// A command named by one word of the query, its description holding the others, ranks above a description that holds
// every word together: the name is what the command is.
TEST_F(RankedSearchTest, NameThatIsAWordOfTheQueryRanksAboveTheWordsTogether)
{
    std::string others; // so that the words are as rare as in a reference of some size
    for (int i = 0; i < 40; ++i) {
        others += SimpleEntry("other" + std::to_string(i));
    }
    Open(others + SimpleEntry("zip", "package and compress (archive) files") +
         SimpleEntry("zipinfo", "list detailed information about a zip archive file") +
         SimpleEntry("unique", "finds the distinct elements of an array", {}, {"sorted values"}) +
         SimpleEntry("setdiff", "returns the unique values in one array that are not in another"));
    ExpectFirst({{u"zip archive", {"zip", "zipinfo"}}, {u"unique values", {"unique", "setdiff"}}});
}

// A description that begins with the query's words says what the command is; one that holds them later says what it
// does with them, however much shorter it is.
TEST_F(RankedSearchTest, DescriptionThatBeginsWithTheQueryRanksFirst)
{
    std::string others;
    for (int i = 0; i < 40; ++i) {
        others += SimpleEntry("other" + std::to_string(i));
    }
    Open(others +
         SimpleEntry("mask", "upper triangle of an array: a copy with the elements below the diagonal zeroed") +
         SimpleEntry("mesh", "the indices of the upper triangle of an array") +
         SimpleEntry("pidfd_send_signal", "send a signal to a process given by a file descriptor") +
         SimpleEntry("kill", "send signal to a process"));
    ExpectFirst({{u"upper triangle", {"mask", "mesh"}},
                 {u"send signal", {"kill", "pidfd_send_signal"}},
                 {u"triangle upper", {"mesh", "mask"}}}); // not in the query's order: the shorter first
}

// Of commands whose text says nearly as much, the one of the shorter name is the basic one, the longer its variants.
TEST_F(RankedSearchTest, ShorterNameRanksAboveALongerOneThatSaysNearlyAsMuch)
{
    std::string others;
    for (int i = 0; i < 40; ++i) {
        others += SimpleEntry("other" + std::to_string(i));
    }
    Open(others + SimpleEntry("exp", "the exponential of each element of an array") +
         SimpleEntry("random_exponential", "samples of an exponential distribution") +
         SimpleEntry("kill", "send a signal to a process") +
         SimpleEntry("process_signal_queue", "send a signal to a process, queued"));
    ExpectFirst(
        {{u"exponential", {"exp", "random_exponential"}}, {u"signal process", {"kill", "process_signal_queue"}}});
}

TEST_F(RankedSearchTest, CaseAndAccentsAreIgnored)
{
    Open(SimpleEntry("m\xf6"
                     "bius",
                     "the M\xf6"
                     "bius function") +
         SimpleEntry("Cauchy", "CAF\xc9 au lait") + SimpleEntry("abs", "\x8aome \xc0 la carte"));
    for (const std::u16string_view query : {u"mobius", u"M\u00d6BIUS", u"mo\u0308bius", u"M\u00f6bius"}) {
        EXPECT_EQ(Ranked(query), Names{"m?bius"}) // Narrow shows the letter beyond ASCII as "?"
            << Narrow(std::u16string(query));
    }
    EXPECT_EQ(Ranked(u"cafe"), Names{"Cauchy"});
    EXPECT_EQ(Ranked(u"some carte"), Names{"abs"});
}

// Lines of kind "1" and "3" are never matched, nor what the entry view does not show: the second line, the lines
// between the fourth and the parameters, the see-also lines.
TEST_F(RankedSearchTest, OnlyWhatTheEntryViewShowsIsMatched)
{
    Open(Entry("alpha",
               {"1 hidden", "2 a", "3 hidden", "x hidden", "0 alpha(x)", "-> hidden", "1 + hidden", "ok visible"}) +
         Entry("beta", {"x hidden", "2 b", "0 not the parameters", "x hidden", "0 beta(y)", "3 hidden"}) +
         SimpleEntry("hidden2", "named so"));
    EXPECT_EQ(Ranked(u"hidden"), Names{"hidden2"});
    EXPECT_EQ(Ranked(u"visible"), Names{"alpha"});
    EXPECT_EQ(Ranked(u"parameters"), Names{}); // the fourth line is never the parameters line
    EXPECT_EQ(Ranked(u"y"), Names{"beta"});
}

// An entry the entry view cannot show is found by its name, never by text it would not show.
TEST_F(RankedSearchTest, EntryThatCannotBeShownIsFoundByItsNameOnly)
{
    Open(Entry("broken", {"1 a", "x third line not a description", "3 c", "0 broken(x)"}) +
         SimpleEntry("whole", "third line"));
    EXPECT_EQ(Ranked(u"broken"), Names{"broken"});
    EXPECT_EQ(Ranked(u"third"), Names{"whole"});
    EXPECT_FALSE(Search(u"broken").results.front().descriptionKnown);
}

// Equal in every other way: shorter names first, then the list's order.
TEST_F(RankedSearchTest, TiesGoToShorterNamesThenTheListsOrder)
{
    Open(SimpleEntry("zeta", "a series") + SimpleEntry("beta", "a series") + SimpleEntry("alpha", "a series") +
         SimpleEntry("eta", "a series"));
    EXPECT_EQ(Ranked(u"series"), (Names{"eta", "beta", "zeta", "alpha"}));
}

// The names give their results at once, before any text is ranked; the text comes from the word table, never from
// the file.
TEST_F(RankedSearchTest, NamesAtOnceThenTheTextFromTheTable)
{
    Open(SimpleEntry("solve", "an equation") + SimpleEntry("linsolve", "solves a linear system") +
         SimpleEntry("plot", "draws what solve found"));
    const auto names = std::make_shared<const CommandNames>(window.commandList);
    RankedSearch search(names, u"solve");
    EXPECT_EQ(search.Results().size(), 2u); // solve, linsolve: the names
    EXPECT_FALSE(search.Continue());        // nothing to rank without a table
    const std::shared_ptr<const WordTable> table = BuildWordTable(file, names);
    ASSERT_NE(table, nullptr);
    const std::size_t reads = file.ReadCount();
    search.ReadTable(table);
    while (!search.Continue()) {
    }
    EXPECT_EQ(file.ReadCount(), reads);
    EXPECT_EQ(search.Results().size(), 3u);
}

// A large reference's names are matched in two halves at once: a name in either half is found, and they rank as one.
TEST_F(RankedSearchTest, NamesOfALargeReferenceMatchInBothHalves)
{
    std::string bytes = SimpleEntry("aaa_solver") + SimpleEntry("zzz_solver") + SimpleEntry("mmm_solvers");
    for (int each = 0; each < 9000; ++each) {
        bytes += SimpleEntry("cmd" + std::to_string(each));
    }
    Open(bytes);
    const auto names = std::make_shared<const CommandNames>(window.commandList);
    Names found;
    for (const RankedResult &result : RankedSearch(names, u"solver").Results()) {
        found.push_back(Narrow(window.commandList.GetText(result.item)));
    }
    EXPECT_EQ(found, (Names{"aaa_solver", "zzz_solver", "mmm_solvers"}));
}

// The most entries a list holds, every description the same word: every entry is a result, once, shorter names
// first, then the list's order; a near spelling of the word and a word none holds find them all the same way.
TEST_F(RankedSearchTest, EveryEntryOfAFullListHoldingTheSameWord)
{
    std::string bytes;
    for (std::size_t each = 0; each < kMaxEntries; ++each) {
        bytes += SimpleEntry("c" + std::to_string(each), "same");
    }
    Open(bytes);
    ASSERT_EQ(window.commandList.GetCount(), static_cast<int>(kMaxEntries));
    for (const std::u16string query : {u"same", u"smae", u"same nowhere"}) {
        const RankedResults found = Search(query);
        ASSERT_EQ(found.results.size(), kMaxEntries) << Narrow(query);
        EXPECT_EQ(found.mostWords, query == u"same nowhere") << Narrow(query);
        for (std::size_t i = 1; i < found.results.size(); ++i) {
            const RankedResult &before = found.results[i - 1];
            const RankedResult &after = found.results[i];
            ASSERT_TRUE(before.nameLength < after.nameLength ||
                        (before.nameLength == after.nameLength && before.item < after.item))
                << Narrow(query) << " at " << i;
        }
    }
}

// A window's search ranks a large reference a part at a time, each part a run in order, then merges the runs: it ends
// with the results a search at once gives, in the same order, for words held by few entries or by nearly all.
TEST_F(RankedSearchTest, RankingInPartsGivesTheResultsOfTheWholeAtOnce)
{
    const std::vector<std::string> vocabulary = {"prime", "matrix", "solve", "integral", "series", "plot", "roots"};
    std::string bytes;
    for (std::size_t each = 0; each < 10000; ++each) {
        std::string description;
        for (std::size_t word = 0; word < 1 + each % 5; ++word) {
            description += vocabulary[(each * 7 + word * 3) % vocabulary.size()] + " ";
        }
        bytes += SimpleEntry("c" + std::to_string(each * 7919 % 10007), description);
    }
    Open(bytes);
    const auto names = std::make_shared<const CommandNames>(window.commandList);
    const std::shared_ptr<const WordTable> table = BuildWordTable(file, names);
    ASSERT_NE(table, nullptr);
    for (const std::u16string query : {u"prime", u"matrix roots", u"c1", u"plot seres", u"e"}) {
        RankedSearch search(names, query);
        search.ReadTable(table);
        while (!search.Continue()) {
        }
        const RankedResults atOnce = Search(query);
        EXPECT_EQ(search.Results(), atOnce.results) << Narrow(query);
        EXPECT_EQ(search.MostWords(), atOnce.mostWords) << Narrow(query);
        EXPECT_FALSE(atOnce.results.empty()) << Narrow(query);
        // The same from a list just scanned, which the reader of the text reads before its items are sorted, as a
        // terminal's list is.
        platform::SortedListBox scanned;
        BuildIndex(file, scanned);
        const std::optional<RankedResults> unsorted = FindRanked(file, scanned, query);
        ASSERT_TRUE(unsorted.has_value());
        EXPECT_EQ(unsorted->results, atOnce.results) << Narrow(query);
    }
}

// What the user may type: nothing, punctuation alone, one letter, many words, a long text, characters the code page
// lacks. The results stand in order, each an item once, and the search ends.
TEST_F(RankedSearchTest, AnyQueryEndsWithResultsInOrder)
{
    Open(SimpleEntry("+", "adds") + SimpleEntry("alpha", "a b c d e f g h") + SimpleEntry("c++", "a language"));
    const std::u16string sixteen = u"a b c d e f g h a b c d e f g h x y z";
    for (const std::u16string &query :
         {std::u16string(), std::u16string(u"   "), std::u16string(u"+"), std::u16string(u"((!))"),
          std::u16string(u"a"), sixteen, std::u16string(200, u'a'), std::u16string(300, u'\u4e00'),
          std::u16string(u"\xd800 \xdfff a")}) {
        const RankedResults found = Search(query);
        std::vector<bool> seen(static_cast<std::size_t>(window.commandList.GetCount()), false);
        for (const RankedResult &result : found.results) {
            ASSERT_FALSE(seen[static_cast<std::size_t>(result.item)]) << Narrow(query);
            seen[static_cast<std::size_t>(result.item)] = true;
        }
    }
    EXPECT_EQ(Ranked(u"+"), Names{"+"}); // no word at all: the names as typed
    EXPECT_EQ(First(u"c++", 1), Names{"c++"});
    EXPECT_TRUE(Ranked(u"").empty());
    EXPECT_EQ(Ranked(sixteen), Names{"alpha"}); // the words past the sixteenth, which it lacks, do not count
}

// The ranking's floor: the judged queries of the bundled sample (bench/relevance/judged/sample.tsv), each answered by
// the ranked results as the terminal prints them. A change of the ranking that loses the right command breaks it.
TEST_F(RankedSearchTest, JudgedQueriesOfTheSampleStayAnswered)
{
    if (!WordForms::Available()) {
        GTEST_SKIP() << "built without Snowball's stemmer (the Windows core): the judged word forms need it";
    }
    std::ifstream sample(KORVA_SAMPLE_DATA, std::ios::binary);
    Open(std::string(std::istreambuf_iterator<char>(sample), {}));
    std::ifstream judged(KORVA_JUDGED_SAMPLE);
    ASSERT_TRUE(judged.is_open());
    double reciprocalRanks = 0;
    int queries = 0;
    int first = 0;
    for (std::string line; std::getline(judged, line);) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string query = line.substr(0, line.find('\t'));
        std::string answers = line.substr(query.size() + 1);
        answers = "|" + answers.substr(0, answers.find('\t')) + "|";
        const Names found = Ranked(U16(query));
        const auto answer = std::find_if(found.begin(), found.end(), [&answers](const std::string &name) {
            return answers.find("|" + name + "|") != std::string::npos;
        });
        const std::size_t rank = static_cast<std::size_t>(answer - found.begin()) + 1;
        reciprocalRanks += answer == found.end() ? 0.0 : 1.0 / static_cast<double>(rank);
        first += rank == 1 ? 1 : 0;
        ++queries;
        EXPECT_LE(rank, 3u) << query; // every answer among the first three
    }
    ASSERT_GE(queries, 40);
    EXPECT_GE(static_cast<double>(first) / queries, 0.95);
    EXPECT_GE(reciprocalRanks / queries, 0.97);
}

} // namespace
} // namespace korva::helpdata::testing
