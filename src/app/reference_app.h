// SPDX-License-Identifier: MIT
// CReferenceApp: the application object. Its start-up hook runs the whole program: it opens the data file "korvadoc"
// in the program's own folder, runs the reference window until the user closes it, and releases everything again.
#pragma once

#include "platform/system_help_file.h"

#include <string>

namespace korva::app {

class CReferenceApp
{
public:
    // `programPath` is the full path of the running program; the data file is looked for in its folder.
    CReferenceApp(int &argc, char **argv, std::string programPath);
    CReferenceApp(const CReferenceApp &) = delete;
    CReferenceApp &operator=(const CReferenceApp &) = delete;
    ~CReferenceApp();

    // Runs the program. Without a data file that opens, it ends at once and shows nothing. Always false: once the
    // window has closed, nothing is left to run.
    bool InitInstance();

    // The data file's path: the program's folder (up to its last "/"; nothing when the path has none) and
    // "korvadoc".
    static std::string DataFilePath(const std::string &programPath);

private:
    int &argc_;
    char **argv_;
    std::string programPath_;
    platform::SystemHelpFile helpFile_;
};

} // namespace korva::app
