// SPDX-License-Identifier: MIT
#include "command_line.h"
#include "platform/console.h"
#include "platform/system_file.h"
#include "reference_app.h"

#include <iostream>

int main(int argc, char **argv)
{
    using korva::app::CommandLine;
    const CommandLine commandLine = korva::app::ParseCommandLine(argc, argv);
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
    case CommandLine::Action::OpenWindow:
        break;
    }
    korva::app::CReferenceApp app(argc, argv, korva::platform::ProgramPath(argc > 0 ? argv[0] : ""), commandLine);
    app.InitInstance();
    return app.ExitCode();
}
