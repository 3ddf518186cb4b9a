// SPDX-License-Identifier: MIT
#include "command_line.h"
#include "platform/console.h"
#include "platform/process_memory.h"
#include "platform/system_file.h"
#include "platform/system_help_file.h"
#include "reference_app.h"
#include "terminal/terminal_reference.h"

#include <cstddef>
#include <cstdint>
#include <iostream>

namespace {

using korva::app::CommandLine;

// A data file this large (about 7000 entries and more, as entries go) is answered from large pages.
constexpr std::uint32_t kLargeFile = 4 * 1024 * 1024;
constexpr std::size_t kWorkingBytes = std::size_t{16} * 1024 * 1024;

// --print, --list and --apropos: text on standard output, without the toolkit.
int AnswerInTheTerminal(const CommandLine &commandLine, const std::string &programPath)
{
    korva::platform::UseBinaryStandardStreams();
    const std::string path =
        commandLine.dataFile.empty() ? korva::app::CReferenceApp::DataFilePath(programPath) : commandLine.dataFile;
    korva::platform::SystemHelpFile file;
    if (!file.Open(path)) {
        std::cerr << "korva-reference: " << korva::platform::QuotedPath(path) << ": " << file.OpenFailure() << "\n";
        return korva::terminal::kCannotRead;
    }
    // The index, the names and the search's tables of a large file fill megabytes within a few tens of milliseconds,
    // after which the process ends: the index's store takes room for as many bytes as the file has (its names), and
    // the rest about 16 MiB at the most entries a list holds.
    if (file.Length() >= kLargeFile) {
        korva::platform::HeapInLargePages(std::size_t{file.Length()} + kWorkingBytes);
    }
    korva::terminal::Request request;
    request.text = commandLine.text;
    request.kind = commandLine.action == CommandLine::Action::Print  ? korva::terminal::Request::Kind::Print
                   : commandLine.action == CommandLine::Action::List ? korva::terminal::Request::Kind::List
                                                                     : korva::terminal::Request::Kind::Apropos;
    korva::terminal::Output output;
    output.terminal = korva::platform::StandardOutputIsTerminal();
    output.columns = output.terminal ? korva::platform::TerminalColumns() : 0;
    const int status = korva::terminal::Respond(request, file, output, std::cout, std::cerr);
    return korva::platform::FinishStandardOutput("korva-reference") ? status : korva::terminal::kCannotRead;
}

} // namespace

int main(int argc, char **argv)
{
    korva::platform::UseCheckedStandardOutput();
    const CommandLine commandLine = korva::app::ParseCommandLine(argc, argv);
    const std::string programPath = korva::platform::ProgramPath(argc > 0 ? argv[0] : "");
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
        std::cout << korva::app::UsageText();
        return korva::platform::FinishStandardOutput("korva-reference") ? 0 : 1;
    case CommandLine::Action::ShowVersion:
        std::cout << korva::app::VersionText();
        return korva::platform::FinishStandardOutput("korva-reference") ? 0 : 1;
    case CommandLine::Action::UsageError:
        std::cerr << "korva-reference: " << commandLine.error << "\n" << korva::app::ShortUsageText();
        return 2;
    case CommandLine::Action::Print:
    case CommandLine::Action::List:
    case CommandLine::Action::Apropos:
        return AnswerInTheTerminal(commandLine, programPath);
    case CommandLine::Action::OpenWindow:
        break;
    }
    korva::app::CReferenceApp app(argc, argv, programPath, commandLine);
    // Its result is false, always: the window has run its own loop to its end, and nothing is left to run.
    app.InitInstance();
    return app.ExitCode();
}
