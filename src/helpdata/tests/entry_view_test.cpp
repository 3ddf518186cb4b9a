// SPDX-License-Identifier: MIT
#include "engine_fixture.h"

#include <algorithm>

namespace korva::helpdata::testing {
namespace {

class EntryView : public EngineTest
{};

TEST_F(EntryView, EntryWithoutSeeAlsoOrExamples)
{
    Open(Entry("solve", {"1 algebra", "2 Solves equations.", "3 since 1.0", "0 solve(eqns, vars)"}));
    Select("solve");
    EXPECT_EQ(EntryText(), u"Solves equations.\r\n\r\nParams:solve(eqns, vars)");
    EXPECT_TRUE(SeeAlso().empty());
    EXPECT_FALSE(window.seeAlsoEnabled);
}

TEST_F(EntryView, TwoExampleLinesEachEndInCrLf)
{
    Open(Entry("solve", {"1 a", "2 Solves.", "3 c", "0 solve(e)", "solve(x = 1)", "solve(x^2 = 4, x)"}));
    Select("solve");
    EXPECT_EQ(EntryText(), u"Solves.\r\n\r\nParams:solve(e)\r\n\r\nExamples:\r\nsolve(x = 1)\r\nsolve(x^2 = 4, x)\r\n");
}

TEST_F(EntryView, SeeAlsoNamesThatTheListFindsAreOfferedInSortedOrder)
{
    Open(SimpleEntry("solve", "d", {"roots", "absent", "Factor", "nothere"}) + SimpleEntry("factor") +
         SimpleEntry("roots"));
    Select("solve");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"Factor", u"roots"}));
    EXPECT_TRUE(window.seeAlsoEnabled);
    EXPECT_EQ(window.seeAlso.Selection(), platform::kNoItem);
}

TEST_F(EntryView, SeeAlsoNamesAllAbsentLeaveTheListEmptyAndDisabled)
{
    Open(SimpleEntry("solve", "d", {"absent", "missing"}) + SimpleEntry("roots", "d", {"solve"}));
    Select("roots");
    ASSERT_TRUE(window.seeAlsoEnabled);
    Select("solve");
    EXPECT_TRUE(SeeAlso().empty());
    EXPECT_FALSE(window.seeAlsoEnabled);
}

TEST_F(EntryView, SeeAlsoPrefixOfAnIndexedNameIsOfferedAndJumpsToTheFirstMatch)
{
    Open(SimpleEntry("solve", "d", {"EIGEN"}) + SimpleEntry("eigenvects", "vectors") +
         SimpleEntry("eigenvals", "values", {"solve"}));
    Select("solve");
    ASSERT_EQ(SeeAlso(), (std::vector<std::u16string>{u"EIGEN"}));
    window.seeAlso.Pick(0);
    JumpToSeeAlso(context);
    EXPECT_EQ(Selected(), "eigenvals");
    EXPECT_EQ(EntryText(), u"values\r\n\r\nParams:eigenvals(x)");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"solve"}));
    EXPECT_EQ(window.seeAlso.Selection(), platform::kNoItem);
}

// A related command is named: of two names that differ only in case, the jump shows the one named, as a lookup does.
TEST_F(EntryView, SeeAlsoJumpShowsTheCommandNamedSoWhereAnotherDiffersOnlyInCase)
{
    Open(SimpleEntry("Gamma", "function", {"gamma"}) + SimpleEntry("gamma", "constant", {"Gamma", "GAMMA", "gam"}));
    const struct
    {
        int from; // the item shown
        std::u16string related;
        std::string shown;
    } cases[] = {
        {0, u"gamma", "gamma"},
        {1, u"Gamma", "Gamma"},
        {1, u"GAMMA", "Gamma"},
        {1, u"gam", "Gamma"},
    };
    ASSERT_EQ(window.commandList.GetText(0), u"Gamma");
    for (const auto &each : cases) {
        SelectItem(each.from);
        const std::vector<std::u16string> offered = SeeAlso();
        const auto at = std::find(offered.begin(), offered.end(), each.related);
        ASSERT_NE(at, offered.end());
        window.seeAlso.Pick(static_cast<int>(at - offered.begin()));
        JumpToSeeAlso(context);
        EXPECT_EQ(Selected(), each.shown) << Narrow(each.related);
    }
}

TEST_F(EntryView, NameListedTwiceIsOfferedTwice)
{
    Open(SimpleEntry("solve", "d", {"roots", "roots"}) + SimpleEntry("roots"));
    Select("solve");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"roots", u"roots"}));
}

