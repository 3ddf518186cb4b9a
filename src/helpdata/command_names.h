// SPDX-License-Identifier: MIT
// The command list's names as the ranked search reads them: folded for matching, cut into their parts, and its
// entries in file order. Made once for a list, read by every search of it.
#pragma once

#include "match_fold.h"
#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace korva::helpdata {

// A part of a name: where it starts in the folded name, and its length.
struct NamePart
{
    std::uint16_t start;
    std::uint16_t length;
};

class CommandNames
{
public:
    explicit CommandNames(const platform::ListBox &list);
    // The same, with the list's ItemsInFileOrder already known.
    CommandNames(const platform::ListBox &list, const std::vector<std::uint64_t> &itemsInFileOrder);

    int Count() const { return static_cast<int>(items_.size()); }
    // The name folded for matching (match_fold.h), a byte a character of the code page.
    std::string_view FoldedName(int item) const;
    // The name as the list holds it, in the code page.
    std::string_view Name(int item) const;
    // The name's parts: the runs of letters and of digits, split at any other character ("_", "-", ".", "::"), where
    // digits meet letters, where a lower-case letter meets a capital, and around the last capital of a run of them
    // before a lower-case letter ("LUdecomposition": "LU" and "decomposition"; "HTMLParser": "HTML" and "Parser").
    std::span<const NamePart> Parts(int item) const;
    // The letters of its folded name (LettersOf).
    Letters NameLetters(int item) const { return items_[static_cast<std::size_t>(item)].letters; }
    std::uint32_t EntryOffset(int item) const { return items_[static_cast<std::size_t>(item)].entryOffset; }
    std::uint16_t NameLength(int item) const { return items_[static_cast<std::size_t>(item)].bytes; }
    // The items in the order of their entries in the file.
    const std::vector<int> &InFileOrder() const { return inFileOrder_; }
    // Their entries' offsets, in that order.
    const std::vector<std::uint32_t> &OffsetsInFileOrder() const { return offsetsInFileOrder_; }
    // The version of the list's items they were made from (ListBox::ItemsVersion).
    std::uint64_t ListVersion() const { return listVersion_; }

private:
    // The folded names stand in blocks of this size, none across two: memory grows a block at a time, never by
    // copying all that is held to a place twice its size.
    static constexpr std::uint32_t kBlockBytes = 64 * 1024;

    struct Item
    {
        std::uint32_t start;     // of its folded name, the name as held after it: the block and the place in it
        std::uint16_t bytes;     // as many as the name has characters: one a character in the code page
        std::uint16_t partCount; // its parts, from firstPart in parts_
        std::uint32_t firstPart;
        std::uint32_t entryOffset;
        Letters letters;
    };
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::uint32_t used_ = 0;           // bytes of the last block in use
    std::uint32_t lastBlockBytes_ = 0; // and its size, kBlockBytes at most
    std::vector<Item> items_;
    std::vector<NamePart> parts_;
    std::vector<int> inFileOrder_;
    std::vector<std::uint32_t> offsetsInFileOrder_;
    std::uint64_t listVersion_;
};

// The items of `list` in the order of their entries in the file, equal offsets in the list's order, each as its offset
// (high 32 bits) and its place in the list (low 32 bits): how CommandNames orders them.
std::vector<std::uint64_t> ItemsInFileOrder(const platform::ListBox &list);

// The parts of `name`, a name as the data file holds it (capitals and all), as CommandNames::Parts cuts them.
std::vector<NamePart> NameParts(std::string_view name);
// The same, appended to `parts`.
void AppendNameParts(std::string_view name, std::vector<NamePart> &parts);

} // namespace korva::helpdata
