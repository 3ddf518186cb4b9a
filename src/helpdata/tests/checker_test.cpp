// SPDX-License-Identifier: MIT
// The data file checker: each rule has a case that breaks it and one at its limit that passes.
#include "engine_fixture.h"
#include "helpdata/checker.h"

#include <fstream>
#include <sstream>

namespace korva::helpdata::testing {
namespace {

using Severity = Problem::Severity;

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

// True when one of the problems is on `line` and says `phrase`.
bool Has(const std::vector<std::string> &reported, std::size_t line, const std::string &phrase)
{
    return std::any_of(reported.begin(), reported.end(), [&](const std::string &problem) {
        return problem.rfind(std::to_string(line) + ": ", 0) == 0 && problem.find(phrase) != std::string::npos;
    });
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

TEST(Checker, BundledSampleFollowsEveryRule)
{
    std::ifstream in(KORVA_SAMPLE_DATA, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(Errors(bytes.str()), std::vector<std::string>{});
}

TEST(Checker, WellFormedFileHasNoProblem)
{
    const std::string bytes =
        Entry("solve", {"x", "2 finds roots", "x", "0 solve(e)", "-> roots", "solve(x = 1)", "-solve(x)"}) +
        Entry("roots", {"x", "2 d", "x", "x", "0 roots(p)"});
    EXPECT_TRUE(CheckDataFile(bytes).empty()) << ::testing::PrintToString(Errors(bytes));
}

TEST(Checker, FileMustEndWithTheBlankLineThatClosesTheLastEntry)
{
    const std::string entry = SimpleEntry("solve");
    EXPECT_TRUE(OneAt(Errors(entry.substr(0, entry.size() - 1)), 5, "must end with the empty line"));
    EXPECT_TRUE(Has(Errors(entry + "# tail"), 7, "must end with the empty line"));
    EXPECT_TRUE(Errors(entry).empty());
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

TEST(Checker, CrLfLineEndsAreOneErrorWithTheirCount)
{
    const auto errors = Errors("# solve\r\n1 a\r\n2 d\r\n3 c\r\n0 p\r\n\r\n");
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0], "1: line ends in CR LF (6 lines do): a CR is not a line end, so the file holds no empty "
                         "line between entries and the viewer sees one entry only; save the file with LF line ends");
}

TEST(Checker, BlankLinesOnlyCloseEntries)
{
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("a") + "\n" + SimpleEntry("b")), 7, "a second empty line"));
    EXPECT_TRUE(OneAt(Errors(SimpleEntry("a") + "stray\n\n" + SimpleEntry("b")), 7, "text after the empty line"));
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
    EXPECT_TRUE(OneAt(Errors(SimpleEntry(std::string(47, 'n'))), 1, "header line of 49 bytes; at most 48"));
    EXPECT_TRUE(OneAt(Errors("#\n1\n2 d\n3\n0 p\n\n"), 1, "header without a command name"));
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
                      "is 2001 bytes from its second line through its closing empty line; the viewer shows at most "
                      "2000"));
}

TEST(Checker, EntryWithTheBlankLineBeforeItOfAtMost2000Bytes)
{
    // The two LFs before the header, the header line "# a\n" and the entry.
    const std::string first = SimpleEntry("first");
    EXPECT_TRUE(Errors(first + Sized("a", 1978)).empty());
    EXPECT_TRUE(OneAt(Errors(first + Sized("a", 1979)), 7, "spans 2001 bytes with the empty line before it"));
    // The first entry counts from the start of the file, its preamble included.
    EXPECT_TRUE(Errors("p\n" + Sized("a", 1978)).empty());
    EXPECT_TRUE(OneAt(Errors("p\n" + Sized("a", 1979)), 2, "spans 2001 bytes from the start of the file"));
}

TEST(Checker, ComposedTextWithinTheViewersBuffer)
{
    EXPECT_TRUE(Errors(Composed(972)).empty());
    EXPECT_TRUE(OneAt(Errors(Composed(973)), 1,
                      "composes a text of 985 characters; the viewer shows at most 984 for an entry without "
                      "examples"));
    EXPECT_TRUE(Errors(Composed(1, {std::string(969, 'e')})).empty());
    EXPECT_TRUE(OneAt(Errors(Composed(1, {std::string(970, 'e')})), 1,
                      "composes a text of 1000 characters; the viewer shows at most 999"));
}

TEST(Checker, AtMost32768Entries)
{
    std::string bytes;
    for (int i = 0; i < 32768; ++i) {
        bytes += "# c" + std::to_string(i) + "\n1\n2 d\n3\n0 p\n\n";
    }
    EXPECT_TRUE(Errors(bytes).empty());
    bytes += "# last\n1\n2 d\n3\n0 p\n\n";
    EXPECT_TRUE(OneAt(Errors(bytes), 32768 * 6 + 1, "more than 32768 entries"));
}

TEST(Checker, HeaderTheViewersIndexCannotReadIsAnError)
{
    const auto errors = Errors("# " + std::string(2100, 'n') + "\n1\n2 d\n3\n0 p\n\n");
    EXPECT_TRUE(Has(errors, 1, "header line of 2102 bytes")) << ::testing::PrintToString(errors);
    EXPECT_TRUE(Has(errors, 1, "the viewer's index does not find entry")) << ::testing::PrintToString(errors);
}

TEST(Checker, WarnsWhereTheViewerWouldSurpriseAReader)
{
    const std::string bytes = "a preamble\n" + SimpleEntry("gamma", "d", {"GAM", "absent"}) + SimpleEntry("Gamma") +
                              SimpleEntry("gamma") + "#skip\nx\n2text\nx\n0 p\n- sin\n\n";
    EXPECT_TRUE(Errors(bytes).empty()) << ::testing::PrintToString(Errors(bytes));
    EXPECT_EQ(Warnings(bytes),
              (std::vector<std::string>{
                  "1: text before the first header ('# name') is never shown",
                  "3: 6 lines of kind '1' or '3' (the first here): the search never finds text in them",
                  "8: see-also name 'absent' names no command (none begins with it): entry 'gamma' does not offer it",
                  "10: command 'Gamma' differs from 'gamma' (line 2) only in case: a see-also jump or a search for "
                  "either shows the one higher in the list",
                  "16: command 'gamma' is already defined at line 2: the list shows both, but a see-also jump or a "
                  "search always shows the first",
                  "22: the command name begins at byte 3 of its line, so it reads 'kip'; the 2 bytes before are "
                  "skipped",
                  "24: the description begins at byte 3 of its line, so it reads 'ext'; the 2 bytes before are "
                  "skipped",
                  "27: the see-also name begins at byte 4 of its line, so it reads 'in'; the 3 bytes before are "
                  "skipped",
                  "27: see-also name 'in' names no command (none begins with it): entry 'kip' does not offer it",
              }));
}

} // namespace
} // namespace korva::helpdata::testing
