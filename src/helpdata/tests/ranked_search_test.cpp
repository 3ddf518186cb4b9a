// SPDX-License-Identifier: MIT
// Finding a command without knowing its name: what matches, in which order, and where the file's bytes end.
#include "engine_fixture.h"
#include "helpdata/match_fold.h"
#include "helpdata/ranked_search.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace korva::helpdata::testing {
namespace {

using Found = std::vector<std::pair<std::string, MatchClass>>;
constexpr auto kName = MatchClass::NameIsWord;
constexpr auto kBegins = MatchClass::NameBegins;
constexpr auto kHolds = MatchClass::NameHolds;
constexpr auto kNear = MatchClass::NameNear;
constexpr auto kDescription = MatchClass::Description;
constexpr auto kRest = MatchClass::Rest;

class RankedSearchTest : public EngineTest
{
protected:
    // Each result for `query` as (name, class), best first.
    Found Ranked(std::u16string_view query)
    {
        const CommandNames names(window.commandList);
        const auto results = FindRanked(file, names, query);
        EXPECT_TRUE(results.has_value());
        Found found;
        for (const RankedResult &result : results.value_or(std::vector<RankedResult>{})) {
            std::array<char, kIndexNameBufferSize> name;
            const std::size_t length = platform::WideToAnsi(window.commandList.GetText(result.item), name);
            found.emplace_back(std::string(name.data(), length), result.matchClass);
        }
        return found;
    }

