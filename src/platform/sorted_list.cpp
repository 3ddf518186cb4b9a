#include "sorted_list.h"

#include "code_page.h"

#include <algorithm>

namespace korva::platform {

std::u16string_view SortedList::TextOf(const Item &item) const
{
    return std::u16string_view(arena_).substr(item.textStart, item.textLength);
}

const SortedList::Item *SortedList::ItemAt(int position) const
{
    if (position < 0 || position >= count_) {
        return nullptr;
    }
    auto rest = static_cast<std::size_t>(position);
    for (const auto &block : blocks_) {
        if (rest < block.size()) {
            return &block[rest];
        }
        rest -= block.size();
    }
    return nullptr;
}

std::u16string_view SortedList::Text(int position) const
{
    const Item *item = ItemAt(position);
    return item != nullptr ? TextOf(*item) : std::u16string_view();
}

std::uint32_t SortedList::Data(int position) const
{
    const Item *item = ItemAt(position);
    return item != nullptr ? item->data : 0;
}

void SortedList::SetData(int position, std::uint32_t data)
{
    if (const Item *item = ItemAt(position)) {
        const_cast<Item *>(item)->data = data;
    }
}

int SortedList::Bound(std::u16string_view text, bool afterEqual) const
{
    // Items before the bound satisfy `before`; the blocks are in order, so the bound lies in the first block whose
    // last item does not satisfy it.
    const auto before = [&](const Item &item) {
        const int order = CompareFolded(TextOf(item), text);
        return afterEqual ? order <= 0 : order < 0;
    };
    int position = 0;
    for (const auto &block : blocks_) {
        if (before(block.back())) {
            position += static_cast<int>(block.size());
            continue;
        }
        const auto inside = std::partition_point(block.begin(), block.end(), before);
        return position + static_cast<int>(inside - block.begin());
    }
    return position;
}

int SortedList::Add(std::u16string_view text)
{
    const int position = Bound(text, true);
    const Item item{static_cast<std::uint32_t>(arena_.size()), static_cast<std::uint32_t>(text.size()), 0};
    arena_.append(text);

    if (blocks_.empty()) {
        blocks_.emplace_back().reserve(kBlockSize);
    }
    // Find the block that takes the new item: the one holding `position`, or the last block when it goes at the end.
    std::size_t index = 0;
    auto offset = static_cast<std::size_t>(position);
    while (index + 1 < blocks_.size() && offset > blocks_[index].size()) {
        offset -= blocks_[index].size();
        ++index;
    }
    if (offset > blocks_[index].size()) { // cannot happen while the count is consistent; keep the store whole
        offset = blocks_[index].size();
    }
    auto &block = blocks_[index];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(offset), item);
    if (block.size() >= 2 * kBlockSize) {
        std::vector<Item> upper(block.begin() + static_cast<std::ptrdiff_t>(kBlockSize), block.end());
        block.resize(kBlockSize);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(upper));
    }
    ++count_;
    return position;
}

void SortedList::Clear()
{
    blocks_.clear();
    arena_.clear();
    count_ = 0;
}

int SortedList::Find(std::u16string_view prefix) const
{
    // Every text that begins with `prefix` compares not less than it, and those texts stand together; the first of
    // them, if any, is the first item not less than `prefix`.
    const int position = Bound(prefix, false);
    const Item *item = ItemAt(position);
    return (item != nullptr && StartsWithFolded(TextOf(*item), prefix)) ? position : -1;
}

} // namespace korva::platform
