// SPDX-License-Identifier: MIT
#include "code_page.h"

#include "unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace korva::platform {

namespace {

// Bytes 0x80-0x9F; the rest of the code page is Latin-1 and maps to the code point of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Every byte's UTF-16 unit, so that a conversion is one table lookup a byte.
constexpr std::array<char16_t, 256> kWideOfByte = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return table;
}();

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

char16_t AnsiCharToWide(unsigned char byte)
{
    return kWideOfByte[byte];
}

char WideCharToAnsi(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), codePoint);
    if (found != kHighControls.end()) {
        return static_cast<char>(0x80 + (found - kHighControls.begin()));
    }
    return kDefaultAnsiChar;
}

std::size_t AnsiToWide(std::string_view ansi, std::span<char16_t> out)
{
    if (out.empty()) {
        return 0;
    }
    const std::size_t count = std::min(ansi.size(), out.size() - 1);
    std::transform(ansi.begin(), ansi.begin() + static_cast<std::ptrdiff_t>(count), out.begin(),
                   [](char byte) { return kWideOfByte[static_cast<unsigned char>(byte)]; });
    out[count] = u'\0';
    return count;
}

std::size_t WideToAnsi(std::u16string_view wide, std::span<char> out)
{
    if (out.empty()) {
        return 0;
    }
    const std::size_t room = out.size() - 1;
    std::size_t written = 0;
    for (std::size_t at = 0; at < wide.size() && written < room;) {
        if (wide[at] < 0x80) {
            out[written++] = static_cast<char>(wide[at++]); // ASCII, most of any text, is itself
            continue;
        }
        // A lone surrogate is no character; one beyond the BMP is never in the code page.
        const std::optional<char32_t> character = NextUtf16Character(wide, at);
        out[written++] = character ? WideCharToAnsi(*character) : kDefaultAnsiChar;
    }
    out[written] = '\0';
    return written;
}

bool CodePageHolds(std::u16string_view wide)
{
    for (std::size_t at = 0; at < wide.size();) {
        const std::optional<char32_t> character = NextUtf16Character(wide, at);
        if (!character || (*character != U'?' && WideCharToAnsi(*character) == kDefaultAnsiChar)) {
            return false;
        }
    }
    return true;
}

std::size_t CopyTextCut(std::u16string_view text, std::span<char16_t> buffer)
{
    if (buffer.empty()) {
        return 0;
    }
    std::size_t count = std::min(text.size(), buffer.size() - 1);
    if (count > 0 && count < text.size() && IsHighSurrogate(text[count - 1])) {
        --count; // never split a surrogate pair
    }
    std::copy_n(text.data(), count, buffer.data());
    buffer[count] = u'\0';
    return count;
}

char16_t FoldCaseBeyondLatin1(char16_t unit)
{
    switch (unit) {
    case 0x0152: // Œ
    case 0x0160: // Š
    case 0x017D: // Ž
        return static_cast<char16_t>(unit + 1);
    case 0x0178: // Ÿ
        return 0x00FF;
    default:
        return unit;
    }
}

int CompareFolded(std::u16string_view a, std::u16string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t x = FoldCase(a[i]);
        const char16_t y = FoldCase(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix)
{
    return prefix.size() <= text.size() && CompareFolded(text.substr(0, prefix.size()), prefix) == 0;
}

} // namespace korva::platform
