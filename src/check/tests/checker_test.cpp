// SPDX-License-Identifier: MIT
// The data file checker: each rule has a case that breaks it and one at its limit that passes.
#include "check/checker.h"
#include "helpdata/command_index.h"
#include "helpdata/format.h"
#include "platform/memory/memory_platform.h"
#include "test_support/data_entries.h"
#include "test_support/test_support.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

namespace korva::check {
namespace {

using korva::testing::Entry;
using korva::testing::SimpleEntry;

// "LINE: message" of every problem of one severity.
std::vector<std::string> Reported(const std::string &bytes, Severity severity)
{
    std::vector<std::string> reported;
    for (const Problem &problem : CheckDataFile(bytes)) {
        if (problem.severity == severity) {
            reported.push_back(std::to_string(problem.line) + ": " + problem.message);
        }
    }
    return reported;
}

std::vector<std::string> Errors(const std::string &bytes)
{
    return Reported(bytes, Severity::Error);
}

std::vector<std::string> Warnings(const std::string &bytes)
{
    return Reported(bytes, Severity::Warning);
}

// True when exactly one problem was reported and it is on `line` and says `phrase`.
::testing::AssertionResult OneAt(const std::vector<std::string> &reported, std::size_t line, const std::string &phrase)
{
    if (reported.size() == 1 && reported[0].rfind(std::to_string(line) + ": ", 0) == 0 &&
        reported[0].find(phrase) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure()
                   << "expected one problem at line " << line << " saying '" << phrase << "', got:";
    for (const auto &problem : reported) {
        failure << "\n  " << problem;
    }
    return failure;
}

// An entry of `filler` + 16 bytes from its second line through its closing LF, the filler in a line the viewer does
// not show: "x\n2 d\nx\n3 " filler "\n0 p\n\n".
std::string Sized(const std::string &name, std::size_t filler)
{
    return Entry(name, {"x", "2 d", "x", "3 " + std::string(filler, 'f'), "0 p"});
}

// An entry whose composed text is the description, "\r\n\r\nParams:p" (12) and, with examples, 15 more and each
// example line with "\r\n".
std::string Composed(std::size_t description, const std::vector<std::string> &examples = {})
{
    std::vector<std::string> lines = {"x", "2 " + std::string(description, 'd'), "x", "0 p"};
    lines.insert(lines.end(), examples.begin(), examples.end());
    return Entry("a", lines);
}

TEST(Checker, FileThatFollowsEveryRuleChecksClean)
{
    const std::string bytes = Entry("solve", {"1 algebra", "2 finds roots", "3 since 1.0", "0 solve(e)", "-> roots",
                                              "solve(x = 1)", "-solve(x)"}) +
                              Entry("roots", {"x", "2 d", "x", "x", "0 roots(p)", "-> Solve"});
    EXPECT_TRUE(Errors(bytes).empty()) << ::testing::PrintToString(Errors(bytes));
    EXPECT_TRUE(Warnings(bytes).empty()) << ::testing::PrintToString(Warnings(bytes));
}

TEST(Checker, LinesTheSearchSkipsAreANote)
{
    const auto problems = CheckDataFile(SimpleEntry("a") + SimpleEntry("b"));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].severity, Severity::Note);
    EXPECT_EQ(problems[0].line, 2u);
    EXPECT_EQ(problems[0].message, "4 lines of kind '1' or '3' (the first here): the search never finds text in them");
}

TEST(Checker, FileMustEndWithTheBlankLineThatClosesTheLastEntry)
{
    const std::string entry = SimpleEntry("solve");
    EXPECT_TRUE(OneAt(Errors(entry.substr(0, entry.size() - 1)), 5, "must end with the empty line"));
    const auto tail = Errors(entry + "# tail");
    EXPECT_NE(std::find(tail.begin(), tail.end(),
                        "7: the file must end with the empty line that closes its last entry (its last two bytes LF "
                        "LF)"),
              tail.end());
    EXPECT_TRUE(Errors(entry).empty());
    // Nothing at all, or text without a header: either way no entry.
    EXPECT_TRUE(OneAt(Warnings(""), 1, "the file holds no entry"));
    EXPECT_EQ(Warnings("x\n\n"), (std::vector<std::string>{"1: text before the first header ('# name') is never shown",
                                                           "1: the file holds no entry"}));
    EXPECT_TRUE(Errors("x\n\n").empty());
}

TEST(Checker, HashOnlyBeginsAHeader)
{
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("solve", "uses # here")), 3, "'#' inside a line"));
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x", "2 d", "x", "0 p", "# b", "1"})), 6, "must follow an empty line"));
}

