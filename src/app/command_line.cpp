// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <array>
#include <string_view>

namespace korva::app {

namespace {

// The toolkit's own options, with one dash or two: those that take a value (as the next argument, or after "="), and
// those that do not. The toolkit reads them itself.
constexpr std::array<std::string_view, 16> kToolkitOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "geometry", "qwindowicon",
    "icon",     "qwindowtitle",       "title",         "display", "session",         "style",    "stylesheet",
    "name",     "qmljsdebugger"};
constexpr std::array<std::string_view, 6> kToolkitFlags = {"reverse", "widgetcount", "nograb",
                                                           "dograb",  "sync",        "testability"};

// The option's name without its dashes and any "=value"; empty when `argument` is no option.
std::string_view OptionName(std::string_view argument)
{
    if (argument.size() < 2 || argument[0] != '-') {
        return {};
    }
    argument.remove_prefix(argument[1] == '-' ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

bool Contains(const auto &names, std::string_view name)
{
    for (const std::string_view candidate : names) {
        if (candidate == name) {
            return true;
        }
    }
    return false;
}

CommandLine UsageError(std::string error)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(error);
    return line;
}

} // namespace

CommandLine ParseCommandLine(int argc, const char *const *argv)
{
    CommandLine line;
    bool commandGiven = false;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool option = !optionsEnd && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            if (commandGiven) {
                return UsageError("one COMMAND at most: '" + std::string(argument) + "' is a second");
            }
            line.command = argument;
            commandGiven = true;
            continue;
        }
        const std::string_view name = OptionName(argument);
        const bool hasValue = argument.find('=') != std::string_view::npos;
        if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::ShowHelp;
            return line;
        } else if (argument == "--version") {
            line.action = CommandLine::Action::ShowVersion;
            return line;
        } else if (argument == "--new-window") {
            line.newWindow = true;
        } else if (argument.starts_with("--data=")) {
            line.dataFile = argument.substr(7);
            if (line.dataFile.empty()) {
                return UsageError("option --data needs a FILE");
            }
        } else if (argument == "--data" || argument == "-d") {
            if (i + 1 >= argc) {
                return UsageError("option " + std::string(argument) + " needs a FILE");
            }
            line.dataFile = argv[++i];
            if (line.dataFile.empty()) {
                return UsageError("option " + std::string(argument) + " needs a FILE");
            }
        } else if (Contains(kToolkitOptionsWithValue, name)) {
            i += hasValue ? 0 : 1; // its value, if given apart, is the toolkit's too
        } else if (!Contains(kToolkitFlags, name)) {
            return UsageError("unknown option " + std::string(argument));
        }
    }
    return line;
}

std::string UsageText()
{
    return "Usage: korva-reference [--data FILE] [--new-window] [COMMAND]\n"
           "       korva-reference --help | --version\n"
           "Shows the commands of the Korva computer-algebra system in a window: a sorted list, each command's entry,\n"
           "its related commands, and a search through the whole reference.\n"
           "\n"
           "  COMMAND          show the first command that begins with COMMAND (case ignored); when none does, put\n"
           "                   COMMAND in the search text with its results open. A window already open on the same\n"
           "                   data file shows it instead, and this launch ends.\n"
           "  -d, --data FILE  read FILE instead of the korvadoc beside the program\n"
           "  --new-window     open a window of its own, even when one is open on the same data file\n"
           "  -h, --help       show this help and exit\n"
           "  --version        show the version and exit\n"
           "\n"
           "The toolkit's own options (-style, -platform, -reverse...) work as in any Qt program.\n"
           "Exit status: 0, also when the lookup went to an open window; 1 when FILE cannot be read, no display is\n"
           "found or the output cannot be written; 2 for a wrong use.\n";
}

std::string ShortUsageText()
{
    return "Usage: korva-reference [--data FILE] [--new-window] [COMMAND]\n"
           "Try 'korva-reference --help'.\n";
}

std::string VersionText()
{
    return std::string("korva-reference (Korva Command Reference) ") + KORVA_VERSION + "\n";
}

} // namespace korva::app
