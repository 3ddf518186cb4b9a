// SPDX-License-Identifier: MIT
#include "console.h"

#include "unicode.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <streambuf>

#if defined(_WIN32)
#include "windows_api.h"

#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace korva::platform {

namespace {

// A C0 or C1 control character, or DEL.
bool IsControl(char32_t character)
{
    return character < 0x20 || character == 0x7F || (character >= 0x80 && character < 0xA0);
}

} // namespace

std::string QuotedPath(std::string_view path)
{
    // Plain when it holds no control character and is well-formed UTF-8; otherwise quoted.
    bool plain = true;
    for (std::size_t at = 0; at < path.size() && plain;) {
        const std::optional<char32_t> character = NextUtf8Character(path, at);
        plain = character && !IsControl(*character);
    }
    if (plain) {
        return std::string(path);
    }
    std::string quoted = "$'";
    char escape[16];
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> character = NextUtf8Character(path, at);
        if (!character) {
            for (std::size_t byte = start; byte < at; ++byte) { // each byte of no character as itself
                std::snprintf(escape, sizeof escape, "\\x%02X",
                              static_cast<unsigned>(static_cast<unsigned char>(path[byte])));
                quoted += escape;
            }
            continue;
        }
        switch (*character) {
        case U'\n':
            quoted += "\\n";
            break;
        case U'\t':
            quoted += "\\t";
            break;
        case U'\r':
            quoted += "\\r";
            break;
        case U'\\':
        case U'\'':
            quoted += '\\';
            quoted += static_cast<char>(*character);
            break;
        default:
            if (*character < 0x80 && IsControl(*character)) {
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(*character));
                quoted += escape;
            } else if (IsControl(*character)) {
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(*character)); // a C1 control
                quoted += escape;
            } else {
                quoted += path.substr(start, at - start);
            }
        }
    }
    return quoted + "'";
}

void AppendShownCharacter(char32_t character, bool everyControl, std::string &out)
{
    if (character >= 0x20 && character < 0x7F) {
        out += static_cast<char>(character); // the most of any text: printable ASCII
        return;
    }
    if (everyControl || (character != U'\t' && character != U'\n')) {
        if (character < 0x20) {
            out += '^';
            out += static_cast<char>(character + 0x40);
            return;
        }
        if (character == 0x7F) {
            out += "^?";
            return;
        }
        if (character >= 0x80 && character < 0xA0) {
            out += "M-^";
            out += static_cast<char>(character - 0x80 + 0x40);
            return;
        }
    }
    AppendUtf8(character, out);
}

std::size_t ShownColumns(char32_t character)
{
    if (character < 0x20 || character == 0x7F) {
        return 2;
    }
    return character >= 0x80 && character < 0xA0 ? 4 : 1;
}

std::string ShownArgument(std::string_view text)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        AppendShownCharacter(NextUtf8Character(text, at).value_or(kReplacementCharacter), true, shown);
    }
    return shown;
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

namespace {

// Standard output's bytes, written with the system's own call, and the reason the first write that failed gave.
class CheckedOutput final : public std::streambuf
{
public:
    CheckedOutput() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

    int Error() const { return error_; }

protected:
    int_type overflow(int_type byte) override
    {
        if (!Flush()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(byte, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(byte);
            pbump(1);
        }
        return traits_type::not_eof(byte);
    }

    int sync() override { return Flush() ? 0 : -1; }

private:
    bool Flush()
    {
        const char *at = pbase();
        while (at < pptr() && error_ == 0) {
#if defined(_WIN32)
            const auto wrote = ::_write(1, at, static_cast<unsigned>(pptr() - at));
#else
            const ssize_t wrote = ::write(STDOUT_FILENO, at, static_cast<std::size_t>(pptr() - at));
#endif
            if (wrote > 0) {
                at += wrote;
            } else if (wrote < 0 && errno == EINTR) {
                continue;
            } else {
                error_ = wrote < 0 ? errno : EIO;
            }
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return error_ == 0;
    }

    std::array<char, std::size_t{64} * 1024> buffer_{};
    int error_ = 0;
};

CheckedOutput *checkedOutput = nullptr;

} // namespace

void UseCheckedStandardOutput()
{
    // Never destroyed: the standard streams flush std::cout once more as the process exits, after the program's own
    // statics are gone.
    static CheckedOutput &output = *new CheckedOutput;
    checkedOutput = &output;
    std::cout.rdbuf(&output);
}

bool FinishStandardOutput(std::string_view program)
{
    errno = 0;
    std::cout.flush();
    int error = checkedOutput != nullptr ? checkedOutput->Error() : errno;
    if (std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout) && error == 0) {
        return true;
    }
    error = error != 0 ? error : errno;
    std::cerr << program << ": write error" << (error != 0 ? ": " : "") << (error != 0 ? std::strerror(error) : "")
              << "\n";
    return false;
}

} // namespace korva::platform
