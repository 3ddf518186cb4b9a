// SPDX-License-Identifier: MIT
#include "platform/code_page.h"

#include <array>
#include <string>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

TEST(CodePage, EveryByteConvertsToUnicodeAndBack)
{
    for (int byte = 1; byte < 256; ++byte) {
        const char16_t wide = AnsiCharToWide(static_cast<unsigned char>(byte));
        EXPECT_EQ(static_cast<unsigned char>(WideCharToAnsi(wide)), byte) << byte;
    }
}

TEST(CodePage, HighControlRangeAndItsUndefinedBytes)
{
    EXPECT_EQ(AnsiCharToWide(0x80), u'\u20ac');
    EXPECT_EQ(AnsiCharToWide(0x85), u'\u2026');
    EXPECT_EQ(AnsiCharToWide(0x96), u'\u2013');
    EXPECT_EQ(AnsiCharToWide(0x9F), u'\u0178');
    for (const unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(AnsiCharToWide(undefined), undefined);
    }
    EXPECT_EQ(AnsiCharToWide(0xE9), u'\u00e9');
}

TEST(CodePage, CharactersTheCodePageLacksBecomeTheDefaultCharacter)
{
    EXPECT_EQ(WideCharToAnsi(0x03C0), '?');  // Greek pi
    EXPECT_EQ(WideCharToAnsi(0x0080), '?');  // a C1 control that 0x80 does not stand for
    EXPECT_EQ(WideCharToAnsi(0x1D400), '?'); // beyond the BMP
}

TEST(CodePage, AnsiToWideCutsAtTheBufferAndTerminates)
{
    std::array<char16_t, 4> out;
    out.fill(u'z');
    EXPECT_EQ(AnsiToWide("abcdef", out), 3u);
    EXPECT_EQ(std::u16string(out.data()), u"abc");
    EXPECT_EQ(AnsiToWide("", out), 0u);
    EXPECT_EQ(out[0], u'\0');
    EXPECT_EQ(AnsiToWide("abc", std::span<char16_t>()), 0u);
}

TEST(CodePage, WideToAnsiTakesSurrogatePairsAsOneCharacterAndCutsBetweenCharacters)
{
    std::array<char, 8> out;
    EXPECT_EQ(WideToAnsi(u"a\U0001D400b\xD800", out), 4u);
    EXPECT_EQ(std::string(out.data()), "a?b?");
    std::array<char, 3> small;
    EXPECT_EQ(WideToAnsi(u"\u20ac\u00e9xyz", small), 2u);
    EXPECT_EQ(std::string(small.data()), "\x80\xe9");
}

TEST(CodePage, FoldingIgnoresCaseAcrossTheCodePage)
{
    EXPECT_EQ(CompareFolded(u"SOLVE", u"solve"), 0);
    EXPECT_EQ(CompareFolded(u"\u00c9t\u00c9", u"\u00e9t\u00e9"), 0);
    EXPECT_EQ(CompareFolded(u"\u0160\u0152\u017d\u0178", u"\u0161\u0153\u017e\u00ff"), 0);
    EXPECT_NE(CompareFolded(u"\u00d7", u"\u00f7"), 0); // multiplication and division signs are no letters
    EXPECT_LT(CompareFolded(u"abs", u"ABSOLUTE"), 0);
    EXPECT_GT(CompareFolded(u"Z", u"_"), 0); // letters fold to lower case, which sorts after "_"
    EXPECT_TRUE(StartsWithFolded(u"Eigenvals", u"EIGEN"));
    EXPECT_FALSE(StartsWithFolded(u"Eig", u"EIGEN"));
}

} // namespace
} // namespace korva::platform