TEST_F(EntryView, TrailingBlanksStayPartOfTheName)
{
    Open(SimpleEntry("solve", "d", {"plot  ", "roots "}) + SimpleEntry("plot  3d") + SimpleEntry("roots"));
    Select("solve");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"plot  "}));
}

TEST_F(EntryView, DashLinesAfterTheFirstExampleAreExamples)
{
    Open(Entry("neg", {"1 a", "2 Negates.", "3 c", "0 neg(x)", "-> abs", "neg(2)", "-> abs", "-neg(2)"}) +
         SimpleEntry("abs"));
    Select("neg");
    EXPECT_EQ(EntryText(), u"Negates.\r\n\r\nParams:neg(x)\r\n\r\nExamples:\r\nneg(2)\r\n-> abs\r\n-neg(2)\r\n");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"abs"}));
}

TEST_F(EntryView, ParametersLineSeveralLinesBelowAndAFourthLineOfKindZero)
{
    Open(Entry("solve", {"1 a", "2 Solves.", "0 not the parameters", "3 note", "1 more", "0 solve(e)", "-> solve"}));
    Select("solve");
    EXPECT_EQ(EntryText(), u"Solves.\r\n\r\nParams:solve(e)");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"solve"}));
}

// No command's name may stand beside another command's text: what cannot be shown empties the entry and the
// see-also list.
TEST_F(EntryView, EntryThatCannotBeShownEmptiesTheTextAndTheSeeAlsoList)
{
    // The third line is no description; the second line runs past the window; the description does.
    Open(SimpleEntry("solve", "shown", {"roots"}) + SimpleEntry("roots") +
         Entry("broken", {"1 a", "3 b", "2 c", "0 d"}) + "# long\n" + std::string(2100, 'x') + "\n2 d\n\n" +
         "# longer\n1 a\n2 " + std::string(2100, 'd') + "\n0 p\n\n");
    for (const char *name : {"broken", "long", "longer"}) {
        SCOPED_TRACE(name);
        Select("solve");
        ASSERT_EQ(SeeAlso(), (std::vector<std::u16string>{u"roots"}));
        Select(name);
        EXPECT_EQ(Selected(), name);
        EXPECT_EQ(EntryText(), u"");
        EXPECT_TRUE(SeeAlso().empty());
        EXPECT_FALSE(window.seeAlsoEnabled);
    }
}

TEST_F(EntryView, EntryEndingExactlyAtTheWindowsEnd)
{
    // From its second line through the LF of its closing blank line, the entry is exactly 2000 bytes.
    const std::string entry =
        Entry("exact", {"1 a", "2 d", "3 c", "3 " + std::string(1969, 'f'), "0 p", "-> next", "ex"});
    ASSERT_EQ(entry.size() - std::string("# exact\n").size(), 2000u);
    Open(entry + SimpleEntry("next"));
    Select("exact");
    EXPECT_EQ(EntryText(), u"d\r\n\r\nParams:p\r\n\r\nExamples:\r\nex\r\n");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"next"}));
}

// Cut at the buffer's end, the text ends with an ellipsis in place of its last unit, to say there is more.
TEST_F(EntryView, ComposedTextOverTheLimitIsCutAtTheBuffersEnd)
{
    Open(Entry("over", {"1 a", "2 d", "3 c", "0 p", std::string(1500, 'e'), "tail"}) +
         Entry("overnoexamples", {"1 a", "2 " + std::string(1200, 'd'), "3 c", "0 p"}) +
         Entry("headingatthelimit", {"1 a", "2 " + std::string(985 - 12, 'd'), "3 c", "0 p", "example"}) +
         Entry("linebreakatthelimit", {"1 a", "2 d", "3 c", "0 p", std::string(999 - 28, 'e'), "tail"}) +
         Entry("lastlineatthelimit", {"1 a", "2 d", "3 c", "0 p", std::string(999 - 28, 'e')}));
    Select("over");
    EXPECT_EQ(EntryText(),
              u"d\r\n\r\nParams:p\r\n\r\nExamples:\r\n" + std::u16string(kMaxEntryText - 29, u'e') + u"\u2026");
    Select("overnoexamples");
    EXPECT_EQ(EntryText(), std::u16string(kMaxEntryText - 1, u'd') + u"\u2026");
    // 985 units before the "Examples:" heading: the heading itself is cut.
    Select("headingatthelimit");
    EXPECT_EQ(EntryText().size(), kMaxEntryText);
    EXPECT_EQ(EntryText().substr(985), u"\r\n\r\nExamples:\u2026");
    // A line that fills the text whole, with no room for its line break, is cut too.
    Select("linebreakatthelimit");
    EXPECT_EQ(EntryText().size(), kMaxEntryText);
    EXPECT_EQ(EntryText().substr(kMaxEntryText - 2), u"e\u2026");
    // The last line whole, but for its line break: nothing is missing.
    Select("lastlineatthelimit");
    EXPECT_EQ(EntryText(), u"d\r\n\r\nParams:p\r\n\r\nExamples:\r\n" + std::u16string(kMaxEntryText - 28, u'e'));
}

