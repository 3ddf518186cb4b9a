// SPDX-License-Identifier: MIT
// The program's command line:
//   korva-reference [--data FILE] [--new-window] [COMMAND]
//   korva-reference [--data FILE] --print NAME | --list | --apropos TEXT
//   korva-reference --help | --version
// Qt's own options (-style, -platform, -reverse...) are passed over here and left to the toolkit.
#pragma once

#include <string>

namespace korva::app {

struct CommandLine
{
    enum class Action
    {
        OpenWindow,
        Print,   // the entry of `text`, on standard output
        List,    // every command name
        Apropos, // the ranked results for `text`
        ShowHelp,
        ShowVersion,
        UsageError, // `error` says what is wrong
    };

    Action action = Action::OpenWindow;
    // The data file named with --data; empty for the "korvadoc" beside the program.
    std::string dataFile;
    // --new-window: open a window of its own even when one is open on the same data file.
    bool newWindow = false;
    // The command to show (as given, UTF-8); empty when none was given.
    std::string command;
    // The NAME of --print or the TEXT of --apropos (UTF-8).
    std::string text;
    std::string error;
};

CommandLine ParseCommandLine(int argc, const char *const *argv);

// What --help prints, and the short usage a wrong use ends with.
std::string UsageText();
std::string ShortUsageText();
// What --version prints.
std::string VersionText();

} // namespace korva::app
