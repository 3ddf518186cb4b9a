// SPDX-License-Identifier: MIT
#include "terminal_text.h"

#include "platform/code_page.h"
#include "platform/unicode.h"

namespace korva::terminal {

namespace {

// Appends one character, shown rather than sent when it is a control character and `shown` says so.
void AppendCharacter(char32_t codePoint, bool shown, std::string &out)
{
    if (codePoint >= 0x20 && codePoint < 0x7F) {
        out += static_cast<char>(codePoint); // the most of any text: printable ASCII
        return;
    }
    if (shown && codePoint != u'\t' && codePoint != u'\n') {
        if (codePoint < 0x20) {
            out += '^';
            out += static_cast<char>(codePoint + 0x40);
            return;
        }
        if (codePoint == 0x7F) {
            out += "^?";
            return;
        }
        if (codePoint >= 0x80 && codePoint < 0xA0) {
            out += "M-^";
            out += static_cast<char>(codePoint - 0x80 + 0x40);
            return;
        }
    }
    platform::AppendUtf8(codePoint, out);
}

} // namespace

std::string Utf8(std::u16string_view text, bool shown)
{
    std::string out;
    out.reserve(text.size());
    AppendUtf8(text, shown, out);
    return out;
}

void AppendUtf8(std::u16string_view text, bool shown, std::string &out)
{
    for (std::size_t at = 0; at < text.size();) {
        AppendCharacter(platform::NextUtf16Character(text, at).value_or(platform::kReplacementCharacter), shown, out);
    }
}

std::string Utf8OfAnsi(std::string_view ansi, bool shown)
{
    std::string out;
    out.reserve(ansi.size());
    for (const char byte : ansi) {
        AppendCharacter(platform::AnsiCharToWide(static_cast<unsigned char>(byte)), shown, out);
    }
    return out;
}

std::string_view CutToColumns(std::string_view line, std::size_t columns)
{
    if (columns == 0) {
        return line;
    }
    std::size_t characters = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const bool starts = (static_cast<unsigned char>(line[at]) & 0xC0) != 0x80; // not a continuation byte
        if (starts && ++characters > columns) {
            return line.substr(0, at);
        }
    }
    return line;
}

} // namespace korva::terminal
