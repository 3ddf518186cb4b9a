// SPDX-License-Identifier: MIT
#include "engine_fixture.h"

#include <random>

namespace korva::helpdata::testing {

using namespace std::string_literals;
namespace {

class TextSearch : public EngineTest
{
protected:
    // Taps until the pass ends; the names reported, in order. Fails when the pass does not end within `limit` taps.
    std::vector<std::string> WholePass(std::size_t limit = 100)
    {
        std::vector<std::string> reported;
        const std::size_t messages = window.messages.size();
        for (std::size_t tap = 0; tap < limit; ++tap) {
            window.commandList.SetCurSel(platform::kNoItem);
            Tap();
            if (window.messages.size() > messages) {
                EXPECT_EQ(window.messages.back(), u"Search completed");
                EXPECT_EQ(window.findCaption, u"Find");
                return reported;
            }
            EXPECT_EQ(window.findCaption, u"Next");
            reported.push_back(Selected());
        }
        ADD_FAILURE() << "the pass did not end";
        return reported;
    }
};

TEST_F(TextSearch, FirstTapTurnsTheCaptionToNext)
{
    Open(SimpleEntry("solve", "finds roots"));
    EXPECT_EQ(window.findCaption, u"Find");
    Type(u"roots");
    Tap();
    EXPECT_EQ(window.findCaption, u"Next");
    EXPECT_EQ(Selected(), "solve");
    EXPECT_EQ(EntryText(), u"finds roots\r\n\r\nParams:solve(x)");
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(TextSearch, TapWithNothingHoldingTheTextEndsThePassInTheSameTap)
{
    Open(SimpleEntry("solve"));
    Type(u"absent");
    Tap();
    EXPECT_EQ(window.findCaption, u"Find");
    EXPECT_EQ(window.messages, (std::vector<std::u16string>{u"Search completed"}));
    EXPECT_EQ(window.commandList.GetCurSel(), platform::kNoItem);
}

TEST_F(TextSearch, EmptySearchTextDoesNothing)
{
    Open(SimpleEntry("solve"));
    const std::size_t reads = file.ReadCount();
    Tap();
    EXPECT_EQ(window.findCaption, u"Find");
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(file.ReadCount(), reads);
}

TEST_F(TextSearch, OnlyTheFirstFortyNineCharactersAreSearched)
{
    const std::string first49(49, 'k');
    Open(SimpleEntry("solve", first49 + "Z"));
    Type(U16(first49 + std::string(11, 'y')));
    Tap();
    EXPECT_EQ(Selected(), "solve");
    EXPECT_EQ(window.entryText.found, (std::vector<platform::TextRange>{{0, 49}}));
}

// Marked where the entry's own text holds it, each place once: in the description, the synopsis and the example lines
// that Find searches; never in the headings between them, nor in an example line of kind "3".
TEST_F(TextSearch, EntryShownIsMarkedWhereItsTextHoldsTheText)
{
    Open(Entry("solve", {"1 c", "2 Par Parx", "3 c", "0 Par(x)", "Par(1)  Par", "3 Par", "ParPar"}));
    Type(u"Par");
    Tap();
    ASSERT_EQ(EntryText(), u"Par Parx\r\n\r\nParams:Par(x)\r\n\r\nExamples:\r\nPar(1)  Par\r\n3 Par\r\nParPar\r\n");
    EXPECT_EQ(window.entryText.found,
              (std::vector<platform::TextRange>{{0, 3}, {4, 3}, {19, 3}, {40, 3}, {48, 3}, {60, 3}, {63, 3}}));
    // Shown any other way, the entry has no marks.
    ShowSelectedEntry(context);
    EXPECT_TRUE(window.entryText.found.empty());
}

// Text found in an entry's related commands is marked there: each name offered that holds it, capitals counting; never
// a name the list does not offer.
TEST_F(TextSearch, RelatedCommandsThatHoldTheTextAreMarked)
{
    Open(SimpleEntry("cross", "of two vectors", {"matrix", "Matrix", "dot", "matrices", "to_matrix", "matrixless"}) +
         SimpleEntry("matrix") + SimpleEntry("Matrix") + SimpleEntry("dot") + SimpleEntry("to_matrix"));
    Type(u"matrix");
    Tap();
    ASSERT_EQ(Selected(), "cross");
    EXPECT_TRUE(window.entryText.found.empty());
    EXPECT_EQ(window.seeAlso.found, (std::vector<std::u16string>{u"matrix", u"to_matrix"}));
    // Shown any other way, nothing is marked.
    ShowSelectedEntry(context);
    EXPECT_TRUE(window.seeAlso.found.empty());
}

TEST_F(TextSearch, TextOnlyInLinesOfKindOneOrThreeIsNeverReported)
{
    Open(Entry("solve", {"1 hidden", "2 d", "3 hidden", "0 p", "1 hidden in an example", "3 hidden"}) +
         Entry("abs", {"hidden second line", "2 d", "3 c", "0 p"}));
    Type(u"hidden");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"abs"}));
}

