// SPDX-License-Identifier: MIT
#include "platform/code_page.h"
#include "platform/sorted_list.h"

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

std::vector<std::u16string> Texts(const SortedList &list)
{
    std::vector<std::u16string> texts;
    texts.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        texts.emplace_back(list.Text(i));
    }
    return texts;
}

TEST(SortedList, ItemsStandInCaseInsensitiveOrderEqualTextsAsAdded)
{
    SortedList list;
    std::uint32_t data = 0;
    for (const auto *text : {u"solve", u"gamma", u"Abs", u"Gamma", u"factor", u"gamma", u"ZETA"}) {
        list.Add(text, data++);
    }
    EXPECT_EQ(Texts(list),
              (std::vector<std::u16string>{u"Abs", u"factor", u"gamma", u"Gamma", u"gamma", u"solve", u"ZETA"}));
    EXPECT_EQ(list.Data(2), 1u);
    EXPECT_EQ(list.Data(3), 3u);
    EXPECT_EQ(list.Data(4), 5u);
}

TEST(SortedList, FindYieldsTheFirstItemBeginningWithThePrefix)
{
    SortedList list;
    for (const auto *text : {u"eigenvects", u"eigenvals", u"Eigen", u"abs", u"zeta"}) {
        list.Add(text, 0);
    }
    EXPECT_EQ(list.Find(u"EIG"), 1);
    EXPECT_EQ(list.Text(list.Find(u"eigenv")), u"eigenvals");
    EXPECT_EQ(list.Find(u"eigenvalsx"), -1);
    EXPECT_EQ(list.Find(u"b"), -1);
    EXPECT_EQ(list.Find(u""), 0);
    EXPECT_EQ(list.Find(u"zz"), -1);
    EXPECT_EQ(SortedList().Find(u"a"), -1);
}

TEST(SortedList, PositionsOutsideTheListHoldNothing)
{
    SortedList list;
    list.Add(u"a", 7);
    EXPECT_EQ(list.Data(-1), 0u);
    EXPECT_EQ(list.Data(1), 0u);
    EXPECT_TRUE(list.Text(1).empty());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Text(0).empty());
}

TEST(SortedList, TextsBeyondLatin1AndLongTextsKeepTheirUnitsAndOrder)
{
    SortedList list;
    const std::u16string longText = u"\u20ac" + std::u16string(70000, u'z');
    for (const std::u16string &text :
         {std::u16string(u"\u0160koda"), std::u16string(u"\u00e9t\u00e9"), longText, std::u16string(u"\u0161KODA"),
          std::u16string(u"\u00c9T\u00c9x"), std::u16string(u"\u20acuro"), std::u16string(u"abc")}) {
        list.Add(text, 0);
    }
    EXPECT_EQ(Texts(list), (std::vector<std::u16string>{u"abc", u"\u00e9t\u00e9", u"\u00c9T\u00c9x", u"\u0160koda",
                                                        u"\u0161KODA", u"\u20acuro", longText}));
    EXPECT_EQ(list.Find(u"\u00c9t"), 1);
    EXPECT_EQ(list.Find(u"\u0161k"), 3);
    EXPECT_EQ(list.Find(u"\u20ACz"), 6);
    EXPECT_EQ(list.Find(u"\u20ACuroo"), -1);
}

// Names of 32 letters fill store pages of 64 KiB exactly every 2048 names; empty names among them once pointed
// one page past the store.
TEST(SortedList, EmptyNamesAmongManyLongNames)
{
    SortedList list;
    std::vector<std::u16string> added;
    for (std::uint32_t i = 0; i < 3 * 2048 + 5; ++i) {
        std::u16string name =
            i % 2048 == 0 ? std::u16string() : std::u16string(31, u'a' + i % 26) + char16_t(u'A' + i % 7);
        list.Add(name, i);
        added.push_back(name);
    }
    std::stable_sort(added.begin(), added.end(), [](const auto &a, const auto &b) { return CompareFolded(a, b) < 0; });
    ASSERT_EQ(Texts(list), added);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(list.Text(i).empty());
        EXPECT_EQ(list.Data(i), static_cast<std::uint32_t>(i * 2048));
    }
    EXPECT_EQ(list.Find(u""), 0);
    EXPECT_EQ(list.Find(std::u16string(31, u'z') + u'x'), -1);
    EXPECT_EQ(list.Text(list.Find(std::u16string(31, u'b'))), std::u16string(31, u'b') + u'A');
}

