// SPDX-License-Identifier: MIT
#include "platform/code_page.h"
#include "platform/sorted_list.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

std::vector<std::u16string> Texts(const SortedList &list)
{
    std::vector<std::u16string> texts;
    for (int i = 0; i < list.Count(); ++i) {
        texts.emplace_back(list.Text(i));
    }
    return texts;
}

TEST(SortedList, AddYieldsTheSortedPositionCaseIgnored)
{
    SortedList list;
    EXPECT_EQ(list.Add(u"solve"), 0);
    EXPECT_EQ(list.Add(u"Abs"), 0);
    EXPECT_EQ(list.Add(u"factor"), 1);
    EXPECT_EQ(list.Add(u"ZETA"), 3);
    EXPECT_EQ(Texts(list), (std::vector<std::u16string>{u"Abs", u"factor", u"solve", u"ZETA"}));
}

TEST(SortedList, EqualTextsKeepTheOrderTheyWereAddedIn)
{
    SortedList list;
    list.SetData(list.Add(u"gamma"), 1);
    list.SetData(list.Add(u"Gamma"), 2);
    list.SetData(list.Add(u"gamma"), 3);
    EXPECT_EQ(Texts(list), (std::vector<std::u16string>{u"gamma", u"Gamma", u"gamma"}));
    EXPECT_EQ(list.Data(0), 1u);
    EXPECT_EQ(list.Data(1), 2u);
    EXPECT_EQ(list.Data(2), 3u);
}

TEST(SortedList, FindYieldsTheFirstItemBeginningWithThePrefix)
{
    SortedList list;
    for (const auto *text : {u"eigenvects", u"eigenvals", u"Eigen", u"abs", u"zeta"}) {
        list.Add(text);
    }
    EXPECT_EQ(list.Find(u"EIG"), 1);
    EXPECT_EQ(list.Text(list.Find(u"eigenv")), u"eigenvals");
    EXPECT_EQ(list.Find(u"eigenvalsx"), -1);
    EXPECT_EQ(list.Find(u"b"), -1);
    EXPECT_EQ(list.Find(u""), 0);
    EXPECT_EQ(list.Find(u"zz"), -1);
}

TEST(SortedList, PositionsOutsideTheListHoldNothing)
{
    SortedList list;
    list.Add(u"a");
    list.SetData(5, 9);
    EXPECT_EQ(list.Data(-1), 0u);
    EXPECT_EQ(list.Data(1), 0u);
    EXPECT_TRUE(list.Text(1).empty());
    EXPECT_EQ(SortedList().Find(u"a"), -1);
}

TEST(SortedList, TextsBeyondLatin1AndLongTextsKeepTheirUnitsAndOrder)
{
    SortedList list;
    const std::u16string longText = u"\u20ac" + std::u16string(70000, u'z');
    for (const std::u16string &text :
         {std::u16string(u"\u0160koda"), std::u16string(u"\u00e9t\u00e9"), longText, std::u16string(u"\u0161KODA"),
          std::u16string(u"\u00c9T\u00c9x"), std::u16string(u"\u20acuro"), std::u16string(u"abc")}) {
        list.Add(text);
    }
    EXPECT_EQ(Texts(list), (std::vector<std::u16string>{u"abc", u"\u00e9t\u00e9", u"\u00c9T\u00c9x", u"\u0160koda",
                                                        u"\u0161KODA", u"\u20acuro", longText}));
    EXPECT_EQ(list.Find(u"\u00c9t"), 1);
    EXPECT_EQ(list.Find(u"\u0161k"), 3);
    EXPECT_EQ(list.Find(u"\u20ACz"), 6);
    EXPECT_EQ(list.Find(u"\u20ACuroo"), -1);
    EXPECT_TRUE(list.IsLatin1(0));
    EXPECT_EQ(list.Latin1Text(1), "\xe9t\xe9");
    EXPECT_FALSE(list.IsLatin1(3));
    EXPECT_TRUE(list.Latin1Text(3).empty());
}

// Many more items than one block holds, against a stable sort of the same texts.
TEST(SortedList, LargeListMatchesAStableSort)
{
    std::mt19937 random(42);
    std::vector<std::pair<std::u16string, std::uint32_t>> added;
    SortedList list;
    for (std::uint32_t i = 0; i < 20000; ++i) {
        std::u16string text;
        const auto length = 1 + random() % 6;
        for (std::size_t c = 0; c < length; ++c) {
            text += static_cast<char16_t>((random() % 2 ? u'a' : u'A') + random() % 4);
        }
        added.emplace_back(text, i);
        list.SetData(list.Add(text), i);
    }
    std::stable_sort(added.begin(), added.end(),
                     [](const auto &a, const auto &b) { return CompareFolded(a.first, b.first) < 0; });
    ASSERT_EQ(list.Count(), 20000);
    for (int i = 0; i < list.Count(); ++i) {
        ASSERT_EQ(list.Text(i), added[static_cast<std::size_t>(i)].first) << i;
        ASSERT_EQ(list.Data(i), added[static_cast<std::size_t>(i)].second) << i;
    }
    for (const auto &[text, data] : added) {
        const int found = list.Find(text);
        ASSERT_GE(found, 0);
        EXPECT_TRUE(found == 0 || CompareFolded(list.Text(found - 1), text) < 0 ||
                    !StartsWithFolded(list.Text(found - 1), text));
    }
}

// Items appended in bulk end where Add would have put them, equal texts in the order they came, also when added
// into a list that already holds items and mixed with reads and single adds.
TEST(SortedList, AppendedItemsStandWhereAddWouldPutThem)
{
    std::mt19937 random(7);
    SortedList added;
    SortedList appended;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        std::u16string text;
        for (auto length = 1 + random() % 5; length > 0; --length) {
            text += static_cast<char16_t>((random() % 2 ? u'a' : u'A') + random() % 3);
        }
        if (random() % 7 == 0) {
            text += u'\u20ac';
        }
        added.SetData(added.Add(text), i);
        if (i % 1000 == 999) {
            appended.SetData(appended.Add(text), i); // a single add sorts the waiting items in first
        } else {
            appended.Append(text, i);
        }
        if (i == 2500) {
            EXPECT_EQ(appended.Find(u"a"), added.Find(u"a")); // and so does a read
        }
    }
    ASSERT_EQ(appended.Count(), added.Count());
    for (int i = 0; i < added.Count(); ++i) {
        ASSERT_EQ(appended.Text(i), added.Text(i)) << i;
        ASSERT_EQ(appended.Data(i), added.Data(i)) << i;
    }
    EXPECT_EQ(appended.Add(u"zzz"), added.Add(u"zzz"));
}

} // namespace
} // namespace korva::platform