    std::vector<std::string> Names(std::u16string_view query)
    {
        std::vector<std::string> names;
        for (const auto &[name, matched] : Ranked(query)) {
            names.push_back(name);
        }
        return names;
    }
};

// Every class, each in its place: the name first, then the description, then the rest of the entry.
TEST_F(RankedSearchTest, ClassesStandInTheirOrder)
{
    Open(SimpleEntry("gcd", "greatest common divisor", {}, {"gcd(prime, 2)  = 1"}) +
         SimpleEntry("totient", "counts the numbers coprime to n") + SimpleEntry("nextprime") +
         SimpleEntry("factor", "splits an integer into prime factors") + SimpleEntry("isprime") +
         SimpleEntry("prim", "a spanning tree") + SimpleEntry("primefactors") + SimpleEntry("prime") +
         SimpleEntry("pxrxixmxe", "holds its letters in order"));
    EXPECT_EQ(Ranked(u"prime"), (Found{{"prime", kName},
                                       {"primefactors", kBegins},
                                       {"isprime", kHolds}, // a word of the name begins with it, or the name holds it
                                       {"nextprime", kHolds},
                                       {"prim", kNear}, // one edit away
                                       {"pxrxixmxe", kNear},
                                       {"factor", kDescription},  // a whole word of its description
                                       {"totient", kDescription}, // part of one: "coprime"
                                       {"gcd", kRest}}));
}

TEST_F(RankedSearchTest, TyposAndAbbreviationsFindTheName)
{
    Open(SimpleEntry("solve", "solves an equation") + SimpleEntry("factor", "splits a polynomial") +
         SimpleEntry("sv", "short") + SimpleEntry("sort", "orders a list"));
    EXPECT_EQ(Names(u"slove"), std::vector<std::string>{"solve"});  // two letters swapped
    EXPECT_EQ(Names(u"solvr"), std::vector<std::string>{"solve"});  // one changed
    EXPECT_EQ(Names(u"factr"), std::vector<std::string>{"factor"}); // one dropped, and its letters in order
    EXPECT_EQ(Names(u"fctr"), std::vector<std::string>{"factor"});  // its letters in order
    // Two letters are too few to be near anything: only names that hold them.
    EXPECT_EQ(Names(u"sv"), std::vector<std::string>{"sv"});
}

// Several words: an entry that holds every word, in its name or its text, ranked by the best class any reaches.
TEST_F(RankedSearchTest, SeveralWordsMustEachBeHeld)
{
    Open(SimpleEntry("factor", "splits into prime factors") + SimpleEntry("primefactors", "lists them") +
         SimpleEntry("isprime", "tests a number") + SimpleEntry("expand", "multiplies out, factor by factor"));
    EXPECT_EQ(Ranked(u"prime factor"), (Found{{"factor", kName}, {"primefactors", kBegins}}));
    EXPECT_EQ(Ranked(u"  factor   prime "), Ranked(u"prime factor")); // spaces between words do not count
    EXPECT_EQ(Ranked(u"number test"), (Found{{"isprime", kDescription}}));
    EXPECT_TRUE(Ranked(u"prime absent").empty());
}

TEST_F(RankedSearchTest, CaseAndAccentsAreIgnored)
{
    Open(SimpleEntry("m\xf6"
                     "bius",
                     "the M\xf6"
                     "bius function") +
         SimpleEntry("Cauchy", "CAF\xc9 au lait") +
         SimpleEntry("abs", "\x8a"
                            "ome \xc0 la carte"));
    for (const std::u16string_view query : {u"mobius", u"M\u00d6BIUS", u"mo\u0308bius", u"M\u00f6bius"}) {
        EXPECT_EQ(Ranked(query), (Found{{"m\xf6"
                                         "bius",
                                         kName}}))
            << Narrow(std::u16string(query));
    }
    EXPECT_EQ(Ranked(u"cafe"), (Found{{"Cauchy", kDescription}}));
    EXPECT_EQ(Ranked(u"cauchy"), (Found{{"Cauchy", kName}}));
    EXPECT_EQ(Ranked(u"some a"), (Found{{"abs", kBegins}}));
    // A character the code page lacks: no entry can hold the word.
    EXPECT_TRUE(Ranked(u"\u03c0").empty());
    EXPECT_TRUE(Ranked(u"mobius \u03c0").empty());
}

// Lines of kind "1" and "3" are never matched, nor what the entry view does not show: the second line, the lines
// between the fourth and the parameters, the see-also lines.
TEST_F(RankedSearchTest, OnlyWhatTheEntryViewShowsIsMatched)
{
    Open(Entry("alpha",
               {"1 hidden", "2 a", "3 hidden", "x hidden", "0 alpha(x)", "-> hidden", "1 + hidden", "ok visible"}) +
         Entry("beta", {"x hidden", "2 b", "0 not the parameters", "x hidden", "0 beta(y)", "3 hidden"}) +
         SimpleEntry("hidden2", "named so"));
    EXPECT_EQ(Ranked(u"hidden"), (Found{{"hidden2", kBegins}}));
    EXPECT_EQ(Ranked(u"visible"), (Found{{"alpha", kRest}}));
    EXPECT_EQ(Ranked(u"parameters"), Found{}); // the fourth line is never the parameters line
    EXPECT_EQ(Ranked(u"y"), (Found{{"beta", kRest}}));
}

// Within a class: a whole word before part of one, then shorter names, then the list's order.
TEST_F(RankedSearchTest, TiesGoToShorterNamesThenTheListsOrder)
{
    Open(SimpleEntry("zeta", "a series") + SimpleEntry("beta", "a series") + SimpleEntry("alpha", "a series") +
         SimpleEntry("eta", "a series") + SimpleEntry("delta", "the subseries") + SimpleEntry("ab", "serieses"));
    EXPECT_EQ(Names(u"series"), (std::vector<std::string>{"eta", "beta", "zeta", "alpha", "ab", "delta"}));
}

// An entry the entry view cannot show is found by its name, never by text it would not show.
TEST_F(RankedSearchTest, EntryThatCannotBeShownIsFoundByItsNameOnly)
{
    Open(Entry("broken", {"1 a", "x third line not a description", "3 c", "0 broken(x)"}) +
         SimpleEntry("whole", "third line"));
    EXPECT_EQ(Ranked(u"broken"), (Found{{"broken", kName}}));
    EXPECT_EQ(Ranked(u"third"), (Found{{"whole", kDescription}}));
}

// The names' classes are there before any text is read, and the search reads the file a budget at a time.
TEST_F(RankedSearchTest, NamesFirstThenTheTextABudgetAtATime)
{
    std::string bytes;
    for (int i = 0; i < 2000; ++i) {
        bytes += SimpleEntry(std::string("c").append(std::to_string(i)),
                             i % 500 == 0 ? "holds the key" : std::string(300, 'w'));
    }
    Open(bytes + SimpleEntry("key"));
    const auto names = std::make_shared<const CommandNames>(window.commandList);
    RankedSearch search(names, u"key");
    const std::size_t reads = file.ReadCount();
    EXPECT_EQ(search.Results().size(), 1u); // the name "key", read from the list
    EXPECT_EQ(file.ReadCount(), reads);
    EXPECT_FALSE(search.Continue(file, 1));
    EXPECT_EQ(file.ReadCount(), reads + 1); // one block at least
    while (!search.Continue(file, 1)) {
    }
    EXPECT_EQ(search.Results().size(), 5u);
    EXPECT_FALSE(search.Stale());
}

// Where the search reads the file a block at a time: every entry that a block's end cuts, and every match it cuts, is
// read whole in the next block; the file's last entry is read to its last byte.
TEST_F(RankedSearchTest, BlockBoundariesCutNoEntryAndNoMatch)
{
    std::string bytes;
    std::vector<std::string> expected = {"last"}; // the shortest name: first among equals
    for (int i = 0; bytes.size() < std::size_t{3} * RankedSearch::kBlockBytes; ++i) {
        const std::string name = std::string("c").append(std::to_string(100000 + i));
        // Entries of 700 to 1300 bytes, the key at the end of every third one's description.
        std::string description(600 + (i * 37) % 600, 'w');
        if (i % 3 == 0) {
            description += " needle";
            expected.push_back(name);
        }
        bytes += SimpleEntry(name, description);
    }
    Open(bytes + "# last\n1\n2 the needle\n"); // without its closing blank line
    EXPECT_EQ(Names(u"needle"), expected);
}

// The folded names stand in blocks of 64 KiB: a name at a block's end and one in the next are found whole.
TEST_F(RankedSearchTest, NamesAcrossTheNamesBlocks)
{
    std::string bytes;
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i) { // 2000 names of 45 bytes: more than one block of names
        names.push_back(std::string("n").append(std::to_string(10000 + i)).append(39, 'x'));
        bytes += SimpleEntry(names.back(), "d");
    }
    Open(bytes);
    for (const int i : {0, 1455, 1456, 1999}) {
        const std::string &name = names[static_cast<std::size_t>(i)];
        const Found found = Ranked(std::u16string(name.begin(), name.end()));
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front(), (std::pair{name, kName})) << i; // the names one digit away follow it
    }
}

