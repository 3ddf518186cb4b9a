// SPDX-License-Identifier: MIT
// CReferenceApp: the application object. Its start-up hook runs the whole program: it opens the data file "korvadoc"
// in the program's own folder (or the one the command line names), runs the reference window until the user closes
// it, and releases everything again. With a command to show, it first offers it to a window already open on the same
// file.
#pragma once

#include "command_line.h"
#include "platform/system_help_file.h"

#include <string>

namespace korva::app {

class CReferenceApp
{
public:
    // `programPath` is the full path of the running program; the data file is looked for in its folder unless
    // `commandLine` names one.
    CReferenceApp(int &argc, char **argv, std::string programPath, CommandLine commandLine = {});
    CReferenceApp(const CReferenceApp &) = delete;
    CReferenceApp &operator=(const CReferenceApp &) = delete;
    ~CReferenceApp();

    // Runs the program. Without the data file beside the program, it ends at once and shows nothing; a data file
    // named on the command line that does not open gets a line on standard error. Always false: once the window has
    // closed, nothing is left to run.
    bool InitInstance();
    // What the process ends with: 0, or 1 when the data file named on the command line could not be read.
    int ExitCode() const { return exitCode_; }

    // The data file's path: the program's folder (up to its last separator; nothing when the path has none) and
    // "korvadoc".
    static std::string DataFilePath(const std::string &programPath);

    // How long a launch waits for an open window to take its lookup before it opens its own.
    static constexpr int kHandOverTimeoutMs = 1000;

private:
    int &argc_;
    char **argv_;
    std::string programPath_;
    CommandLine commandLine_;
    platform::SystemHelpFile helpFile_;
    int exitCode_ = 0;
};

} // namespace korva::app
