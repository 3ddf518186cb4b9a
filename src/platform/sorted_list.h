// SPDX-License-Identifier: MIT
// The item store behind the sorted command list, shared by the Qt list and the in-memory one.
//
// Items stand in ascending order of their case-folded text (CompareFolded); equal texts keep the order they were
// added in. The texts live one after another in one string, their folded keys in another, two bytes a unit with the
// high byte first, so that the library's memcmp orders keys as their units; the items are one vector, sorted once
// when they are first read after an add. Nothing else: the program fills the list in one go and only reads it
// afterwards.
#pragma once

#include "code_page.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korva::platform {

class SortedList
{
public:
    // Makes room for `items` more items holding `textUnits` more units of text in all, so that adding them moves
    // nothing; a low guess costs a move, a high one only address space.
    void Reserve(std::size_t items, std::size_t textUnits);
    // Adds `text` with its value. It takes its sorted place, after the equal texts added before it, by the next read.
    void Add(std::u16string_view text, std::uint32_t data);
    void Clear();

    int Count() const { return static_cast<int>(items_.size()); }
    // The item's text, good until the next Add or Clear; empty for a position outside the list.
    std::u16string_view Text(int position) const;
    // The item's value; 0 for a position outside the list.
    std::uint32_t Data(int position) const;
    // The first item whose text begins with `prefix`, case ignored, or -1.
    int Find(std::u16string_view prefix) const;

private:
    struct Item
    {
        std::uint64_t head;    // the key's first eight bytes: orders most pairs without reaching the keys
        std::size_t textStart; // in texts_
        std::size_t keyStart;  // in keys_
        std::uint32_t length;  // units
        std::uint32_t data;
    };
    // A key to compare items with.
    struct Key
    {
        std::uint64_t head;
        std::string_view bytes;
    };

    // Appends `text`'s folded key to `keys`; yields its head.
    static std::uint64_t AppendKey(std::u16string_view text, std::string &keys);
    static bool Less(const Key &a, const Key &b);
    Key KeyOf(const Item &item) const
    {
        return {item.head, std::string_view(keys_.data() + item.keyStart, std::size_t{2} * item.length)};
    }
    std::u16string_view TextOf(const Item &item) const
    {
        return std::u16string_view(texts_.data() + item.textStart, item.length);
    }
    // Sorts the items added since the last read in among the others.
    void Sort() const;
    const Item *ItemAt(int position) const;

    std::u16string texts_;
    std::string keys_;
    mutable std::vector<Item> items_;
    mutable std::size_t sorted_ = 0; // items_[0, sorted_) stand in order; the rest were added since
};

// Where a text would go among `count` sorted texts (case ignored), after the ones equal to it: the drop-down's
// sorted insert. `textAt(i)` yields the text at position i.
template <typename TextAt>
int SortedInsertPosition(int count, std::u16string_view text, TextAt textAt)
{
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareFolded(text, textAt(middle)) < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

} // namespace korva::platform
