// SPDX-License-Identifier: MIT
// The command line: what it asks for, and the program's answer when no window is wanted or possible.
#include "app/command_line.h"
#include "test_support/test_support.h"

#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

namespace korva::app {
namespace {

CommandLine Parse(std::vector<const char *> arguments)
{
    arguments.insert(arguments.begin(), "korva-reference");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, CommandDataFileAndNewWindow)
{
    const CommandLine bare = Parse({});
    EXPECT_EQ(bare.action, CommandLine::Action::OpenWindow);
    EXPECT_TRUE(bare.command.empty());
    EXPECT_TRUE(bare.dataFile.empty());
    EXPECT_FALSE(bare.newWindow);

    const CommandLine full = Parse({"--data", "my ref", "--new-window", "sol"});
    EXPECT_EQ(full.action, CommandLine::Action::OpenWindow);
    EXPECT_EQ(full.dataFile, "my ref");
    EXPECT_TRUE(full.newWindow);
    EXPECT_EQ(full.command, "sol");
    EXPECT_EQ(Parse({"-d", "ref", "x"}).dataFile, "ref");
    EXPECT_EQ(Parse({"--data=ref"}).dataFile, "ref");
    EXPECT_EQ(Parse({"--", "--help"}).command, "--help"); // a command that looks like an option
    EXPECT_EQ(Parse({"-"}).command, "-");
}

TEST(CommandLine, HelpAndVersionWinOverTheRest)
{
    EXPECT_EQ(Parse({"sol", "--help"}).action, CommandLine::Action::ShowHelp);
    EXPECT_EQ(Parse({"-h"}).action, CommandLine::Action::ShowHelp);
    EXPECT_EQ(Parse({"--version", "x"}).action, CommandLine::Action::ShowVersion);
}

TEST(CommandLine, WrongUse)
{
    EXPECT_EQ(Parse({"--frobnicate"}).error, "unknown option --frobnicate");
    EXPECT_EQ(Parse({"-x"}).error, "unknown option -x");
    EXPECT_EQ(Parse({"sol", "gcd"}).error, "one COMMAND at most: 'gcd' is a second");
    EXPECT_EQ(Parse({"--data"}).error, "option --data needs a FILE");
    EXPECT_EQ(Parse({"--data="}).error, "option --data needs a FILE");
    EXPECT_EQ(Parse({"--data", ""}).error, "option --data needs a FILE"); // not the file beside the program
    EXPECT_EQ(Parse({"-d", ""}).error, "option -d needs a FILE");
    EXPECT_EQ(Parse({"sol", "--data"}).action, CommandLine::Action::UsageError);
}

// The toolkit reads its own options; they are neither a command nor a wrong use.
TEST(CommandLine, ToolkitOptionsPassOver)
{
    const CommandLine line = Parse({"-style", "fusion", "-reverse", "--platform=offscreen", "-qwindowgeometry",
                                    "400x300", "sol", "-stylesheet=a.qss"});
    EXPECT_EQ(line.action, CommandLine::Action::OpenWindow);
    EXPECT_EQ(line.command, "sol");
}

// The program as a terminal runs it, with no display at all: it answers and ends, and never starts a window.
class ProgramWithoutDisplay : public ::testing::Test
{
protected:
    // `environment`: NAME=value, set for the run; `outputTo`: where standard output goes, when not kept.
    testing::ProgramRun Run(std::vector<std::string> arguments, bool asAnotherUser = false,
                            const std::vector<std::string> &environment = {}, const std::string &outputTo = {})
    {
        std::vector<std::string> command = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
        command.insert(command.end(), environment.begin(), environment.end());
        std::string program = KORVA_PROGRAM;
        if (asAnotherUser) {
            // A copy in the test's own folder, which that user can reach wherever the build lies.
            const auto copy = folder_.Path() / "korva-reference";
            std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
            program = copy.string();
            command.insert(command.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "env"});
        } else {
            command.insert(command.begin(), "env");
        }
        command.push_back(program);
        command.insert(command.end(), arguments.begin(), arguments.end());
        const std::string runner = command.front();
        command.erase(command.begin());
        return testing::RunProgram(runner, command, {}, outputTo);
    }