TEST_F(EntryView, ComposedTextOfExactly999And984Units)
{
    // "d...\r\n\r\nParams:p" is the description plus 12 units; with examples add 15 + line + 2.
    const std::string description(984 - 12, 'd');
    const std::string example(999 - 1 - 12 - 15 - 2, 'e');
    Open(Entry("a", {"1 x", "2 " + description, "3 c", "0 p"}) + Entry("b", {"1 x", "2 d", "3 c", "0 p", example}));
    Select("a");
    EXPECT_EQ(EntryText().size(), 984u);
    EXPECT_EQ(EntryText().substr(972), u"\r\n\r\nParams:p");
    Select("b");
    EXPECT_EQ(EntryText().size(), 999u);
    EXPECT_EQ(EntryText().substr(996), u"e\r\n");
}

TEST_F(EntryView, Windows1252CharactersAreShownAsUnicode)
{
    Open(Entry("euro", {"1 a", "2 \x80 \x85 \x96 \xe9\xb2 \x9f", "3 c", "0 \xd7\xf7\x81"}));
    Select("euro");
    EXPECT_EQ(EntryText(), u"\u20ac \u2026 \u2013 \u00e9\u00b2 \u0178\r\n\r\nParams:\u00d7\u00f7\u0081");
}

TEST_F(EntryView, NoByteOfAnEarlierReadTakesPartAfterAShortRead)
{
    // The second entry ends the file without its closing blank line; the long first entry's bytes lie in the
    // buffer behind it.
    const std::string first = Entry("first", {"1 a", "2 long", "3 c", "0 p", std::string(1500, 'e'), "stale"});
    Open(first + "# last\n1 a\n2 end\n3 c\n0 q");
    Select("first");
    Select("last");
    EXPECT_EQ(EntryText(), u"end\r\n\r\nParams:q");
}

TEST_F(EntryView, FileThatShrankBelowTheSelectedEntryIsIndexedAgainAndShowsNothing)
{
    const std::string bytes = SimpleEntry("solve", "one") + SimpleEntry("tail", "two");
    Open(bytes);
    Select("solve");
    file.SetBytes(bytes.substr(0, SimpleEntry("solve", "one").size() + 3)); // "# t": no LF ends tail's header
    Select("tail");
    EXPECT_EQ(ListItems(), (std::vector<std::pair<std::string, std::uint32_t>>{{"solve", 8}}));
    EXPECT_EQ(window.commandList.GetCurSel(), platform::kNoItem);
    EXPECT_EQ(EntryText(), u"");
}

// The file replaced in place while the window is open: every offset of the old list points into other content.
TEST_F(EntryView, ChangedFileIsIndexedAgainBeforeAnythingShows)
{
    Open(SimpleEntry("alpha", "old alpha") + SimpleEntry("beta", "old beta", {"alpha"}));
    Select("beta");
    file.SetBytes(SimpleEntry("gamma", "new gamma", {"beta"}) + SimpleEntry("beta", "new beta", {"gamma"}) +
                  SimpleEntry("alpha", "new alpha"));
    SelectItem(0); // the old list's first item, alpha
    EXPECT_EQ(Selected(), "alpha");
    EXPECT_EQ(EntryText(), u"new alpha\r\n\r\nParams:alpha(x)");
    EXPECT_EQ(ListItems().size(), 3u);

    // A see-also jump after a change looks the name up in the new list.
    Select("beta");
    file.SetBytes(SimpleEntry("beta", "newer beta", {"gamma"}) + SimpleEntry("gamma", "newer gamma"));
    window.seeAlso.Pick(0);
    JumpToSeeAlso(context);
    EXPECT_EQ(Selected(), "gamma");
    EXPECT_EQ(EntryText(), u"newer gamma\r\n\r\nParams:gamma(x)");
}