TEST_F(TextSearch, EntryHoldingTheTextSeveralTimesIsReportedOncePerPass)
{
    Open(SimpleEntry("solve", "x x x", {}, {"x", "x"}) + SimpleEntry("abs", "x"));
    Type(u"x");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"solve", "abs"}));
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"solve", "abs"}));
}

TEST_F(TextSearch, TextEqualToACommandNameIsReportedThroughItsHeaderUnlessAnEarlierEntryHoldsIt)
{
    Open(SimpleEntry("abs") + SimpleEntry("roots", "see factor") + SimpleEntry("factor") + SimpleEntry("gcd"));
    Type(u"gcd");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"gcd"}));
    Type(u"factor");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"roots", "factor"}));
}

// Find selects the item of the entry that holds the text, found by its offset: never another entry of the same name,
// nor one whose name differs only in case, whose text does not hold it.
TEST_F(TextSearch, MatchShowsTheEntryThatHoldsItWhateverNameItShares)
{
    Open(SimpleEntry("zeta", "first") + SimpleEntry("zeta", "second holds it"));
    Type(u"holds");
    Tap();
    EXPECT_EQ(window.commandList.GetCurSel(), 1);
    EXPECT_EQ(EntryText(), u"second holds it\r\n\r\nParams:zeta(x)");

    Open(SimpleEntry("adjoint", "of an operator") + SimpleEntry("Adjoint", "of a matrix") + SimpleEntry("Add", "sums") +
         SimpleEntry("add", "a matrix sum"));
    Type(u"matrix");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"Adjoint", "add"}));
}

TEST_F(TextSearch, EntriesAreReportedInFileOrderNotListOrder)
{
    Open(SimpleEntry("zeta", "common") + SimpleEntry("abs", "common") + SimpleEntry("mod", "common"));
    Type(u"common");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"zeta", "abs", "mod"}));
}

TEST_F(TextSearch, TinyFinalEntryIsSearched)
{
    // A full first chunk whose last blank line leaves a final entry of 20 bytes or less for the next read.
    const std::string head = SimpleEntry("head");
    std::string bytes = head.substr(0, head.size() - 1) + std::string(2000 - head.size() - 12, 'f') + "\n\n";
    bytes += "# t\nx\n2 key\n\n";
    ASSERT_LT(bytes.size(), 2000u + 20u);
    Open(bytes);
    Type(u"key");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"t"}));
}

TEST_F(TextSearch, MatchesBeforeTheFirstHeaderAreNotReported)
{
    Open("key in the preamble\n\n" + SimpleEntry("solve", "no") + SimpleEntry("abs", "key"));
    Type(u"key");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"abs"}));
}

