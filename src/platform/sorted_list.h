// SPDX-License-Identifier: MIT
// The item store behind the sorted command list, shared by the Qt list and the in-memory one.
//
// Items stand in ascending order of their case-folded text (CompareFolded); equal texts keep the order they were
// added in. The texts live one after another in one string; the items are one vector, sorted once when they are
// first read after an add. Nothing else: the program fills the list in one go and only reads it afterwards.
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
        std::uint64_t head; // the first four folded units, one per 16 bits from the top: orders most pairs alone
        std::size_t start;  // where the text starts in texts_
        std::size_t length; // units
        std::uint32_t data;
    };

    static std::uint64_t HeadOf(std::u16string_view text);
    std::u16string_view TextOf(const Item &item) const
    {
        return std::u16string_view(texts_).substr(item.start, item.length);
    }
    // Sorts the items added since the last read in among the others.
    void Sort() const;
    const Item *ItemAt(int position) const;

    std::u16string texts_;
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
