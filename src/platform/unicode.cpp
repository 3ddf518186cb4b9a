// SPDX-License-Identifier: MIT
#include "unicode.h"

namespace korva::platform {

namespace {

bool IsSurrogate(char32_t character)
{
    return character >= 0xD800 && character <= 0xDFFF;
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The range the second byte of a sequence may take after `lead`: the table of well-formed UTF-8, which rules out the
// overlong forms, the surrogates and what lies past U+10FFFF at the first byte where they show.
bool SecondByteFits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return IsContinuation(second);
    }
}

} // namespace

std::optional<char32_t> NextUtf8Character(std::string_view utf8, std::size_t &at)
{
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80) {
        return lead;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0) {
        return std::nullopt;
    }
    char32_t character = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (at >= utf8.size()) {
            return std::nullopt;
        }
        const auto next = static_cast<unsigned char>(utf8[at]);
        if (i == 1 ? !SecondByteFits(lead, next) : !IsContinuation(next)) {
            return std::nullopt; // the byte that does not fit begins what is read next
        }
        character = (character << 6) | (next & 0x3F);
        ++at;
    }
    return character;
}

std::optional<char32_t> NextUtf16Character(std::u16string_view utf16, std::size_t &at)
{
    const char32_t unit = utf16[at++];
    if (!IsSurrogate(unit)) {
        return unit;
    }
    if (unit <= 0xDBFF && at < utf16.size() && utf16[at] >= 0xDC00 && utf16[at] <= 0xDFFF) {
        return 0x10000 + ((unit - 0xD800) << 10) + (utf16[at++] - 0xDC00);
    }
    return std::nullopt;
}

void AppendUtf8(char32_t character, std::string &out)
{
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (character >> 18));
        out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    }
}

void AppendUtf16(char32_t character, std::u16string &out)
{
    if (character < 0x10000) {
        out += static_cast<char16_t>(character);
    } else {
        out += static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
    }
}

std::u16string Utf16OfUtf8(std::string_view utf8)
{
    std::u16string utf16;
    utf16.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        AppendUtf16(NextUtf8Character(utf8, at).value_or(kReplacementCharacter), utf16);
    }
    return utf16;
}

std::optional<std::u16string> StrictUtf16OfUtf8(std::string_view utf8)
{
    std::u16string utf16;
    utf16.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> character = NextUtf8Character(utf8, at);
        if (!character) {
            return std::nullopt;
        }
        AppendUtf16(*character, utf16);
    }
    return utf16;
}

std::string Utf8OfUtf16(std::u16string_view utf16)
{
    std::string utf8;
    utf8.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size();) {
        AppendUtf8(NextUtf16Character(utf16, at).value_or(kReplacementCharacter), utf8);
    }
    return utf8;
}

} // namespace korva::platform
