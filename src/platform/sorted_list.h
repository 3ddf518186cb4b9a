// SPDX-License-Identifier: MIT
// The item store behind the sorted command list, shared by the Qt list and the in-memory one.
//
// Items stand in ascending order of their case-folded text (CompareFolded); equal texts keep the order they were
// added in. Each text is kept in one string, in a code of one byte a unit for the units below 0xFF (command names are
// nearly all Latin-1) and three for the rest (0xFF, then the unit's high and low byte), which orders byte for byte
// as the units do; it follows its folded key, unless it is the key itself. The items are one vector, sorted when
// first read after an add: by radix on each key's first eight bytes, which tells most names apart, and by comparing
// the rest of the keys where those bytes are equal. Nothing else: the program fills the list in one go and only reads
// it afterwards.
#pragma once

#include "code_page.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korva::platform {

class SortedList
{
public:
    // `capacity` bounds the bytes its texts and keys take in all, which offsets of 32 bits address.
    explicit SortedList(std::size_t capacity = std::numeric_limits<std::uint32_t>::max())
        : capacity_(capacity), version_(NewVersion())
    {}
    // A list moved from is empty, and a list of a version of its own.
    SortedList(SortedList &&other) noexcept;
    SortedList &operator=(SortedList &&other) noexcept;
    SortedList(const SortedList &) = delete;
    SortedList &operator=(const SortedList &) = delete;
    ~SortedList() = default;

    // Makes room for `items` more items holding about `textUnits` more units of text in all, so that adding them
    // moves nothing; a low guess costs a move, a high one only address space.
    void Reserve(std::size_t items, std::size_t textUnits);
    // Adds `text` with its value. It takes its sorted place, after the equal texts added before it, by the next read.
    // False, and nothing added, when the texts would outgrow the list's capacity.
    bool Add(std::u16string_view text, std::uint32_t data);
    // The same for a text in the code page, a byte a unit (AnsiToWide), coded without widening it first.
    bool AddCodePage(std::string_view text, std::uint32_t data);
    void Clear();
    // The version of the items: it changes with every change of them, and no two lists of the process ever share
    // one, so that what is made from a list can tell whether it still belongs to the list on show.
    std::uint64_t Version() const { return version_; }

    int Count() const { return static_cast<int>(items_.size()); }
    // The item's text; empty for a position outside the list.
    std::u16string Text(int position) const;
    // The same into `text`, whose room is kept from call to call.
    void TextInto(int position, std::u16string &text) const;
    // Calls `use(position, code)` for every item, in order, with the item's text in the store's code: a text of
    // units from 0x20 to 0x7E (printable ASCII) is those bytes, and a code of such bytes alone is such a text. The
    // codes of the items ahead are fetched from memory meanwhile: for a reader of every item.
    template <typename Use>
    void ForEachCode(Use use) const
    {
        Sort();
        constexpr std::size_t kAhead = 16;
        for (std::size_t position = 0; position < items_.size(); ++position) {
#if defined(__GNUC__)
            if (position + kAhead < items_.size()) {
                __builtin_prefetch(bytes_.data() + items_[position + kAhead].start);
            }
#endif
            use(static_cast<int>(position), TextOf(items_[position]));
        }
    }
    // The item's text in the code page, as WideToAnsi writes it into `buffer`; yields its length. Empty for a
    // position outside the list.
    std::size_t CodePageText(int position, std::span<char> buffer) const;
    // The item's value; 0 for a position outside the list.
    std::uint32_t Data(int position) const;
    // Every item's value appended to `values`, in the order the items stand in the store: sorted or not.
    void AppendData(std::vector<std::uint32_t> &values) const;
    // The first item whose text begins with `prefix`, case ignored, or -1.
    int Find(std::u16string_view prefix) const;
    // Sorts the items added since the last read in among the others; each read does so first.
    void Sort() const;

private:
    struct Item
    {
        std::uint64_t head;      // the key's first eight bytes: orders most pairs without reaching the keys
        std::uint32_t start;     // where its key starts in bytes_; its text follows unless textBytes is 0
        std::uint32_t keyBytes;  // of the coded key
        std::uint32_t textBytes; // of the coded text; 0: the text is the key
        std::uint32_t data;
    };

    // Appends the code of `text`, folded or not, to `bytes`; yields whether folding changed a unit.
    static bool AppendCode(std::u16string_view text, bool fold, std::string &bytes);
    std::string_view KeyOf(const Item &item) const
    {
        return std::string_view(bytes_.data() + item.start, item.keyBytes);
    }
    std::string_view TextOf(const Item &item) const
    {
        return item.textBytes == 0 ? KeyOf(item)
                                   : std::string_view(bytes_.data() + item.start + item.keyBytes, item.textBytes);
    }
    // Takes the codes written from `start` on, the key's `keyBytes` first, as a new item; false, and the codes
    // dropped, when they outgrow the capacity.
    bool PlaceItem(std::size_t start, std::size_t keyBytes, std::uint32_t data);
    const Item *ItemAt(int position) const;
    // A version no list of the process has had.
    static std::uint64_t NewVersion();

    std::size_t capacity_;
    std::uint64_t version_;
    std::string bytes_;
    mutable std::vector<Item> items_;
    mutable bool sorted_ = true;
    mutable std::string findKey_;
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