TEST(Checker, NulBytes)
{
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("solve", std::string("a\0b", 3))), 3, "NUL byte"));
}

// One cause, one message: the CR LF line ends are reported once, and the file is read on as if converted.
TEST(Checker, CrLfLineEndsAreOneErrorThatSaysHowToConvert)
{
    const std::string crlf = "# solve\r\n1 a\r\n2 d\r\n3 c\r\n0 p\r\n\r\n# abs\r\n1 a\r\n2 d\r\n3 c\r\n0 p\r\n\r\n";
    EXPECT_EQ(Errors(crlf), (std::vector<std::string>{
                                "1: line ends in CR LF (Windows line ends): the viewer takes the CR for text and sees "
                                "no empty line between entries; convert the file with: sed -i 's/\\r$//' korvadoc"}));
    EXPECT_TRUE(Warnings(crlf).empty());
    // A CR inside a line is text, and a file with a few CR LF lines still gets the other rules checked.
    EXPECT_TRUE(Errors(SimpleEntry("a\rb")).empty());
    EXPECT_EQ(Errors("# a\r\n1\n2 d\n3\n\n").size(), 2u); // the CR LF, and no parameters line
}

TEST(Checker, Utf8TextIsAWarningOnItsFirstLineWithTheCommandThatConverts)
{
    for (const std::string &utf8 : {std::string("\xce\xb8"), std::string("x\xc2\xb2"), std::string("\xe2\x80\xa6")}) {
        SCOPED_TRACE(utf8);
        const std::string bytes = SimpleEntry("a") + SimpleEntry("b", "with " + utf8) + SimpleEntry("c", utf8);
        EXPECT_TRUE(Errors(bytes).empty());
        EXPECT_TRUE(OneAt(Warnings(bytes), 9,
                          "this line holds UTF-8 text, but the viewer reads Windows-1252, one byte a character, and "
                          "would show it garbled; convert the file with: iconv -f UTF-8 -t WINDOWS-1252 korvadoc > "
                          "korvadoc.cp1252"));
    }
    // Windows-1252 text that is no UTF-8: "é²" and an ellipsis.
    EXPECT_TRUE(Warnings(SimpleEntry("a", "\xe9\xb2 \x85 \xc3 x")).empty());
}

TEST(Checker, BlankLinesOnlyCloseEntries)
{
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("a") + "\n" + SimpleEntry("b")), 7, "a second empty line"));
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("a") + "stray\n\n" + SimpleEntry("b")), 7, "text after the empty line"));
}

// An empty line inside an entry is the cause, and the one message: not the text after it, nor a missing part.
TEST(Checker, EmptyLineInsideAnEntryIsReportedWhereItIs)
{
    const std::string bytes = Entry("det", {"1 linear algebra", "2 The determinant."}) +
                              "3 more notes\n0 det(m)\n-> rank\n\n" + SimpleEntry("rank");
    EXPECT_EQ(Errors(bytes), (std::vector<std::string>{"4: empty line at line 4 ends entry 'det' before its fourth "
                                                       "line; the only empty line of an entry is the one that closes "
                                                       "it"}));
    EXPECT_TRUE(OneAt(Errors(Entry("det", {"1 a", "2 d", "3 c"}) + "0 p\n\n"), 5,
                      "empty line at line 5 ends entry 'det' before its parameters line"));
    EXPECT_TRUE(
        OneAt(Errors(Entry("det", {"1 a"}) + "2 d\n3 c\n0 p\n\n"), 3, "ends entry 'det' before its description"));
    // An entry that ends there, with a header after the empty line, lacks its parameters line.
    EXPECT_TRUE(OneAt(Errors(Entry("det", {"1 a", "2 d", "3 c"}) + SimpleEntry("rank")), 4,
                      "entry 'det' has no parameters line"));
}