// A file changed under the search: nothing it found is shown, and a search of the list built anew finds the new
// content.
TEST_F(RankedSearchTest, ChangedFileMakesTheSearchStale)
{
    Open(SimpleEntry("alpha", "old key") + SimpleEntry("beta", "nothing"));
    const auto names = std::make_shared<const CommandNames>(window.commandList);
    RankedSearch search(names, u"key");
    file.SetBytes(SimpleEntry("beta", "new key") + SimpleEntry("alpha", "nothing"));
    EXPECT_TRUE(search.Continue(file, 1));
    EXPECT_TRUE(search.Stale());
    EXPECT_TRUE(search.Results().empty());

    ASSERT_TRUE(RebuildIndexIfChanged(context));
    EXPECT_EQ(Ranked(u"key"), (Found{{"beta", kDescription}}));
}

// The folded search finds a word at every place of a text, sixteen at a time or one by one at its end, whatever case
// and accents its first and last letters carry.
TEST(FindFolded, EveryPlaceEveryCaseAndAccent)
{
    for (const std::string written : {"sOlvE", "\xc9tale", "caf\xc9", "x"}) {
        std::string folded;
        for (const char c : written) {
            folded += static_cast<char>(kMatchFold[static_cast<unsigned char>(c)]);
        }
        for (std::size_t place = 0; place + written.size() <= 40; ++place) {
            std::string text(40, '.');
            text.replace(place, written.size(), written);
            EXPECT_EQ(FindFolded(text, folded), place) << written << " at " << place;
            EXPECT_EQ(FindFolded(text, folded, place + 1), std::string_view::npos) << written << " at " << place;
        }
    }
    EXPECT_EQ(FindFolded("solv", "solve"), std::string_view::npos);
    EXPECT_EQ(FindFolded(std::string(64, 'S') + "olv" + "e", "solve"), 63u);
}

TEST_F(RankedSearchTest, EmptyQueryAndEmptyFileFindNothing)
{
    Open(SimpleEntry("alpha"));
    EXPECT_TRUE(Ranked(u"").empty());
    EXPECT_TRUE(Ranked(u"   ").empty());
    Open("");
    EXPECT_TRUE(Ranked(u"alpha").empty());
}

} // namespace
} // namespace korva::helpdata::testing
