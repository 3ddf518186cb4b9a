// SPDX-License-Identifier: MIT
#include "app/history.h"

#include <gtest/gtest.h>

namespace korva::app {
namespace {

History::Place At(std::uint32_t offset)
{
    std::u16string name(2, u'c');
    name[1] = static_cast<char16_t>(u'0' + offset % 10);
    return {offset, name};
}

TEST(History, KeepsTheLastHundredEntries)
{
    History history;
    for (std::uint32_t i = 0; i < 150; ++i) {
        history.Visit(At(i));
        history.Visit(At(i)); // the same entry again is one visit
    }
    int back = 0;
    std::optional<History::Place> oldest;
    while (const auto place = history.Back()) {
        oldest = place;
        ++back;
    }
    EXPECT_EQ(back, 99);
    EXPECT_EQ(oldest, At(50));
}

// An entry gone from the file is passed over, going on in the direction taken.
TEST(History, DroppedEntryIsPassedOverEitherWay)
{
    History history;
    for (std::uint32_t i = 1; i <= 4; ++i) {
        history.Visit(At(i));
    }
    EXPECT_EQ(history.Back(), At(3));
    history.DropCurrent(); // 3 is gone: back at 4
    EXPECT_EQ(history.Back(), At(2));
    EXPECT_EQ(history.Forward(), At(4));
    EXPECT_EQ(history.Back(), At(2));
    EXPECT_EQ(history.Back(), At(1));
    EXPECT_EQ(history.Forward(), At(2));
    history.DropCurrent(); // 2 is gone: back at 1
    EXPECT_EQ(history.Forward(), At(4));
    EXPECT_FALSE(history.Forward());
    EXPECT_EQ(history.Back(), At(1));
    EXPECT_FALSE(history.Back());
}

} // namespace
} // namespace korva::app