TEST(Checker, ThirdLineIsTheDescription)
{
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x", "3 d", "x", "0 p"})), 3, "must be its description"));
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x"})), 2, "ends before its description"));
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x", "2", "x", "0 p"})), 3, "description line without text"));
}

TEST(Checker, ParametersLineComesAfterTheFourthLine)
{
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x", "2 d"})), 3, "a fourth line and the parameters line"));
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x", "2 d", "0 p", "1 x"})), 5,
                      "no parameters line ('0 ...') after its fourth line (the fourth line is never taken for it)"));
    EXPECT_TRUE(Errors(Entry("a", {"x", "2 d", "0 p", "1 x", "0 q"})).empty());
}

TEST(Checker, SeeAlsoLinesComeRightAfterTheParametersLine)
{
    const std::string bytes = Entry("a", {"x", "2 d", "x", "-> a", "0 p"});
    EXPECT_TRUE(Errors(bytes).empty());
    EXPECT_TRUE(OneAt(Warnings(bytes), 5, "see-also line before the parameters line"));
    EXPECT_TRUE(OneAt(Errors(Entry("a", {"x", "2 d", "x", "0 p", "->"})), 6, "see-also line without a name"));
}

TEST(Checker, HeaderLineOfAtMost48Bytes)
{
    EXPECT_TRUE(Errors(SimpleEntry(std::string(46, 'n'))).empty());
    EXPECT_TRUE(OneAt(Errors(SimpleEntry(std::string(47, 'n'))), 1,
                      "header line of 49 bytes; at most 48 (a command name of at most 46 bytes): cut 1 byte"));
    EXPECT_TRUE(OneAt(Errors("#\n1\n2 d\n3\n0 p\n\n"), 1, "header without a command name"));
    // A header longer than the index reads at a time: still one message.
    EXPECT_TRUE(OneAt(Errors("# " + std::string(2100, 'n') + "\n1\n2 d\n3\n0 p\n\n"), 1, "header line of 2102 bytes"));
}

TEST(Checker, SeeAlsoNameOfAtMost99Characters)
{
    const std::string target = SimpleEntry(std::string(46, 'n'));
    EXPECT_TRUE(Errors(SimpleEntry("a", "d", {std::string(46, 'n') + std::string(53, 'x')}) + target).empty());
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("a", "d", {std::string(100, 'n')}) + target), 6,
                      "see-also name of 100 characters; at most 99"));
}

TEST(Checker, EntryOfAtMost2000BytesFromItsSecondLine)
{
    // This limit never binds alone: the one below counts the same bytes and the header's.
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("first") + Sized("a", 1985)), 7,
                      "is 2001 bytes from its second line through its closing empty line; the viewer reads at most "
                      "2000: cut 1 byte"));
}

TEST(Checker, EntryWithTheBlankLineBeforeItOfAtMost2000Bytes)
{
    // The two LFs before the header, the header line "# a\n" and the entry.
    const std::string first = SimpleEntry("first");
    EXPECT_TRUE(Errors(first + Sized("a", 1978)).empty());
    EXPECT_TRUE(OneAt(Errors(first + Sized("a", 1980)), 7, "spans 2002 bytes with the empty line before it"));
    EXPECT_TRUE(OneAt(Errors(first + Sized("a", 1980)), 7, ": cut 2 bytes"));
    // The first entry counts from the start of the file, its preamble included.
    EXPECT_TRUE(Errors("p\n" + Sized("a", 1978)).empty());
    EXPECT_TRUE(OneAt(Errors("p\n" + Sized("a", 1979)), 2, "spans 2001 bytes from the start of the file"));
}

