// SPDX-License-Identifier: MIT
// korvadoc-check: checks data files for the reference window and says where each breaks the format's rules.
#include "helpdata/checker.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char *kVersion = "1.0.0.1";
constexpr std::size_t kProblemsShown = 100;

constexpr const char *kUsage = R"(Usage: korvadoc-check [OPTION]... FILE...
Checks data files ("korvadoc") of Korva Command Reference against the format's rules and limits, and prints one
line per problem as FILE:LINE: error|warning: message.

An error breaks a rule: the viewer may lose an entry, or show it wrong or not at all. A warning marks something
valid that the viewer shows in a way a reader may not expect.

  --all          print every problem (without it, at most 100 per file)
  --no-warnings  print errors only
  --help         show this help and exit
  --version      show the version and exit

Exit status: 0 when every file follows every rule (warnings allowed), 1 when a file breaks one, 2 when a file
cannot be read.
)";

// The whole of a regular file, or false with errno set.
bool ReadFile(const std::string &path, std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status
    {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        errno = error;
        return false;
    }
    bytes.clear();
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
        if (count == 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    bool all = false;
    bool warnings = true;
    std::vector<std::string> files;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--all") {
            all = true;
        } else if (options && argument == "--no-warnings") {
            warnings = false;
        } else if (options && argument == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (options && argument == "--version") {
            std::cout << "korvadoc-check (Korva Command Reference) " << kVersion << "\n";
            return 0;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            std::cerr << "korvadoc-check: unknown option " << argument << "\nTry 'korvadoc-check --help'.\n";
            return 2;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        std::cerr << "korvadoc-check: no file to check\nTry 'korvadoc-check --help'.\n";
        return 2;
    }

    int status = 0;
    for (const std::string &file : files) {
        std::string bytes;
        if (!ReadFile(file, bytes)) {
            std::cerr << "korvadoc-check: " << file << ": cannot read: " << std::strerror(errno) << "\n";
            status = 2;
            continue;
        }
        const auto problems = korva::helpdata::CheckDataFile(bytes);
        std::size_t shown = 0;
        std::size_t hidden = 0;
        for (const auto &problem : problems) {
            const bool error = problem.severity == korva::helpdata::Problem::Severity::Error;
            if (!error && !warnings) {
                continue;
            }
            if (!all && shown == kProblemsShown) {
                ++hidden;
                continue;
            }
            std::cout << file << ":" << problem.line << ": " << (error ? "error" : "warning") << ": " << problem.message
                      << "\n";
            ++shown;
        }
        if (hidden > 0) {
            std::cout << file << ": " << hidden << " more problems not shown; --all shows every one\n";
        }
        if (!korva::helpdata::FollowsEveryRule(problems) && status == 0) {
            status = 1;
        }
    }
    return status;
}
