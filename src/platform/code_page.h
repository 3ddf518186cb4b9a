// SPDX-License-Identifier: MIT
// The data file's code page: Windows-1252, one byte per character, converted to and from UTF-16 by a table of our
// own. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so every byte has a character and converts back to itself.
#pragma once

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

// Case folding for the list's order and prefix search: maps the upper-case letters of the code page's repertoire
// (ASCII, Latin-1, and the letters of 0x80-0x9F) to lower case; every other unit stands for itself.
char16_t FoldCase(char16_t unit);

// Three-way comparison of the folded texts, unit by unit: negative, zero or positive.
int CompareFolded(std::u16string_view a, std::u16string_view b);

// True when `text` begins with `prefix`, case ignored.
bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix);

} // namespace korva::platform