// A file rewritten in place in a tight loop: after the reads it tries, the entry shows nothing rather than bytes that
// may be another command's.
TEST_F(EntryView, FileStillChangingAfterEveryTryShowsNothing)
{
    Open(SimpleEntry("alpha", "a", {"beta"}) + SimpleEntry("beta", "b", {"alpha"}));
    Select("alpha");
    ASSERT_EQ(SeeAlso().size(), 1u);
    file.SetChangingWhileRead(true);
    const std::size_t reads = file.ReadCount();
    Select("beta");
    EXPECT_EQ(EntryText(), u"");
    EXPECT_TRUE(SeeAlso().empty());
    EXPECT_FALSE(window.seeAlsoEnabled);
    EXPECT_GE(file.ReadCount() - reads, 3u); // it tried again before giving up
    // Once the file holds still, the entry shows again.
    file.SetChangingWhileRead(false);
    Select("beta");
    EXPECT_EQ(EntryText(), u"b\r\n\r\nParams:beta(x)");
}

TEST_F(EntryView, EntryWithoutParametersLineShowsItsDescriptionAlone)
{
    Open(Entry("bare", {"1 a", "2 only a description", "3 c", "-> bare"}) + SimpleEntry("next", "d", {}, {"0 x"}));
    Select("bare");
    EXPECT_EQ(EntryText(), u"only a description");
    EXPECT_TRUE(SeeAlso().empty());
    EXPECT_FALSE(window.seeAlsoEnabled);
}

TEST_F(EntryView, EntryWithoutClosingBlankLineOrLastLf)
{
    Open(SimpleEntry("first") + "# last\n1 a\n2 d\n3 c\n0 p\n-> first\nexample without lf");
    Select("last");
    EXPECT_EQ(EntryText(), u"d\r\n\r\nParams:p\r\n\r\nExamples:\r\nexample without lf\r\n");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"first"}));
}

TEST_F(EntryView, SeeAlsoLineWithoutLfAtTheFilesEnd)
{
    Open(SimpleEntry("first") + "# last\n1 a\n2 d\n3 c\n0 p\n-> first");
    Select("last");
    EXPECT_EQ(EntryText(), u"d\r\n\r\nParams:p");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{u"first"}));
}

TEST_F(EntryView, SeeAlsoNameOverNinetyNineCharactersIsCut)
{
    const std::string name(99, 'n');
    Open(SimpleEntry("solve", "d", {name + "tail beyond the buffer"}) + SimpleEntry(name + "tail"));
    Select("solve");
    EXPECT_EQ(SeeAlso(), (std::vector<std::u16string>{U16(name)}));
}

TEST_F(EntryView, EmptySeeAlsoNamesAreNotOffered)
{
    Open(Entry("solve", {"1 a", "2 d", "3 c", "0 p", "-", "->", "-> "}) + SimpleEntry("abs"));
    Select("solve");
    EXPECT_TRUE(SeeAlso().empty());
}

TEST_F(EntryView, NothingHappensWithoutASelection)
{
    Open(SimpleEntry("solve"));
    const std::size_t reads = file.ReadCount();
    ShowSelectedEntry(context);
    EXPECT_EQ(window.entryTextSets, 0);
    EXPECT_EQ(file.ReadCount(), reads);
}

TEST_F(EntryView, ChoosingASeeAlsoNameThatNoCommandBeginsWithDoesNothing)
{
    Open(SimpleEntry("solve", "d", {"roots"}) + SimpleEntry("roots"));
    Select("solve");
    window.seeAlso.ResetContent();
    window.seeAlso.AddString(u"absent");
    window.seeAlso.Pick(0);
    JumpToSeeAlso(context);
    EXPECT_EQ(Selected(), "solve");
}

TEST_F(EntryView, EditsAreGoneAtTheNextSelection)
{
    Open(SimpleEntry("solve", "d"));
    Select("solve");
    window.entryText.text = u"edited";
    Select("solve");
    EXPECT_EQ(EntryText(), u"d\r\n\r\nParams:solve(x)");
}

TEST_F(EntryView, CopyPutsExactlyTheSelectionOnTheClipboard)
{
    Open(SimpleEntry("solve", "Solves equations."));
    Select("solve");
    window.clipboard = u"held before";
    CopyEntrySelection(context);
    EXPECT_EQ(window.clipboard, u"held before");
    window.entryText.Select(7, 16);
    CopyEntrySelection(context);
    EXPECT_EQ(window.clipboard, u"equations");
}

} // namespace
} // namespace korva::helpdata::testing
