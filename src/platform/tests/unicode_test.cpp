// SPDX-License-Identifier: MIT
// The one UTF-8 and UTF-16 codec: every well-formed character both ways, and each kind of ill-formed sequence read as
// no character at all, one replacement a maximal part.
#include "platform/unicode.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

constexpr char16_t kFFFD = 0xFFFD;

struct Utf8Case
{
    std::string bytes;
    std::u16string read; // each ill-formed part as U+FFFD
};

TEST(Unicode, Utf8ReadStrictly)
{
    const std::vector<Utf8Case> cases = {
        {"plain", u"plain"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},               // two-byte characters
        {"\xE2\x82\xAC", u"\u20AC"},                           // three bytes
        {"\xF0\x9F\x98\x80", u"\U0001F600"},                   // four bytes: a surrogate pair
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\uFFFF\U0010FFFF"}, // the last of the BMP and of Unicode
        // Overlong forms: the same character in more bytes than it takes.
        {"\xC0\x80", {kFFFD, kFFFD}},
        {"\xC1\xBF", {kFFFD, kFFFD}},
        {"\xE0\x80\x80", {kFFFD, kFFFD, kFFFD}},
        {"\xE0\x9F\xBF", {kFFFD, kFFFD, kFFFD}},
        {"\xF0\x80\x80\x80", {kFFFD, kFFFD, kFFFD, kFFFD}},
        {"\xF0\x8F\xBF\xBF", {kFFFD, kFFFD, kFFFD, kFFFD}},
        // Surrogates encoded in UTF-8, and what lies past U+10FFFF.
        {"\xED\xA0\x80", {kFFFD, kFFFD, kFFFD}},
        {"\xED\xBF\xBF", {kFFFD, kFFFD, kFFFD}},
        {"\xF4\x90\x80\x80", {kFFFD, kFFFD, kFFFD, kFFFD}},
        // Lead bytes no character begins with.
        {"\xF5\x80\x80\x80", {kFFFD, kFFFD, kFFFD, kFFFD}},
        {"a\xFE"
         "b\xFF",
         {u'a', kFFFD, u'b', kFFFD}},
        // A continuation byte alone, and sequences cut short: the byte after is read on its own.
        {"\x80"
         "a",
         {kFFFD, u'a'}},
        {"\xE2\x82"
         "a",
         {kFFFD, u'a'}},
        {"\xF0\x9F\x98", {kFFFD}},
        {"\xC3", {kFFFD}},
    };
    for (const Utf8Case &utf8 : cases) {
        EXPECT_EQ(Utf16OfUtf8(utf8.bytes), utf8.read) << ::testing::PrintToString(utf8.bytes);
        const bool wellFormed = utf8.read.find(kFFFD) == std::u16string::npos;
        EXPECT_EQ(StrictUtf16OfUtf8(utf8.bytes).has_value(), wellFormed) << ::testing::PrintToString(utf8.bytes);
        if (wellFormed) {
            EXPECT_EQ(Utf8OfUtf16(utf8.read), utf8.bytes); // and back, byte for byte
        }
    }
}

TEST(Unicode, LoneSurrogatesAreNoCharacters)
{
    const std::u16string text = {u'a', 0xD800, u'b', 0xDC00, 0xD83D, 0xDE00, 0xDBFF};
    std::vector<std::optional<char32_t>> read;
    for (std::size_t at = 0; at < text.size();) {
        read.push_back(NextUtf16Character(text, at));
    }
    EXPECT_EQ(read, (std::vector<std::optional<char32_t>>{U'a', std::nullopt, U'b', std::nullopt, U'\U0001F600',
                                                          std::nullopt}));
    EXPECT_EQ(Utf8OfUtf16(text), "a\xEF\xBF\xBD"
                                 "b\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(Unicode, EveryCharacterRoundTrips)
{
    for (char32_t character = 0; character <= 0x10FFFF; character += character < 0x3000 ? 1 : 97) {
        if (character >= 0xD800 && character <= 0xDFFF) {
            continue;
        }
        std::string utf8;
        AppendUtf8(character, utf8);
        std::u16string utf16;
        AppendUtf16(character, utf16);
        ASSERT_EQ(StrictUtf16OfUtf8(utf8), utf16) << static_cast<std::uint32_t>(character);
        ASSERT_EQ(Utf8OfUtf16(utf16), utf8) << static_cast<std::uint32_t>(character);
    }
}

} // namespace
} // namespace korva::platform
