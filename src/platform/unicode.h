// SPDX-License-Identifier: MIT
// UTF-8 and UTF-16, the one way the program converts between them: strict on what it reads (an ill-formed sequence is
// never taken for a character), and never writing an ill-formed one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korva::platform {

// The character that stands in for one that cannot be read.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character of the UTF-8 text `utf8` at `at`, and `at` moved past it. An ill-formed sequence (a lead byte C0, C1 or
// F5-FF, a continuation byte where none belongs, a sequence cut short, an overlong form, a surrogate, a code point past
// U+10FFFF) yields nothing, `at` moved past its longest part that could have begun a character (at least one byte).
std::optional<char32_t> NextUtf8Character(std::string_view utf8, std::size_t &at);

// The character of the UTF-16 text `utf16` at `at`, and `at` moved past it: a surrogate pair is one character; a lone
// surrogate yields nothing, `at` moved past it.
std::optional<char32_t> NextUtf16Character(std::u16string_view utf16, std::size_t &at);

// Appends the character `character` (at most U+10FFFF, no surrogate) in UTF-8, or in UTF-16.
void AppendUtf8(char32_t character, std::string &out);
void AppendUtf16(char32_t character, std::u16string &out);

// `utf8` as UTF-16, each ill-formed sequence as U+FFFD.
std::u16string Utf16OfUtf8(std::string_view utf8);
// `utf8` as UTF-16; nothing when it holds an ill-formed sequence.
std::optional<std::u16string> StrictUtf16OfUtf8(std::string_view utf8);
// `utf16` as UTF-8, each lone surrogate as U+FFFD.
std::string Utf8OfUtf16(std::u16string_view utf16);

} // namespace korva::platform
