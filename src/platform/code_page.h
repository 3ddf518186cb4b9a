// SPDX-License-Identifier: MIT
// The data file's code page: Windows-1252, one byte per character, converted to and from UTF-16 by a table of our
// own. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so every byte has a character and converts back to itself.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace korva::platform {

// The character that stands in for one the code page lacks.
inline constexpr char kDefaultAnsiChar = '?';

// The UTF-16 unit of one byte.
char16_t AnsiCharToWide(unsigned char byte);

// The byte of one Unicode code point, or kDefaultAnsiChar when the code page lacks it.
char WideCharToAnsi(char32_t codePoint);

// Converts `ansi` into `out`, cut to `out.size() - 1` units, and terminates it with a NUL unit.
// Yields the units written, the terminator not counted. Writes nothing when `out` is empty.
std::size_t AnsiToWide(std::string_view ansi, std::span<char16_t> out);

// Converts `wide` into `out`, one byte per character (a surrogate pair is one character, a lone surrogate becomes
// kDefaultAnsiChar), cut at a character boundary to `out.size() - 1` bytes, and terminates it with a NUL byte.
// Yields the bytes written, the terminator not counted. Writes nothing when `out` is empty.
std::size_t WideToAnsi(std::u16string_view wide, std::span<char> out);

// True when the code page has a byte for each character of `wide`; false when WideToAnsi would make one of them
// kDefaultAnsiChar (a character the code page lacks, or a lone surrogate), which no text of the file can hold.
bool CodePageHolds(std::u16string_view wide);

// Copies `text` into `buffer` as a control's text is copied out (Window::GetControlText): at most `buffer.size() - 1`
// units, never a surrogate pair's first half without its second, and a NUL unit after them. Yields the units
// copied; writes nothing into an empty buffer.
std::size_t CopyTextCut(std::u16string_view text, std::span<char16_t> buffer);

// The lower-case unit of each unit below 0x100: ASCII and Latin-1 letters, but the multiplication sign.
inline constexpr std::array<char16_t, 256> kFoldedLatin1 = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t unit = 0; unit < table.size(); ++unit) {
        const bool upper = (unit >= 'A' && unit <= 'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7);
        table[unit] = static_cast<char16_t>(upper ? unit + 0x20 : unit);
    }
    return table;
}();

// FoldCase for units from 0x100 on: the code page's letters Œ, Š, Ž and Ÿ.
char16_t FoldCaseBeyondLatin1(char16_t unit);

// Case folding for the list's order and prefix search: maps the upper-case letters of the code page's repertoire
// (ASCII, Latin-1, and the letters of 0x80-0x9F) to lower case; every other unit stands for itself.
inline char16_t FoldCase(char16_t unit)
{
    return unit < kFoldedLatin1.size() ? kFoldedLatin1[unit] : FoldCaseBeyondLatin1(unit);
}

// Three-way comparison of the folded texts, unit by unit: negative, zero or positive.
int CompareFolded(std::u16string_view a, std::u16string_view b);

// True when `text` begins with `prefix`, case ignored.
bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix);

} // namespace korva::platform
