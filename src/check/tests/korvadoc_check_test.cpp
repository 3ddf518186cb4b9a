// SPDX-License-Identifier: MIT
// korvadoc-check as its users run it: arguments in, lines and an exit status out.
#include "test_support/test_support.h"

#include <algorithm>
#include <fstream>
#include <string>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

namespace {

using korva::testing::ProgramRun;
using korva::testing::RunProgram;

ProgramRun Check(const std::vector<std::string> &arguments, const std::string &input = {},
                 const std::string &outputTo = {})
{
    return RunProgram(KORVADOC_CHECK, arguments, input, outputTo);
}

std::size_t Lines(const std::string &text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class KorvadocCheck : public ::testing::Test
{
protected:
    std::string Write(const std::string &name, const std::string &bytes) { return folder_.Write(name, bytes); }

    korva::testing::TemporaryFolder folder_;
};

// The one check of the bundled sample: it follows every rule, and holds what its readers are shown on purpose
// (related commands that no command has, or that only begin a command's name). Its names equal but for case ("Gamma",
// "gamma") are each reached by their own name: no warning.
TEST_F(KorvadocCheck, SampleFollowsEveryRule)
{
    const ProgramRun run = Check({KORVA_SAMPLE_DATA});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find(": error: "), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("amma"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("is no command's name"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("names no command"), std::string::npos) << run.output;
    EXPECT_TRUE(Check({"--no-warnings", KORVA_SAMPLE_DATA}).output.empty());
}

TEST_F(KorvadocCheck, ProblemsAsCompilersPrintThem)
{
    const std::string file = Write("korvadoc", "# solve\nx\nx not the description\nx\n0 p\n\n");
    const ProgramRun run = Check({file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, file + ":3: error: the third line of entry 'solve' must be its description ('2 ...'); the "
                                 "viewer does not show the entry\n");
    EXPECT_TRUE(run.errors.empty());
}

TEST_F(KorvadocCheck, NotesOnRequest)
{
    const std::string file = Write("korvadoc", "# solve\n1 algebra\n2 d\nx\n0 p\n\n");
    EXPECT_EQ(Check({file}).output, "");
    EXPECT_EQ(Check({"--notes", file}).output,
              file + ":2: note: 1 line of kind '1' or '3' (the first here): the search never finds text in them\n");
}

TEST_F(KorvadocCheck, StopsAfterAHundredProblemsUnlessAll)
{
    std::string bytes;
    for (int i = 0; i < 150; ++i) {
        bytes += "# c" + std::to_string(i) + "\nx\nx d\n\n";
    }
    const std::string file = Write("korvadoc", bytes);
    const ProgramRun run = Check({file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.output), 101u);
    EXPECT_NE(run.output.find(file + ": 50 more problems not shown; --all shows every one\n"), std::string::npos);
    EXPECT_EQ(Lines(Check({"--all", file}).output), 150u);
}

// --all writes each problem as it is found, holding none: a related command that names no command, known only at the
// end, comes after the problems of the lines below it.
TEST_F(KorvadocCheck, AllWritesEachProblemAsItIsFound)
{
    const std::string file = Write("korvadoc", "# solve\n1\n2 d\n3\n0 p\n-> absent\n\n# broken\nx\nx d\n\n");
    const std::string all = Check({"--all", file}).output;
    const std::string kept = Check({file}).output;
    ASSERT_EQ(Lines(all), 2u);
    EXPECT_EQ(all.rfind(file + ":10: error: ", 0), 0u) << all;    // the broken entry's, found first
    EXPECT_EQ(kept.rfind(file + ":6: warning: ", 0), 0u) << kept; // without --all, in line order
}

TEST_F(KorvadocCheck, StandardInputAsDash)
{
    const std::string file = Write("input", "# solve\nx\nx d\n\n");
    const ProgramRun run = Check({"-"}, file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output.rfind("(standard input):3: error: ", 0), 0u) << run.output;
}

TEST_F(KorvadocCheck, WhatCannotBeReadIsNamedWithStatusTwo)
{
    const std::string absent = (folder_.Path() / "absent").string();
    const ProgramRun missing = Check({absent});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.errors, "korvadoc-check: " + absent + ": No such file or directory\n");
    const ProgramRun folder = Check({folder_.Path().string()});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.errors, "korvadoc-check: " + folder_.Path().string() + ": is a folder\n");
    // One readable good file beside an unreadable one: still 2.
    EXPECT_EQ(Check({KORVA_SAMPLE_DATA, absent}).status, 2);
}

#if !defined(_WIN32)
// A named pipe would block the open until a writer came; a device is no data file either.
TEST_F(KorvadocCheck, NamedPipeAndDeviceAreRefusedAtOnce)
{
    const std::string fifo = (folder_.Path() / "korvadoc").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const ProgramRun pipe = Check({fifo});
    EXPECT_EQ(pipe.status, 2);
    EXPECT_EQ(pipe.errors, "korvadoc-check: " + fifo + ": is a named pipe (FIFO)\n");
    const ProgramRun device = Check({"/dev/zero"});
    EXPECT_EQ(device.status, 2);
    EXPECT_EQ(device.errors, "korvadoc-check: /dev/zero: is a character device\n");
}

// Far past every limit: 4 million headers in 16 MB. Its errors and status 1, in bounded memory.
TEST_F(KorvadocCheck, FileFarPastEveryLimitInBoundedMemory)
{
    const std::string file = (folder_.Path() / "korvadoc").string();
    {
        std::ofstream out(file, std::ios::binary);
        std::string headers;
        while (headers.size() < (std::size_t{1} << 20)) {
            headers += "# x\n";
        }
        for (int i = 0; i < 16; ++i) {
            out << headers;
        }
    }
    const ProgramRun run = Check({file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.output), 101u);
    struct rusage usage
    {};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KiB at most, of the largest program run so far";
#endif
}
#endif

TEST_F(KorvadocCheck, HelpVersionAndWrongUse)
{
    const ProgramRun help = Check({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage: korvadoc-check", 0), 0u);
    const ProgramRun version = Check({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, std::string("korvadoc-check (Korva Command Reference) ") + KORVA_VERSION + "\n");
    EXPECT_EQ(Check({}).status, 2);
    EXPECT_EQ(Check({"--frobnicate"}).status, 2);
}

#if !defined(_WIN32)
// A report that never reached its reader is a failure, whatever the file holds.
TEST_F(KorvadocCheck, OutputThatCannotBeWrittenIsAWriteError)
{
    for (const std::vector<std::string> &arguments :
         std::vector<std::vector<std::string>>{{"--help"}, {"--version"}, {KORVA_SAMPLE_DATA, "--notes"}}) {
        const ProgramRun run = Check(arguments, {}, "/dev/full");
        EXPECT_EQ(run.status, 2) << arguments[0];
        EXPECT_EQ(run.errors, "korvadoc-check: write error: No space left on device\n") << arguments[0];
    }
}

TEST_F(KorvadocCheck, PathsThatHoldAControlCharacterAreQuoted)
{
    const std::string path = Write("two\nlines", "x\n\n");
    const ProgramRun run = Check({path});
    EXPECT_EQ(run.status, 0);
    const std::string quoted = "$'" + folder_.Path().string() + "/two\\nlines'";
    EXPECT_EQ(run.output, quoted + ":1: warning: text before the first header ('# name') is never shown\n" + quoted +
                              ":1: warning: the file holds no entry\n");
}
#endif

} // namespace