TEST(Checker, ComposedTextWithinTheViewersBuffer)
{
    EXPECT_TRUE(Errors(Composed(972)).empty());
    EXPECT_TRUE(OneAt(Errors(Composed(973)), 1,
                      "entry 'a' makes a text of 985 characters in the viewer, which shows at most 984 for an entry "
                      "without examples: cut 1 character from its description, parameters or examples"));
    EXPECT_TRUE(Errors(Composed(1, {std::string(969, 'e')})).empty());
    EXPECT_TRUE(OneAt(Errors(Composed(1, {std::string(972, 'e')})), 1,
                      "makes a text of 1002 characters in the viewer, which shows at most 999: cut 3 characters"));
}

// One cause, one message: an entry too long for the viewer's window is not reported again for its text.
TEST(Checker, EntryTooLongIsOneMessage)
{
    EXPECT_TRUE(OneAt(Errors(Composed(2500)), 1, "is 2512 bytes from its second line"));
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("first") + Composed(2500)), 7, "is 2512 bytes from its second line"));
}

TEST(Checker, AtMost32768Entries)
{
    std::string bytes;
    for (int i = 0; i < 32768; ++i) {
        bytes += "# c" + std::to_string(i) + "\nx\n2 d\nx\n0 p\n\n";
    }
    EXPECT_TRUE(Errors(bytes).empty());
    bytes += "# last\nx\n2 d\nx\n0 p\n\n";
    EXPECT_TRUE(OneAt(Errors(bytes), 32768 * 6 + 1, "more than 32768 entries: the viewer lists the first 32768 only"));
}

TEST(Checker, WarnsWhereTheViewerWouldSurpriseAReader)
{
    const std::string bytes = "a preamble\n" + SimpleEntry("gamma", "d", {"GAM", "absent", "in"}) +
                              SimpleEntry("Gamma") + SimpleEntry("gamma") + "#skip\nx\n2text\nx\n0 p\n- sin\n\n" +
                              SimpleEntry("integrate");
    EXPECT_TRUE(Errors(bytes).empty()) << ::testing::PrintToString(Errors(bytes));
    // Each message is one literal split over lines, not two that lack a comma between them.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    EXPECT_EQ(Warnings(bytes),
              (std::vector<std::string>{
                  // In line order, the related commands too, which only the whole file decides.
                  "1: text before the first header ('# name') is never shown",
                  "7: see-also name 'GAM' is no command's name: entry 'gamma' offers it, and choosing it opens "
                  "'gamma', the first command that begins with it",
                  "8: see-also name 'absent' names no command (none begins with it): entry 'gamma' does not offer it",
                  "9: see-also name 'in' is no command's name: entry 'gamma' offers it, and choosing it opens "
                  "'integrate', the first command that begins with it",
                  "17: command 'gamma' is already defined at line 2: the list shows both, but a see-also jump always "
                  "shows the first",
                  "23: the command name begins at byte 3 of its line, so it reads 'kip'; the 2 bytes before are "
                  "skipped",
                  "25: the description begins at byte 3 of its line, so it reads 'ext'; the 2 bytes before are "
                  "skipped",
                  "28: the see-also name begins at byte 4 of its line, so it reads 'in'; the 3 bytes before are "
                  "skipped",
                  "28: see-also name 'in' is no command's name: entry 'kip' offers it, and choosing it opens "
                  "'integrate', the first command that begins with it",
              }));
    // NOLINTEND(bugprone-suspicious-missing-comma)
}

