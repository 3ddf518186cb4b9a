// SPDX-License-Identifier: MIT
// The reference in a terminal: exact bytes of a data file in, exact text and status out.
#include "helpdata/entry_format.h"
#include "helpdata/entry_view.h"
#include "platform/memory/memory_platform.h"
#include "terminal/terminal_reference.h"
#include "test_support/data_entries.h"

#include <algorithm>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace korva::terminal {
namespace {

using korva::testing::Entry;
using korva::testing::SimpleEntry;

struct Answered
{
    int status;
    std::string out;
    std::string err;
    bool operator==(const Answered &) const = default;
};

void PrintTo(const Answered &answered, std::ostream *out)
{
    *out << answered.status << " out: " << ::testing::PrintToString(answered.out)
         << " err: " << ::testing::PrintToString(answered.err);
}

Answered Ask(const std::string &bytes, Request::Kind kind, const std::string &text = {}, Output output = {})
{
    platform::MemoryHelpFile file(bytes);
    std::ostringstream out;
    std::ostringstream err;
    const int status = Respond({kind, text}, file, output, out, err);
    return {status, out.str(), err.str()};
}

const std::string kSample =
    SimpleEntry("solve", "Solves an equation.", {"linsolve"}, {"solve(x^2 = 4, x)  \xbb [-2, 2]"}) +
    SimpleEntry("linsolve", "Solves a linear system.") + SimpleEntry("gamma", "lower") + SimpleEntry("Gamma", "upper") +
    SimpleEntry("gammaln", "its logarithm") + SimpleEntry("caf\xe9", "with an \xe9");

// --print writes the text the window's composer makes of the entry, CR LF as LF, ended with a newline.
TEST(Print, WritesTheEntryAsTheWindowComposesIt)
{
    const Answered solve = Ask(kSample, Request::Kind::Print, "solve");
    EXPECT_EQ(solve.status, kFound);
    EXPECT_EQ(solve.out, "Solves an equation.\n\nParams:solve(x)\n\nExamples:\nsolve(x^2 = 4, x)  \xc2\xbb [-2, 2]\n");
    EXPECT_EQ(solve.err, "");

    // The same composer as the window's: its text with its CR LF as LF.
    const std::string entry = SimpleEntry("solve", "Solves an equation.", {"linsolve"}, {"a", "b"});
    const auto parts = helpdata::ParseEntry(std::string_view(entry).substr(entry.find('\n') + 1));
    ASSERT_TRUE(parts.has_value());
    helpdata::EntryText composed;
    helpdata::ComposeEntryText(*parts, composed);
    std::string expected;
    for (const char16_t unit : composed.View()) {
        if (unit != u'\r') {
            expected += static_cast<char>(unit);
        }
    }
    EXPECT_EQ(Ask(entry, Request::Kind::Print, "solve").out, expected);
    // An entry without examples ends with its parameters, and a newline.
    EXPECT_EQ(Ask(kSample, Request::Kind::Print, "linsolve").out, "Solves a linear system.\n\nParams:linsolve(x)\n");
    EXPECT_EQ(Ask(kSample, Request::Kind::Print, "caf\xc3\xa9").out, "with an \xc3\xa9\n\nParams:caf\xc3\xa9(x)\n");
}

// The command named exactly, else the first named so in another case, else the first that begins with the name.
TEST(Print, NameResolvesExactlyThenInAnyCaseThenAsABeginning)
{
    const auto shown = [](const std::string &name) {
        const std::string out = Ask(kSample, Request::Kind::Print, name).out;
        return out.substr(0, out.find('\n'));
    };
    EXPECT_EQ(shown("Gamma"), "upper");
    EXPECT_EQ(shown("gamma"), "lower"); // though Gamma stands higher in the list
    EXPECT_EQ(shown("GAMMA"), "lower"); // the first of that name in any case, in the list's order
    EXPECT_EQ(shown("gam"), "lower");
    EXPECT_EQ(shown("GAMMAL"), "its logarithm");
}

TEST(Print, NothingFoundSuggestsFromTheRankedResults)
{
    const Answered typo = Ask(kSample, Request::Kind::Print, "slove");
    EXPECT_EQ(typo.status, kNothingFound);
    EXPECT_EQ(typo.out, "");
    EXPECT_EQ(typo.err, "korva-reference: no command is named or begins with 'slove'; did you mean: solve?\n");
    const Answered several = Ask(kSample, Request::Kind::Print, "solves");
    EXPECT_EQ(several.err,
              "korva-reference: no command is named or begins with 'solves'; did you mean: solve, linsolve?\n");
    const Answered none = Ask(kSample, Request::Kind::Print, "zz\x1b[2J");
    EXPECT_EQ(none.status, kNothingFound);
    EXPECT_EQ(none.err, "korva-reference: no command is named or begins with 'zz^[[2J'\n"); // shown, never sent

    std::string many;
    for (const char *name : {"ab1", "ab2", "ab3", "ab4", "ab5", "ab6"}) {
        many += SimpleEntry(name, "holds the key");
    }
    EXPECT_EQ(Ask(many, Request::Kind::Print, "key").err,
              "korva-reference: no command is named or begins with 'key'; did you mean: ab1, ab2, ab3, ab4, ab5?\n");
}

TEST(Print, EntryThatCannotBeShownIsStatusOne)
{
    const Answered broken =
        Ask(Entry("broken", {"1 a", "x not a description", "3 c", "0 broken(x)"}), Request::Kind::Print, "broken");
    EXPECT_EQ(broken.status, kCannotRead);
    EXPECT_EQ(broken.out, "");
    EXPECT_EQ(broken.err, "korva-reference: the entry of 'broken' cannot be shown: the data file breaks its form "
                          "there (korvadoc-check says where)\n");
}

TEST(List, EveryNameOneALineInTheListsOrder)
{
    EXPECT_EQ(Ask(kSample, Request::Kind::List),
              (Answered{kFound, "caf\xc3\xa9\ngamma\nGamma\ngammaln\nlinsolve\nsolve\n", ""}));
    EXPECT_EQ(Ask("", Request::Kind::List), (Answered{kFound, "", ""}));
}

// Names of printable ASCII are written as they stand; one with any other character, as text from the file is.
TEST(List, ControlCharactersInNamesShownOnATerminalOnly)
{
    const std::string names =
        SimpleEntry(" ~", "") + SimpleEntry("a\x1b[2Jb", "") + SimpleEntry("del\x7f", "") + SimpleEntry("euro\x80", "");
    EXPECT_EQ(Ask(names, Request::Kind::List, "", Output{true, 0}).out, " ~\na^[[2Jb\ndel^?\neuro\xe2\x82\xac\n");
    EXPECT_EQ(Ask(names, Request::Kind::List).out, " ~\na\x1b[2Jb\ndel\x7f\neuro\xe2\x82\xac\n");
}

TEST(Apropos, RankedResultsAsNameAndDescriptionCutOnlyOnATerminal)
{
    const Answered solves = Ask(kSample, Request::Kind::Apropos, "solve");
    EXPECT_EQ(solves.status, kFound);
    EXPECT_EQ(solves.out, "solve - Solves an equation.\nlinsolve - Solves a linear system.\n");
    const Answered cut = Ask(kSample, Request::Kind::Apropos, "solve", {true, 12});
    EXPECT_EQ(cut.out, "solve - Solv\nlinsolve - S\n");
    const Answered accented = Ask(kSample, Request::Kind::Apropos, "cafe", {true, 9});
    EXPECT_EQ(accented.out, "caf\xc3\xa9 - wi\n"); // nine characters, whatever their bytes

    const Answered nothing = Ask(kSample, Request::Kind::Apropos, "qqqq");
    EXPECT_EQ(nothing.status, kNothingFound);
    EXPECT_EQ(nothing.out, "");
    EXPECT_EQ(nothing.err, "korva-reference: nothing found for 'qqqq'\n");
}

// A data file must not drive the terminal that shows it: its control characters are shown there, and sent as they are
// into a pipe.
TEST(Output, ControlCharactersAreShownOnATerminalOnly)
{
    const std::string bytes = SimpleEntry("bell", "rings \x07 and \x1b[31m red \x81 and\ttab");
    EXPECT_EQ(Ask(bytes, Request::Kind::Print, "bell", {true, 80}).out,
              "rings ^G and ^[[31m red M-^A and\ttab\n\nParams:bell(x)\n");
    EXPECT_EQ(Ask(bytes, Request::Kind::Print, "bell").out,
              "rings \x07 and \x1b[31m red \xc2\x81 and\ttab\n\nParams:bell(x)\n");
    EXPECT_EQ(Ask(bytes, Request::Kind::Apropos, "rings", {true, 0}).out,
              "bell - rings ^G and ^[[31m red M-^A and\ttab\n");
    EXPECT_EQ(Utf8(u"a\rb\x7f\xd800", true), "a^Mb^?\xef\xbf\xbd");
}

// Lines are cut to the columns a terminal shows them in: a tab reaches the next tab stop, a shown control character
// takes a column a letter and is never cut in two.
TEST(Apropos, LinesAreCutToTheColumnsATerminalShows)
{
    const std::string bytes = SimpleEntry("t", "x\tyz") + SimpleEntry("c", "a\x1b"
                                                                           "b\x81"
                                                                           "cd");
    const auto cut = [&bytes](const char *query, std::size_t columns) {
        return Ask(bytes, Request::Kind::Apropos, query, {true, columns}).out;
    };
    EXPECT_EQ(cut("yz", 9), "t - x\ty\n"); // "t - x" is five columns, the tab three more
    EXPECT_EQ(cut("yz", 8), "t - x\t\n");
    EXPECT_EQ(cut("yz", 7), "t - x\n");
    EXPECT_EQ(cut("cd", 7), "c - a^[\n");
    EXPECT_EQ(cut("cd", 6), "c - a\n");     // not "c - a^"
    EXPECT_EQ(cut("cd", 11), "c - a^[b\n"); // "M-^A" takes four columns: it does not fit in the three left
    EXPECT_EQ(cut("cd", 12), "c - a^[bM-^A\n");
    EXPECT_EQ(cut("cd", 13), "c - a^[bM-^Ac\n"); // the letters after them cut as the letters before
}

// --apropos writes its lines a block at a time from the places its search recorded, never holding them all; a change
// of the file found once lines were written ends it with status 1, and what was written stands.
TEST(Apropos, FileChangedAfterLinesWereWrittenEndsWithStatusOne)
{
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
        bytes += SimpleEntry("k" + std::to_string(10000 + i), "holds the key");
    }
    platform::MemoryHelpFile whole(bytes);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(Respond({Request::Kind::Apropos, "key"}, whole, {}, out, err), kFound);
    const std::string lines = out.str();
    ASSERT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3000);

    // The descriptions are read last, a block of results at a time: the last block's (the entries of k12048 to
    // k12999, which stand together in the file) in one read, the first block's in the reads before.
    platform::MemoryHelpFile changing(bytes);
    changing.ChangeAtRead(whole.ReadCount());
    std::ostringstream written;
    std::ostringstream said;
    EXPECT_EQ(Respond({Request::Kind::Apropos, "key"}, changing, {}, written, said), kCannotRead);
    const std::string first = written.str();
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 2048); // the first block
    EXPECT_EQ(first, lines.substr(0, first.size()));
    EXPECT_EQ(said.str(), "korva-reference: the data file changed while the results were written; the lines "
                          "written stand, the rest were not written\n");

    // A change before any line is written: the file is read again, and every line written once.
    platform::MemoryHelpFile early(bytes);
    early.ChangeAtRead(whole.ReadCount() - 1);
    std::ostringstream again;
    std::ostringstream quiet;
    EXPECT_EQ(Respond({Request::Kind::Apropos, "key"}, early, {}, again, quiet), kFound);
    EXPECT_EQ(again.str(), lines);
    EXPECT_EQ(quiet.str(), "");
}

