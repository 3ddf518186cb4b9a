// SPDX-License-Identifier: MIT
#include "command_line.h"

#include "platform/console.h"

#include <array>
#include <optional>
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

namespace {

// The value of an option that takes one: after "=" in the same argument, or the next argument. Empty when there is
// none; `i` moves past the value.
std::optional<std::string> OptionValue(std::string_view argument, int &i, int argc, const char *const *argv)
{
    if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
        return std::string(argument.substr(equals + 1));
    }
    if (i + 1 >= argc) {
        return std::nullopt;
    }
    return std::string(argv[++i]);
}

bool IsBlank(const std::string &text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

// True for the long option `--name`, with its value after "=" or not.
bool IsLongOption(std::string_view argument, std::string_view name)
{
    return argument.starts_with("--") && argument.substr(2, name.size()) == name &&
           (argument.size() == name.size() + 2 || argument[name.size() + 2] == '=');
}

} // namespace

CommandLine ParseCommandLine(int argc, const char *const *argv)
{
    CommandLine line;
    bool commandGiven = false;
    bool optionsEnd = false;
    std::string terminalOption; // the option that asked for text on standard output, if one did
    const auto takeTerminalAction = [&](CommandLine::Action action,
                                        std::string_view option) -> std::optional<CommandLine> {
        if (!terminalOption.empty()) {
            return UsageError(terminalOption + " and " + std::string(option) + " do not go together");
        }
        terminalOption = option;
        line.action = action;
        return std::nullopt;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool option = !optionsEnd && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            if (commandGiven) {
                return UsageError("one COMMAND at most: '" + platform::ShownArgument(argument) + "' is a second");
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
        } else if (IsLongOption(argument, "data") || argument == "-d") {
            const std::optional<std::string> file = OptionValue(argument, i, argc, argv);
            if (!file || file->empty()) {
                return UsageError("option " + std::string(argument.substr(0, argument.find('='))) + " needs a FILE");
            }
            line.dataFile = *file;
        } else if (IsLongOption(argument, "print") || argument == "-p" || IsLongOption(argument, "apropos") ||
                   argument == "-k") {
            const bool print = IsLongOption(argument, "print") || argument == "-p";
            const std::string_view shown = argument.substr(0, argument.find('='));
            if (auto wrong =
                    takeTerminalAction(print ? CommandLine::Action::Print : CommandLine::Action::Apropos, shown)) {
                return *wrong;
            }
            const std::optional<std::string> text = OptionValue(argument, i, argc, argv);
            if (!text || IsBlank(*text)) {
                return UsageError("option " + std::string(shown) + (print ? " needs a NAME" : " needs a TEXT"));
            }
            line.text = *text;
        } else if (argument == "--list" || argument == "-l") {
            if (auto wrong = takeTerminalAction(CommandLine::Action::List, argument)) {
                return *wrong;
            }
        } else if (Contains(kToolkitOptionsWithValue, name)) {
            i += hasValue ? 0 : 1; // its value, if given apart, is the toolkit's too
        } else if (!Contains(kToolkitFlags, name)) {
            return UsageError("unknown option " + platform::ShownArgument(argument));
        }
    }
    if (!terminalOption.empty() && (commandGiven || line.newWindow)) {
        return UsageError(terminalOption + " opens no window: it takes no COMMAND and no --new-window");
    }
    return line;
}

std::string UsageText()
{
    return "Usage: korva-reference [--data FILE] [--new-window] [COMMAND]\n"
           "       korva-reference [--data FILE] --print NAME | --list | --apropos TEXT\n"
           "       korva-reference --help | --version\n"
           "Shows the commands of the Korva computer-algebra system in a window: a sorted list, each command's entry,\n"
           "its related commands, and a search through the whole reference; or, from a terminal or a script, an\n"
           "entry, the commands or the results of a search, on standard output.\n"
           "\n"
           "  COMMAND            show the command named COMMAND, else the first named COMMAND in any case, else the\n"
           "                     first that begins with COMMAND; when none does, put COMMAND in the search text with\n"
           "                     its results open. A window already open on the same data file shows it instead, and\n"
           "                     this launch ends.\n"
           "  -d, --data FILE    read FILE instead of the korvadoc beside the program\n"
           "  --new-window       open a window of its own, even when one is open on the same data file\n"
           "  -p, --print NAME   print the entry of NAME as the window shows it: the command named NAME, else the\n"
           "                     first named NAME in any case, else the first that begins with NAME\n"
           "  -l, --list         print every command's name, one a line, in the list's order\n"
           "  -k, --apropos TEXT print the commands whose name or entry holds TEXT, best first, as NAME - DESCRIPTION\n"
           "  -h, --help         show this help and exit\n"
           "  --version          show the version and exit\n"
           "\n"
           "--print, --list and --apropos need no display and start no window. Their text is UTF-8; on a terminal,\n"
           "control characters from the data file show as ^[ and the like, and --apropos cuts its lines to the\n"
           "terminal's width. The toolkit's own options (-style, -platform, -reverse...) work as in any Qt program.\n"
           "\n"
           "Exit status: 0 when found, or the window was closed, also when the lookup went to an open window; 1 when\n"
           "the data file cannot be read, no display is found or the output cannot be written; 2 for a wrong use;\n"
           "16 when --print or --apropos finds nothing.\n";
}

std::string ShortUsageText()
{
    return "Usage: korva-reference [--data FILE] [--new-window] [COMMAND]\n"
           "       korva-reference [--data FILE] --print NAME | --list | --apropos TEXT\n"
           "Try 'korva-reference --help'.\n";
}

std::string VersionText()
{
    return std::string("korva-reference (Korva Command Reference) ") + KORVA_VERSION + "\n";
}

} // namespace korva::app
