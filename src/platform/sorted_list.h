// The item store behind the sorted command list, shared by the Qt list and the in-memory one.
//
// Items stand in ascending order of their case-folded text (CompareFolded); an added item goes after every item that
// compares equal to it, so equal names keep the order they were added in. The store holds the format's largest file
// (32768 names) without a pause: items live in blocks of at most kBlockSize, so an insertion moves at most one
// block's items, and the texts live in one append-only arena.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korva::platform {

class SortedList
{
public:
    // Inserts `text` at its sorted place, after equal items; yields its position.
    int Add(std::u16string_view text);
    // The position Add would give `text` now.
    int InsertPosition(std::u16string_view text) const { return Bound(text, true); }
    void Clear();

    int Count() const { return count_; }
    // The item's text; empty for a position outside the list.
    std::u16string_view Text(int position) const;
    // The item's value; 0 for a position outside the list.
    std::uint32_t Data(int position) const;
    // Sets the item's value; does nothing for a position outside the list.
    void SetData(int position, std::uint32_t data);
    // The first item whose text begins with `prefix`, case ignored, or -1.
    int Find(std::u16string_view prefix) const;

private:
    struct Item
    {
        std::uint32_t textStart; // into arena_
        std::uint32_t textLength;
        std::uint32_t data;
    };
    static constexpr std::size_t kBlockSize = 512;

    std::u16string_view TextOf(const Item &item) const;
    const Item *ItemAt(int position) const;
    // The position of the first item whose text compares greater than `text` (afterEqual) or not less than it.
    int Bound(std::u16string_view text, bool afterEqual) const;

    std::vector<std::vector<Item>> blocks_;
    std::u16string arena_;
    int count_ = 0;
};

} // namespace korva::platform