    testing::TemporaryFolder folder_;
};

TEST_F(ProgramWithoutDisplay, HelpAndVersion)
{
    const testing::ProgramRun help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output, UsageText());
    EXPECT_TRUE(help.errors.empty());
    const testing::ProgramRun version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, std::string("korva-reference (Korva Command Reference) ") + KORVA_VERSION + "\n");
    EXPECT_TRUE(version.errors.empty());
}

TEST_F(ProgramWithoutDisplay, WrongUseEndsWithStatusTwo)
{
    const testing::ProgramRun unknown = Run({"--frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.output.empty());
    EXPECT_EQ(unknown.errors, "korva-reference: unknown option --frobnicate\n" + ShortUsageText());
    const testing::ProgramRun two = Run({"sol", "gcd"});
    EXPECT_EQ(two.status, 2);
    EXPECT_EQ(two.errors, "korva-reference: one COMMAND at most: 'gcd' is a second\n" + ShortUsageText());
}

TEST_F(ProgramWithoutDisplay, NamedDataFileThatCannotBeReadIsNamedWithStatusOne)
{
    const std::string missing = (folder_.Path() / "missing").string();
    const testing::ProgramRun absent = Run({"--data", missing, "sol"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.errors, "korva-reference: " + missing + ": No such file or directory\n");
    EXPECT_TRUE(absent.output.empty());

    const testing::ProgramRun folder = Run({"-d", folder_.Path().string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.errors, "korva-reference: " + folder_.Path().string() + ": is a folder\n");

    // A file its user may not read; the superuser reads anything, so the program runs as another user then.
    const std::string locked = folder_.Write("locked", "# a\n1\n2 d\n3\n0 p\n\n");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::filesystem::permissions(folder_.Path(), std::filesystem::perms::all);
    const testing::ProgramRun unreadable = Run({"--data", locked}, ::geteuid() == 0);
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.errors, "korva-reference: " + locked + ": Permission denied\n");
}

TEST_F(ProgramWithoutDisplay, PathsThatHoldAControlCharacterAreQuotedInMessages)
{
    const std::string missing = (folder_.Path() / "two\nlines").string();
    const testing::ProgramRun run = Run({"--data", missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "korva-reference: $'" + folder_.Path().string() + "/two\\nlines': No such file or directory\n");
}

// Without a display the window cannot open: it says so and ends with status 1, rather than aborting.
TEST_F(ProgramWithoutDisplay, TheWindowSaysThatNoDisplayIsFoundWithStatusOne)
{
    const testing::ProgramRun none = Run({"--data", KORVA_SAMPLE_DATA, "--new-window"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.output.empty());
    EXPECT_NE(none.errors.find("korva-reference: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so "
                               "the window cannot open"),
              std::string::npos)
        << none.errors;
    // A display named but out of reach: the toolkit gives up, and the program says why in its own words.
    const testing::ProgramRun unreachable = Run({"--data", KORVA_SAMPLE_DATA, "--new-window"}, false, {"DISPLAY=:97"});
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_NE(unreachable.errors.find("korva-reference: the display :97 cannot be opened, so the window cannot open"),
              std::string::npos)
        << unreachable.errors;
}

// Output that never reached its reader is a failure, not a success.
TEST_F(ProgramWithoutDisplay, OutputThatCannotBeWrittenIsAWriteError)
{
    for (const char *option : {"--help", "--version"}) {
        const testing::ProgramRun run = Run({option}, false, {}, "/dev/full");
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_EQ(run.errors, "korva-reference: write error: No space left on device\n") << option;
    }
}

} // namespace
} // namespace korva::app
