// SPDX-License-Identifier: MIT
// The command line: what it asks for, and the program's answer when no window is wanted or possible.
#include "app/command_line.h"
#include "test_support/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
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

TEST(CommandLine, PrintListAndAproposForATerminal)
{
    const CommandLine print = Parse({"--data", "ref", "--print", "solve"});
    EXPECT_EQ(print.action, CommandLine::Action::Print);
    EXPECT_EQ(print.text, "solve");
    EXPECT_EQ(print.dataFile, "ref");
    EXPECT_EQ(Parse({"-p", "gcd"}).text, "gcd");
    EXPECT_EQ(Parse({"--print=gcd"}).text, "gcd");
    EXPECT_EQ(Parse({"--list"}).action, CommandLine::Action::List);
    EXPECT_EQ(Parse({"-l", "-d", "ref"}).action, CommandLine::Action::List);
    const CommandLine apropos = Parse({"-k", "prime factor"});
    EXPECT_EQ(apropos.action, CommandLine::Action::Apropos);
    EXPECT_EQ(apropos.text, "prime factor");
    EXPECT_EQ(Parse({"--apropos=x"}).text, "x");
    EXPECT_EQ(Parse({"--print", "gcd", "--help"}).action, CommandLine::Action::ShowHelp);
}

TEST(CommandLine, TerminalOptionsUsedWrongly)
{
    const std::vector<std::pair<std::vector<const char *>, std::string>> wrong = {
        {{"--print"}, "option --print needs a NAME"},
        {{"-p", ""}, "option -p needs a NAME"},
        {{"--apropos", " "}, "option --apropos needs a TEXT"},
        {{"--apropos="}, "option --apropos needs a TEXT"},
        {{"-k"}, "option -k needs a TEXT"},
        {{"--print", "gcd", "--list"}, "--print and --list do not go together"},
        {{"-l", "-k", "x"}, "-l and -k do not go together"},
        {{"--list", "gcd"}, "--list opens no window: it takes no COMMAND and no --new-window"},
        {{"--new-window", "-k", "x"}, "-k opens no window: it takes no COMMAND and no --new-window"},
        {{"--printer"}, "unknown option --printer"},
    };
    for (const auto &[arguments, error] : wrong) {
        const CommandLine line = Parse(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::UsageError) << error;
        EXPECT_EQ(line.error, error);
    }
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
    // What the user typed is shown as data-file text is, never sent: no argument drives the terminal.
    EXPECT_EQ(Run({"--fo\x1b]0;x\x07o"}).errors, "korva-reference: unknown option --fo^[]0;x^Go\n" + ShortUsageText());
    EXPECT_EQ(Run({"sol", "two\nlines \xc2\x9b"}).errors,
              "korva-reference: one COMMAND at most: 'two^Jlines M-^[' is a second\n" + ShortUsageText());
    const testing::ProgramRun name = Run({"-d", KORVA_SAMPLE_DATA, "-p", "zz\nzz"});
    EXPECT_EQ(name.errors, "korva-reference: no command is named or begins with 'zz^Jzz'\n");
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
    // A C1 control (a terminal's CSI) and a byte of no character, escaped as a shell reads them back.
    const std::string c1 = (folder_.Path() / "csi\xc2\x9b"
                                             "2J \xff")
                               .string();
    EXPECT_EQ(Run({"--data", c1}).errors,
              "korva-reference: $'" + folder_.Path().string() + "/csi\\u009B2J \\xFF': No such file or directory\n");
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
    for (const std::vector<std::string> &arguments :
         std::vector<std::vector<std::string>>{{"--help"},
                                               {"--version"},
                                               {"-d", KORVA_SAMPLE_DATA, "--list"},
                                               {"-d", KORVA_SAMPLE_DATA, "--apropos", "matrix"},
                                               {"-d", KORVA_SAMPLE_DATA, "--print", "gcd"}}) {
        const testing::ProgramRun run = Run(arguments, false, {}, "/dev/full");
        EXPECT_EQ(run.status, 1) << arguments.back();
        EXPECT_EQ(run.errors, "korva-reference: write error: No space left on device\n") << arguments.back();
    }
}