// `count` items, added in runs with reads between them, against a stable sort of the same texts.
void ExpectStableSortAcrossReads(std::uint32_t count, std::uint32_t readEvery)
{
    std::mt19937 random(42);
    std::vector<std::pair<std::u16string, std::uint32_t>> added;
    SortedList list;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::u16string text;
        const auto length = random() % 7; // empty texts too
        for (std::size_t c = 0; c < length; ++c) {
            text += static_cast<char16_t>((random() % 2 ? u'a' : u'A') + random() % 4);
        }
        if (random() % 11 == 0) {
            text += u'\u20ac';
        }
        added.emplace_back(text, i);
        list.Add(text, i);
        if (i % readEvery == 0) {
            EXPECT_EQ(list.Count(), static_cast<int>(i + 1));
            list.Find(u"a"); // sorts what came so far: later items merge in
        }
    }
    // Every value once, after what the vector held, whether or not the last items are sorted in yet; the reads
    // below sort them as before.
    std::vector<std::uint32_t> values{count};
    list.AppendData(values);
    ASSERT_EQ(values.size(), count + 1);
    EXPECT_EQ(values.front(), count);
    std::sort(values.begin() + 1, values.end());
    for (std::uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(values[i + 1], i);
    }
    std::stable_sort(added.begin(), added.end(),
                     [](const auto &a, const auto &b) { return CompareFolded(a.first, b.first) < 0; });
    ASSERT_EQ(list.Count(), static_cast<int>(count));
    for (int i = 0; i < list.Count(); ++i) {
        ASSERT_EQ(list.Text(i), added[static_cast<std::size_t>(i)].first) << i;
        ASSERT_EQ(list.Data(i), added[static_cast<std::size_t>(i)].second) << i;
    }
    for (const auto &[text, data] : added) {
        const int found = list.Find(text);
        ASSERT_GE(found, 0);
        EXPECT_TRUE(StartsWithFolded(list.Text(found), text));
        EXPECT_TRUE(found == 0 || !StartsWithFolded(list.Text(found - 1), text));
    }
}

TEST(SortedList, LargeListMatchesAStableSortAcrossReads)
{
    ExpectStableSortAcrossReads(20000, 4999);
}

// Short lists sort another way than long ones: both sides of the change, and a list that grows across it.
TEST(SortedList, ListsAroundTheSortChangeMatchAStableSort)
{
    for (const std::uint32_t count : {127U, 128U, 129U}) {
        SCOPED_TRACE(count);
        ExpectStableSortAcrossReads(count, count);
    }
    ExpectStableSortAcrossReads(300, 100);
}

// Offsets into the store are 32-bit: a list takes no text past its capacity, rather than wrap.
TEST(SortedList, NoTextPastItsCapacity)
{
    SortedList list(10);
    EXPECT_TRUE(list.Add(u"abcd", 1));    // 4 bytes: the key is the text
    EXPECT_TRUE(list.Add(u"Ef", 2));      // 4: the key, then the text
    EXPECT_FALSE(list.Add(u"\u20ac", 3)); // 3 for the wide unit: 11 in all
    EXPECT_TRUE(list.Add(u"xy", 4));      // 10: full
    EXPECT_TRUE(list.Add(u"", 5));
    EXPECT_FALSE(list.Add(u"z", 6));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Text(list.Find(u"ef")), u"Ef");
    EXPECT_EQ(list.Data(list.Find(u"x")), 4u);
    EXPECT_EQ(list.Find(u"\u20ac"), -1);
}