TEST_F(TextSearch, TypingDuringAPassResetsTheCaptionAndTheNextTapStartsOver)
{
    Open(SimpleEntry("solve", "key") + SimpleEntry("abs", "key"));
    Type(u"key");
    Tap();
    Tap();
    EXPECT_EQ(Selected(), "abs");
    Type(u"ke");
    EXPECT_EQ(window.findCaption, u"Find");
    Tap();
    EXPECT_EQ(Selected(), "solve");
    EXPECT_EQ(window.findCaption, u"Next");
}

TEST_F(TextSearch, ChoosingACommandByHandDoesNotMoveTheSearch)
{
    Open(SimpleEntry("a1", "key", {"c3"}) + SimpleEntry("b2", "key") + SimpleEntry("c3", "key"));
    Type(u"key");
    Tap();
    EXPECT_EQ(Selected(), "a1");
    Select("c3");
    window.seeAlso.Pick(0);
    Tap();
    EXPECT_EQ(Selected(), "b2");
}

TEST_F(TextSearch, AfterSearchCompletedTheNextTapStartsANewPass)
{
    Open(SimpleEntry("solve", "key"));
    Type(u"key");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"solve"}));
    Tap();
    EXPECT_EQ(Selected(), "solve");
    EXPECT_EQ(window.findCaption, u"Next");
}

TEST_F(TextSearch, SearchIsCaseSensitiveInTheDataFilesCodePage)
{
    Open(SimpleEntry("solve", "Key") + SimpleEntry("abs", "\x80uro \xe9t\xe9"));
    Type(u"key");
    EXPECT_EQ(WholePass(), std::vector<std::string>{});
    Type(u"\u20acuro \u00e9t\u00e9");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"abs"}));
}

// The file holds one byte a character: a text with a character its code page lacks stands in no entry, though the
// '?' that stands in for that character stands in many.
TEST_F(TextSearch, TextWithACharacterTheCodePageLacksIsHeldByNoEntry)
{
    Open(SimpleEntry("solve", "why? \x80 5\xb0") + SimpleEntry("abs", "no"));
    const struct
    {
        std::u16string typed;
        std::vector<std::string> reported;
    } cases[] = {
        {u"why?", {"solve"}},
        {u"\u20ac 5\u00b0", {"solve"}},
        {u"why\u03c0", {}},
        {u"why\U0001D400", {}},
        {u"why" + std::u16string(1, static_cast<char16_t>(0xD800)), {}}, // a lone surrogate
        {u"?", {"solve"}},
        {u"\u03c0", {}},
    };
    for (const auto &each : cases) {
        Type(each.typed);
        EXPECT_EQ(WholePass(), each.reported) << "for text of " << each.typed.size() << " units";
    }
    // A character beyond the first 49 is not searched for.
    Open(SimpleEntry("solve", "why" + std::string(47, ' ')));
    Type(u"why" + std::u16string(46, u' ') + u"\u03c0");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"solve"}));
}

TEST_F(TextSearch, SearchTextIsCutAtACharacterBoundary)
{
    // 48 units and a surrogate pair: the pair does not fit the 49 units and is left out whole.
    const std::u16string text = std::u16string(48, u'k') + u"\U0001D400";
    Open(SimpleEntry("solve", std::string(48, 'k')));
    Type(text);
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"solve"}));
}

// The list keeps the format's 32768 entries at most; an entry beyond them is not one the list holds.
TEST_F(TextSearch, EntryBeyondTheListsBoundIsPassedOver)
{
    std::string bytes;
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        bytes += "# c" + std::to_string(i) + "\n1\n2 " + (i == 5 ? "key" : "d") + "\n3\n0 p\n\n";
    }
    Open(bytes + SimpleEntry("beyond", "key") + SimpleEntry("c7", "key, but not the listed c7"));
    EXPECT_EQ(window.commandList.GetCount(), static_cast<int>(kMaxEntries));
    EXPECT_EQ(window.commandList.FindString(u"beyond"), platform::kNoItem);
    Type(u"key");
    // The second c7 is no entry of the list: the listed c7, whose text does not hold the key, is never shown for it.
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"c5"}));
}