// The descriptions of a block are read in file order, those close together in one read, and each line still gets its
// own: results in another order than their entries', which stand far apart, close together and next to each other.
TEST(Apropos, EachLineHasItsOwnDescriptionWhereverItsEntryStands)
{
    const auto name = [](int i) { return "w" + std::to_string(100 + i); };
    const auto description = [](int i) { return "wanted number " + std::to_string(i); };
    std::string bytes;
    const std::string padding(40000, 'p'); // an example line far longer than a read across entries
    for (int k = 0; k < 60; ++k) {
        const int i = k * 37 % 60; // the file in another order than the names'
        bytes += SimpleEntry(name(i), description(i), {},
                             k % 7 == 3 ? std::vector<std::string>{padding} : std::vector<std::string>{});
    }
    std::string expected;
    for (int i = 0; i < 60; ++i) {
        expected += name(i) + " - " + description(i) + "\n";
    }
    const Answered found = Ask(bytes, Request::Kind::Apropos, "wanted");
    EXPECT_EQ(found.status, kFound);
    EXPECT_EQ(found.out, expected);
}

TEST(Apropos, NoEntryHoldingEveryWordSaysSoAndEndsZero)
{
    const Answered closest = Ask(kSample, Request::Kind::Apropos, "equation qqqqzz");
    EXPECT_EQ(closest.status, kFound);
    EXPECT_EQ(closest.out, "solve - Solves an equation.\n");
    EXPECT_EQ(closest.err, "korva-reference: no command holds all of these words; 1 closest\n");
}

TEST(Output, FileThatKeepsChangingWhileReadIsStatusOne)
{
    platform::MemoryHelpFile file(kSample);
    file.SetChangingWhileRead(true);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(Respond({Request::Kind::List, {}}, file, {}, out, err), kCannotRead);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "korva-reference: the data file kept changing while it was read\n");
}

} // namespace
} // namespace korva::terminal