// A name added as the file holds it, in the code page, stands as its widened text would: every byte alone, and
// capitals and bytes that widen beyond Latin-1 at each place around the eight bytes coded at once.
TEST(SortedList, CodePageTextsStandAsTheirWideningWould)
{
    std::vector<std::string> texts = {"",         "Zeta_9",           "zeta_9",           "@[`{",
                                      "abcdefgh", "ABCDEFGH",         "abcdefghABCDEFGH", "@AZ[`az{",
                                      "`az{@AZ[", "@AZ[`az{@AZ[`az{Q"}; // the bytes around each letter run
    for (int byte = 0; byte < 256; ++byte) {
        texts.emplace_back(1, static_cast<char>(byte));
    }
    for (const char odd : {'Q', '\xC0', '\xD7', '\xDE', '\xDF', '\x80', '\x8A', '\x9F', '\xFF', '\x7F'}) {
        for (std::size_t at = 0; at < 18; ++at) {
            std::string text(18, 'q');
            text[at] = odd;
            texts.push_back(text.substr(0, at + 1)); // the odd byte last, at each length
            texts.push_back(text);
        }
    }
    SortedList byBytes;
    SortedList byUnits;
    std::vector<std::u16string> widened;
    for (std::uint32_t i = 0; i < texts.size(); ++i) {
        std::u16string &wide = widened.emplace_back();
        for (const char byte : texts[i]) {
            wide += AnsiCharToWide(static_cast<unsigned char>(byte));
        }
        ASSERT_TRUE(byBytes.AddCodePage(texts[i], i));
        ASSERT_TRUE(byUnits.Add(wide, i));
    }
    ASSERT_EQ(Texts(byBytes), Texts(byUnits));
    for (int i = 0; i < byUnits.Count(); ++i) {
        ASSERT_EQ(byBytes.Data(i), byUnits.Data(i)) << i;
    }
    for (const std::u16string &text : widened) { // found by its text in any case: the keys are alike
        ASSERT_EQ(byBytes.Find(text), byUnits.Find(text));
    }

    SortedList small(10);
    EXPECT_TRUE(small.AddCodePage("abcd", 1));  // 4 bytes: the key is the text
    EXPECT_TRUE(small.AddCodePage("Ef", 2));    // 4: the key, then the text
    EXPECT_FALSE(small.AddCodePage("\x80", 3)); // 3 for the wide unit: 11 in all
    EXPECT_TRUE(small.AddCodePage("xy", 4));    // 10: full
    EXPECT_FALSE(small.AddCodePage("Z", 5));
    EXPECT_EQ(Texts(small), (std::vector<std::u16string>{u"abcd", u"Ef", u"xy"}));
}

// An item's text in the code page is what WideToAnsi makes of its text, cut alike, whatever units it holds.
TEST(SortedList, CodePageTextsAsWideToAnsiWritesThem)
{
    const std::vector<std::u16string> texts = {u"",          u"solve",          u"Gamma_2",       u"caf\u00e9 \u00fe~",
                                               u"\u20acuro", u"a\u0081b\u009f", u"y\u00ff\u0178", u"\u03c0 \u4e00",
                                               u"\x7f\x1b"};
    SortedList list;
    for (std::uint32_t i = 0; i < texts.size(); ++i) {
        list.Add(texts[i], i);
    }
    for (const std::size_t room : {std::size_t{64}, std::size_t{4}, std::size_t{1}}) {
        for (int position = 0; position < list.Count(); ++position) {
            std::vector<char> expected(room, 'x');
            std::vector<char> got(room, 'x');
            const std::size_t length = WideToAnsi(list.Text(position), expected);
            EXPECT_EQ(list.CodePageText(position, got), length) << position << " in " << room;
            EXPECT_EQ(got, expected) << position << " in " << room;
        }
    }
    std::array<char, 8> outside{};
    outside[0] = 'x';
    EXPECT_EQ(list.CodePageText(list.Count(), outside), 0u);
    EXPECT_EQ(outside[0], '\0');
}

TEST(SortedInsertPosition, AfterTheEqualTextsCaseIgnored)
{
    const std::vector<std::u16string> texts = {u"abs", u"Gamma", u"gamma", u"zeta"};
    const auto at = [&](int i) { return std::u16string_view(texts[static_cast<std::size_t>(i)]); };
    EXPECT_EQ(SortedInsertPosition(4, u"GAMMA", at), 3);
    EXPECT_EQ(SortedInsertPosition(4, u"a", at), 0);
    EXPECT_EQ(SortedInsertPosition(4, u"zz", at), 4);
    EXPECT_EQ(SortedInsertPosition(0, u"x", at), 0);
}

} // namespace
} // namespace korva::platform
