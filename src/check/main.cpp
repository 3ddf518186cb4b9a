// SPDX-License-Identifier: MIT
// korvadoc-check: checks data files for the reference window and says where each breaks the format's rules.
#include "checker.h"
#include "platform/console.h"
#include "platform/system_file.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char *kVersion = KORVA_VERSION;
constexpr std::size_t kProblemsShown = 100;

constexpr const char *kUsage = R"(Usage: korvadoc-check [OPTION]... FILE...
Checks data files ("korvadoc") of Korva Command Reference against the format's rules and limits, and prints one
line per problem as FILE:LINE: error|warning|note: message. A FILE of - reads standard input.

An error breaks a rule: the viewer may lose an entry, or show it wrong or not at all. A warning marks something
valid that is likely a mistake. A note tells what is usually meant, such as lines the search skips.

  --all          print every problem (without it, at most 100 per file)
  --no-warnings  print errors only
  --notes        print notes too
  --help         show this help and exit
  --version      show the version and exit

Exit status: 0 when every file follows every rule (warnings allowed), 1 when a file breaks one, 2 when a file
cannot be read or the report cannot be written.
)";

struct Options
{
    bool all = false;
    bool warnings = true;
    bool notes = false;
};

const char *SeverityName(korva::check::Severity severity)
{
    switch (severity) {
    case korva::check::Severity::Error:
        return "error";
    case korva::check::Severity::Warning:
        return "warning";
    case korva::check::Severity::Note:
        return "note";
    }
    return "";
}

// Checks one file; yields its exit status.
int CheckFile(const std::string &path, const Options &options)
{
    korva::platform::SystemFile file;
    std::string reason;
    const std::string name = path == "-" ? "(standard input)" : korva::platform::QuotedPath(path);
    if (path == "-") {
        file.OpenStandardInput();
    } else if (!file.Open(path, &reason)) {
        std::cerr << "korvadoc-check: " << name << ": " << reason << "\n";
        return 2;
    }
    const auto print = [&name](const korva::check::Problem &problem) {
        std::cout << name << ":" << problem.line << ": " << SeverityName(problem.severity) << ": " << problem.message
                  << "\n";
    };
    // The first hundred are kept and shown in line order; --all shows every problem as it is found, in bounded
    // memory, so that the problems of the related commands, known only at the end, come after the others.
    korva::check::ProblemsInLineOrder problems(options.all ? 0 : kProblemsShown);
    korva::check::Checker checker(path == "-" ? "korvadoc" : name, [&](const korva::check::Problem &problem) {
        if ((problem.severity == korva::check::Severity::Warning && !options.warnings) ||
            (problem.severity == korva::check::Severity::Note && !options.notes)) {
            return;
        }
        if (options.all) {
            print(problem);
        } else {
            problems.Add(problem);
        }
    });
    std::vector<char> block(std::size_t{64} * 1024);
    for (;;) {
        const auto count = file.Read(block, &reason);
        if (!count) {
            std::cerr << "korvadoc-check: " << name << ": cannot read: " << reason << "\n";
            return 2;
        }
        if (*count == 0) {
            break;
        }
        checker.Feed(std::string_view(block.data(), *count));
    }
    checker.Finish();
    for (const korva::check::Problem &problem : problems.Take()) {
        print(problem);
    }
    if (!options.all && problems.Dropped() > 0) {
        std::cout << name << ": " << problems.Dropped() << " more problems not shown; --all shows every one\n";
    }
    return checker.FoundError() ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    korva::platform::UseBinaryStandardStreams();
    korva::platform::UseCheckedStandardOutput();
    Options options;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnd || argument == "-" || argument.empty() || argument[0] != '-') {
            files.push_back(argument);
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "--all") {
            options.all = true;
        } else if (argument == "--no-warnings") {
            options.warnings = false;
        } else if (argument == "--notes") {
            options.notes = true;
        } else if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return korva::platform::FinishStandardOutput("korvadoc-check") ? 0 : 2;
        } else if (argument == "--version") {
            std::cout << "korvadoc-check (Korva Command Reference) " << kVersion << "\n";
            return korva::platform::FinishStandardOutput("korvadoc-check") ? 0 : 2;
        } else {
            std::cerr << "korvadoc-check: unknown option " << korva::platform::ShownArgument(argument)
                      << "\nTry 'korvadoc-check --help'.\n";
            return 2;
        }
    }
    if (files.empty()) {
        std::cerr << "korvadoc-check: no file to check\nTry 'korvadoc-check --help'.\n";
        return 2;
    }

    int status = 0;
    for (const std::string &file : files) {
        status = std::max(status, CheckFile(file, options));
    }
    // A report that did not reach its reader is no report.
    return korva::platform::FinishStandardOutput("korvadoc-check") ? status : 2;
}
