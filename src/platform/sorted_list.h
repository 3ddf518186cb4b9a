// SPDX-License-Identifier: MIT
// The item store behind the sorted command list, shared by the Qt list and the in-memory one.
//
// Items stand in ascending order of their case-folded text (CompareFolded); an added item goes after every item that
// compares equal to it, so equal names keep the order they were added in.
//
// The store holds the format's largest file (32768 names) without a pause. Items live in blocks of at most
// 2 * kBlockSize, found by binary search, so an insertion compares against some fifteen keys and moves at most one
// block's items. Each item keeps the first eight units of its key inline, so that most comparisons never reach the
// texts. The texts live in an append-only arena of fixed-size pages that never moves what it holds: one byte per
// character for a text within Latin-1 (as command names nearly always are), two otherwise, and the folded key after
// the text only where it differs from it. The less memory the store touches, the sooner a large list is up.
//
// Items can also be appended in bulk: they wait, out of order, until the next read or Add, which sorts them in at
// once (equal texts still in the order they were added) as one block, split only if an Add comes.
#pragma once

#include <array>
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
    // Adds `text` with its value as Add and SetData would, sorting it in by the next read or Add.
    void Append(std::u16string_view text, std::uint32_t data);
    // Makes room for `items` more appended items, so that appending them moves none.
    void Reserve(std::size_t items) { pending_.reserve(pending_.size() + items); }
    // The position Add would give `text` now.
    int InsertPosition(std::u16string_view text) const;
    void Clear();

    int Count() const { return count_ + static_cast<int>(pending_.size()); }
    // The item's text; empty for a position outside the list.
    std::u16string Text(int position) const;
    // True when the item's text is all Latin-1, so that Latin1Text holds it whole.
    bool IsLatin1(int position) const;
    // The item's text, one byte per character, when IsLatin1.
    std::string_view Latin1Text(int position) const;
    // The item's value; 0 for a position outside the list.
    std::uint32_t Data(int position) const;
    // Sets the item's value; does nothing for a position outside the list.
    void SetData(int position, std::uint32_t data);
    // The first item whose text begins with `prefix`, case ignored, or -1.
    int Find(std::u16string_view prefix) const;

private:
    // Units of a key, four per word from the top, zero past its end: words compare as the units do.
    using Prefix = std::array<std::uint64_t, 2>;
    struct Item
    {
        Prefix prefix;           // the key's first eight units
        std::uint32_t textStart; // byte offset into the arena: the text, then its key unless keyIsText
        std::uint32_t textLength;
        std::uint32_t data;
        bool latin1;    // one byte per unit
        bool keyIsText; // the key is the text itself
    };
    // A folded key with its inline prefix, for the comparisons of one search.
    struct Key
    {
        std::u16string_view units;
        Prefix prefix;
    };
    struct Place
    {
        std::size_t block;
        std::size_t offset;
    };
    static constexpr std::size_t kBlockSize = 64;
    static constexpr std::size_t kArenaPage = std::size_t{64} * 1024;   // bytes
    static constexpr std::size_t kAppendReserve = std::size_t{1} << 16; // items

    static Prefix PrefixOf(std::u16string_view key);
    // Stores the text, and the key after it unless it is the text; yields where they start.
    std::uint32_t Store(std::u16string_view text, std::u16string_view key, bool latin1, bool keyIsText);
    // The bytes of an item's text (key false) or key (key true) in the arena.
    std::string_view Bytes(const Item &item, bool key) const;
    // Unit `index` of bytes stored one (latin1) or two per unit.
    static char16_t UnitAt(std::string_view bytes, bool latin1, std::size_t index);
    // Three-way comparison of an item's key with `key`.
    int Compare(const Item &item, const Key &key) const;
    // True when a orders before b: by key, and equal keys in the order the items came.
    bool Before(const Item &a, const Item &b) const;
    // Makes an item of `text`, whose folded key is `key`, and stores its text.
    Item Make(std::u16string_view text, std::u16string_view key, bool latin1, bool keyIsText, std::uint32_t data);
    // Sorts the appended items in, rebuilding the blocks.
    void SortInPending() const;
    // Where the item at `position` stands; block == blocks_.size() when outside the list.
    Place PlaceOf(int position) const;
    const Item *ItemAt(int position) const;
    // The place of the first item whose key is greater than `key` (afterEqual) or not less than it.
    Place Bound(const Key &key, bool afterEqual) const;
    int PositionOf(Place place) const;

    // The sorted items. Reads sort appended items in first, so these are mutable: a read changes no content.
    mutable std::vector<std::vector<Item>> blocks_;
    // Each block's last item and the position of its first, side by side for the search over blocks.
    mutable std::vector<Item> blockLasts_;
    mutable std::vector<int> blockStarts_;
    mutable std::vector<Item> pending_;
    mutable int count_ = 0;
    // The item the last Add placed, which the caller usually sets the value of next.
    mutable int lastAddedPosition_ = -1;
    Place lastAddedPlace_{};
    std::vector<std::string> arena_; // pages, each reserved at kArenaPage bytes (or one longer text)
};

} // namespace korva::platform
