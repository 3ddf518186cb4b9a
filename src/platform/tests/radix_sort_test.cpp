// SPDX-License-Identifier: MIT
#include "platform/radix_sort.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

using Keyed = std::pair<std::uint64_t, std::size_t>; // a key, and the place it was given in

std::vector<std::uint64_t> Repeating(std::size_t count, std::uint64_t step)
{
    std::mt19937_64 random(count);
    std::vector<std::uint64_t> keys(count);
    for (std::uint64_t &key : keys) {
        key = random() % 97 * step; // repeats
    }
    return keys;
}

// Both sorts give the order of a stable comparison sort by the key alone: across each digit's boundary, in the
// highest bits, with digits that all keys share below, between and above those that differ, and either side of the
// number of items from which the radix sort is taken.
TEST(SortByKey, OrdersByTheKeyAloneEqualKeysInTheirOrder)
{
    const std::vector<std::vector<std::uint64_t>> cases = {
        {},
        {7},
        {0, 0, 0},
        {2047, 2048, 0, 2046, 4095, 4096},
        {std::uint64_t{1} << 22, (std::uint64_t{1} << 22) - 1, std::uint64_t{1} << 11, std::uint64_t{1} << 22, 1},
        {~std::uint64_t{0}, std::uint64_t{1} << 63, (std::uint64_t{1} << 63) - 1, 0, ~std::uint64_t{0}},
        {(std::uint64_t{1} << 40) | 5, (std::uint64_t{1} << 40) | 3, (std::uint64_t{1} << 40) | 5},
        {(std::uint64_t{3} << 44) | 9, 9, (std::uint64_t{1} << 44) | 9, (std::uint64_t{3} << 44) | 8},
        Repeating(255, 5003),
        Repeating(256, std::uint64_t{1} << 30),
        Repeating(5000, 0x10000000001),
    };
    for (const std::vector<std::uint64_t> &keys : cases) {
        SCOPED_TRACE(keys.size());
        std::vector<Keyed> given;
        for (std::size_t place = 0; place < keys.size(); ++place) {
            given.emplace_back(keys[place], place);
        }
        std::vector<Keyed> expected = given;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const Keyed &left, const Keyed &right) { return left.first < right.first; });
        const auto keyOf = [](const Keyed &item) { return item.first; };
        std::vector<Keyed> byRadix = given;
        RadixSortBy(byRadix, keyOf);
        EXPECT_EQ(byRadix, expected);
        std::vector<Keyed> byEither = given;
        StableSortByKey(byEither, keyOf);
        EXPECT_EQ(byEither, expected);
    }
}

} // namespace
} // namespace korva::platform
