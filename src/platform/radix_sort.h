// SPDX-License-Identifier: MIT
// A stable sort of many records by a 64-bit key, a digit of the key at a time: what orders the list's items by their
// heads and the search's items by their offsets, without a comparison.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korva::platform {

// Sorts `items` by `keyOf(item)` (a std::uint64_t), least significant digit first, eleven bits a pass up to the
// highest bit any key has, passing over the digits all of them share; items of equal keys keep their order.
template <typename Item, typename KeyOf>
void RadixSortBy(std::vector<Item> &items, KeyOf keyOf)
{
    if (items.size() < 2) {
        return;
    }
    constexpr unsigned kBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    std::uint64_t anyKey = 0;
    for (const Item &item : items) {
        anyKey |= std::uint64_t{keyOf(item)};
    }
    std::vector<Item> other;
    std::array<std::uint32_t, kBuckets> counts;
    for (unsigned shift = 0; shift < 64 && (anyKey >> shift) != 0; shift += kBits) {
        const auto digitOf = [&](const Item &item) {
            return static_cast<std::size_t>((std::uint64_t{keyOf(item)} >> shift) & (kBuckets - 1));
        };
        counts.fill(0);
        for (const Item &item : items) {
            ++counts[digitOf(item)];
        }
        if (counts[digitOf(items.front())] == items.size()) {
            continue; // one digit for all: nothing moves
        }
        std::uint32_t next = 0;
        for (std::uint32_t &count : counts) {
            const std::uint32_t here = count;
            count = next;
            next += here;
        }
        other.resize(items.size());
        for (const Item &item : items) {
            other[counts[digitOf(item)]++] = item;
        }
        items.swap(other);
    }
}

// The same order as RadixSortBy, by the cheaper way for the number of items: each pass of the radix sort clears and
// sums its 2048 counts however few the items are, so fewer than 256 sort faster by comparing their keys.
template <typename Item, typename KeyOf>
void StableSortByKey(std::vector<Item> &items, KeyOf keyOf)
{
    constexpr std::size_t kRadixFrom = 256;
    if (items.size() >= kRadixFrom) {
        RadixSortBy(items, keyOf);
        return;
    }
    std::stable_sort(items.begin(), items.end(), [&keyOf](const Item &left, const Item &right) {
        return std::uint64_t{keyOf(left)} < std::uint64_t{keyOf(right)};
    });
}

} // namespace korva::platform
