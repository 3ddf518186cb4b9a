// SPDX-License-Identifier: MIT
#include "terminal_text.h"

#include "platform/code_page.h"

namespace korva::terminal {

namespace {

void AppendUtf8(char32_t codePoint, std::string &out)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

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
    AppendUtf8(codePoint, out);
}

bool IsHigh(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
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
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            codePoint = 0x10000 + ((static_cast<char32_t>(text[i]) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHigh(text[i]) || IsLow(text[i])) {
            codePoint = 0xFFFD;
        }
        AppendCharacter(codePoint, shown, out);
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
