// SPDX-License-Identifier: MIT
#include "console.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#if defined(_WIN32)
#include "windows_api.h"

#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace korva::platform {

namespace {

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

std::string QuotedPath(std::string_view path)
{
    if (std::none_of(path.begin(), path.end(), IsControl)) {
        return std::string(path);
    }
    std::string quoted = "$'";
    for (const char c : path) {
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\\':
        case '\'':
            quoted += '\\';
            quoted += c;
            break;
        default:
            if (IsControl(c)) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "'";
}

bool StandardOutputIsTerminal()
{
#if defined(_WIN32)
    return ::_isatty(::_fileno(stdout)) != 0;
#else
    return ::isatty(STDOUT_FILENO) != 0;
#endif
}

std::size_t TerminalColumns()
{
#if defined(_WIN32)
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &screen) != 0) {
        return static_cast<std::size_t>(screen.srWindow.Right - screen.srWindow.Left + 1);
    }
    return 0;
#else
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 0;
#endif
}

bool FinishStandardOutput(std::string_view program)
{
    errno = 0;
    std::cout.flush(); // the stream writes through standard output's buffer, which the flush below empties
    int error = errno;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good()) {
        return true;
    }
    error = error != 0 ? error : errno;
    std::cerr << program << ": write error" << (error != 0 ? ": " : "") << (error != 0 ? std::strerror(error) : "")
              << "\n";
    return false;
}

} // namespace korva::platform