// The reference in a terminal or a script: no display, no window, an exit status a script can test.
TEST_F(ProgramWithoutDisplay, PrintListAndAproposNeedNoDisplay)
{
    const testing::ProgramRun print = Run({"--data", KORVA_SAMPLE_DATA, "--print", "lcm"});
    EXPECT_EQ(print.status, 0);
    EXPECT_EQ(print.output, "Least common multiple of integers or of polynomials.\n\nParams:lcm(a, b, ...)\n\n"
                            "Examples:\nlcm(4, 6)  \xc2\xbb 12\n");
    EXPECT_EQ(print.errors, "");
    const testing::ProgramRun list = Run({"-d", KORVA_SAMPLE_DATA, "--list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.output.substr(0, 20), "abs\nassume\nbinomial\n");
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 73);
    const testing::ProgramRun apropos = Run({"-d", KORVA_SAMPLE_DATA, "--apropos", "determinant"});
    EXPECT_EQ(apropos.status, 0);
    EXPECT_EQ(apropos.output.substr(0, 30), "det - Determinant of a square ");

    const std::vector<std::pair<std::vector<std::string>, int>> statuses = {
        {{"-d", KORVA_SAMPLE_DATA, "-p", "slove"}, 16},           {{"-d", KORVA_SAMPLE_DATA, "-k", "qqqqzz"}, 16},
        {{"-d", (folder_.Path() / "missing").string(), "-l"}, 1}, {{"-d", KORVA_SAMPLE_DATA, "-k", ""}, 2},
        {{"-d", KORVA_SAMPLE_DATA, "-p", "gcd", "-l"}, 2},
    };
    for (const auto &[arguments, status] : statuses) {
        const testing::ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, status) << arguments[2] << " " << arguments.back();
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors, "");
    }
    // Without its data file beside it, the program says so: a script must tell nothing found from nothing read.
    const auto alone = folder_.Path() / "korva-reference";
    std::filesystem::copy_file(KORVA_PROGRAM, alone);
    const testing::ProgramRun missing = testing::RunProgram(alone.string(), {"--list"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors,
              "korva-reference: " + (folder_.Path() / "korvadoc").string() + ": No such file or directory\n");
    EXPECT_EQ(Run({"-l"}, false, {}, "/dev/full").status, 1);
}

// Printed to a terminal, a data file's control characters are shown, never sent; into a pipe they are the entry's own.
TEST_F(ProgramWithoutDisplay, ControlCharactersReachATerminalShownAndAPipeAsTheyAre)
{
    const std::string data = folder_.Write("bells", "# bell\n1\n2 rings \x07 and \x1b]0;owned\x07 done\n3\n0 p\n\n");
    const testing::ProgramRun piped = Run({"-d", data, "--print", "bell"});
    EXPECT_EQ(piped.output, "rings \x07 and \x1b]0;owned\x07 done\n\nParams:p\n");

    // The same through a pseudo-terminal, as a terminal shows it.
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const std::string side = ::ptsname(terminal);
    const std::string program = KORVA_PROGRAM;
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(side.c_str(), O_RDWR);
        ::dup2(fd, STDOUT_FILENO);
        ::execl(program.c_str(), program.c_str(), "-d", data.c_str(), "--print", "bell", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    std::string shown;
    char bytes[256];
    for (ssize_t got; (got = ::read(terminal, bytes, sizeof bytes)) > 0;) {
        shown.append(bytes, static_cast<std::size_t>(got));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(terminal);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(shown, "rings ^G and ^[]0;owned^G done\r\n\r\nParams:p\r\n"); // the terminal's own CR LF
}

} // namespace
} // namespace korva::app