TEST_F(TextSearch, ChangedFileStartsANewPassOverTheNewContent)
{
    Open(SimpleEntry("alpha", "key") + SimpleEntry("beta", "key"));
    Type(u"key");
    Tap();
    ASSERT_EQ(Selected(), "alpha");
    file.SetBytes(SimpleEntry("gamma", "no") + SimpleEntry("delta", "key") + SimpleEntry("alpha", "key"));
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"delta", "alpha"}));
}

TEST_F(TextSearch, FileThatShrinksDuringAPassEndsIt)
{
    const std::string bytes = SimpleEntry("solve", "key") + SimpleEntry("abs", "key");
    Open(bytes);
    Type(u"key");
    Tap();
    file.SetBytes(bytes.substr(0, 10));
    Tap();
    EXPECT_EQ(window.messages, (std::vector<std::u16string>{u"Search completed"}));
}

TEST_F(TextSearch, EntryLongerThanAChunkDoesNotStopThePass)
{
    Open(SimpleEntry("first", "key") + Entry("huge", {"1 a", "2 d", "3 c", "0 p", std::string(5000, 'h')}) +
         SimpleEntry("last", "key"));
    Type(u"key");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"first", "last"}));
}

TEST_F(TextSearch, FinalEntryWithoutClosingBlankLineIsSearched)
{
    Open(SimpleEntry("first") + "# last\n1 a\n2 key\n0 p");
    Type(u"key");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"last"}));
}

TEST_F(TextSearch, SearchTextEndsAtItsFirstNul)
{
    Open(SimpleEntry("solve", "ab and a\0b"s));
    Type(std::u16string(u"\0ab", 3));
    Tap();
    EXPECT_EQ(window.findCaption, u"Find");
    EXPECT_TRUE(window.messages.empty());
    Type(std::u16string(u"ab\0zz", 5));
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"solve"}));
}

// An entry one byte over the limit: its closing blank line straddles the end of the chunk that holds the rest of
// it. The entry after it must still be found.
TEST_F(TextSearch, BlankLineCutByAChunksEndDoesNotHideTheNextEntry)
{
    const std::string head = "# long\n1 a\n2 d\n3 c\n0 p\n";
    std::string bytes = SimpleEntry("first", "no");
    const std::size_t chunkStart = bytes.size() - 2; // the second chunk starts at first's closing blank line
    bytes += head + std::string(chunkStart + 2000 - 1 - bytes.size() - head.size(), 'e') + "\n";
    ASSERT_EQ(bytes.size(), chunkStart + 2000); // the chunk ends with long's last LF; the blank line's second follows
    bytes += '\n';
    bytes += SimpleEntry("next", "needle") + SimpleEntry("other", "needle");
    Open(bytes);
    Type(u"needle");
    EXPECT_EQ(WholePass(), (std::vector<std::string>{"next", "other"}));
}

TEST_F(TextSearch, PassOverThirtyTwoThousandEntries)
{
    std::vector<int> order(32768);
    for (int i = 0; i < 32768; ++i) {
        order[static_cast<std::size_t>(i)] = i;
    }
    std::mt19937 random(7);
    std::shuffle(order.begin(), order.end(), random);
    std::string bytes;
    std::vector<std::string> expected;
    for (const int i : order) {
        const std::string name = "cmd" + std::to_string(i);
        const bool holds = i % 100 == 0;
        bytes += Entry(name, {"1 key", "2 " + std::string(holds ? "the needle" : "hay"), "3 needle", "0 p"});
        if (holds) {
            expected.push_back(name);
        }
    }
    Open(bytes);
    Type(u"needle");
    EXPECT_EQ(WholePass(expected.size() + 2), expected);
}

} // namespace
} // namespace korva::helpdata::testing