// A related command named twice by one entry is offered twice; one in another case, or by another entry, is not.
TEST(Checker, WarnsOfARelatedCommandNamedTwiceByAnEntry)
{
    const std::string bytes =
        SimpleEntry("sin", "d", {"cos"}) + SimpleEntry("cos", "d", {"sin", "Sin", "sin", "tan"}) + SimpleEntry("tan");
    EXPECT_EQ(Warnings(bytes),
              (std::vector<std::string>{"15: see-also name 'sin' is named again by entry 'cos' "
                                        "(first at line 13): Also See lists it as often as it is named"}));
}

// Names that differ only in case are each the name of their own command; a name two entries share is one to warn of,
// whichever of the pair comes first.
TEST(Checker, SharedNameIsAWarningANameInAnotherCaseIsNot)
{
    EXPECT_TRUE(Warnings(SimpleEntry("Gamma") + SimpleEntry("gamma", "d", {"Gamma", "GAMMA"})).empty());
    EXPECT_TRUE(OneAt(Warnings(SimpleEntry("Gamma") + SimpleEntry("gamma") + SimpleEntry("gamma")), 13,
                      "command 'gamma' is already defined at line 7"));
}

// Fed in pieces of any size, the checker finds what it finds in the whole.
TEST(Checker, PiecesOfAnySizeGiveTheSameProblems)
{
    const std::string bytes = "pre\n" + SimpleEntry("a", "x\xc3\xa9", {"b", "zz"}) + Entry("b", {"1", "2 d"}) +
                              "3\n0 p\n\n# c\r\n1\r\n2 d\r\n3\r\n0 p\r\n\r\n";
    const auto whole = CheckDataFile(bytes);
    ASSERT_GT(whole.size(), 3u);
    for (const std::size_t piece : {1u, 2u, 3u, 7u, 64u}) {
        ProblemsInLineOrder inOrder;
        Checker checker("korvadoc", [&](const Problem &problem) { inOrder.Add(problem); });
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            checker.Feed(std::string_view(bytes).substr(at, piece));
        }
        checker.Finish();
        const std::vector<Problem> found = inOrder.Take();
        ASSERT_EQ(found.size(), whole.size()) << piece;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].line, whole[i].line) << piece;
            EXPECT_EQ(found[i].message, whole[i].message) << piece;
        }
    }
}

// Where the checker finds no error, the window's own index scan finds exactly the entries the checker read.
TEST(Checker, AFileWithoutErrorsIsIndexedAsTheCheckerReadsIt)
{
    std::vector<std::string> files = {korva::testing::ReadFileBytes(KORVA_SAMPLE_DATA)};
    for (const auto &seed : std::filesystem::directory_iterator(KORVA_FUZZ_SEEDS)) {
        files.push_back(korva::testing::ReadFileBytes(seed.path()));
    }
    std::size_t clean = 0;
    for (const std::string &bytes : files) {
        const auto problems = CheckDataFile(bytes);
        if (std::any_of(problems.begin(), problems.end(),
                        [](const Problem &problem) { return problem.severity == Severity::Error; })) {
            continue;
        }
        ++clean;
        std::multiset<std::string> checked;
        for (std::size_t at = bytes.find("# "); at != std::string::npos; at = bytes.find("\n\n# ", at + 1)) {
            at += bytes[at] == '\n' ? 2 : 0;
            checked.insert(bytes.substr(at + 2, bytes.find('\n', at) - at - 2));
        }
        platform::MemoryHelpFile file(bytes);
        platform::MemoryListBox list;
        helpdata::BuildIndex(file, list);
        std::multiset<std::string> indexed;
        for (int i = 0; i < list.GetCount(); ++i) {
            const std::u16string name = list.GetText(i);
            std::string narrow;
            for (const char16_t unit : name) {
                narrow += static_cast<char>(platform::WideCharToAnsi(unit));
            }
            indexed.insert(narrow);
        }
        EXPECT_EQ(indexed, checked);
    }
    EXPECT_GE(clean, 2u);
}

} // namespace
} // namespace korva::check
