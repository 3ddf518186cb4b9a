// SPDX-License-Identifier: MIT
#include "sorted_list.h"

#include "code_page.h"

#include <algorithm>

namespace korva::platform {

std::uint64_t SortedList::HeadOf(std::u16string_view text)
{
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        head = (head << 16) | (i < text.size() ? FoldCase(text[i]) : 0u);
    }
    return head;
}

namespace {

struct Ordered
{
    std::uint64_t head;
    std::u16string_view text;
};

// Heads that differ order the texts as their first units do (a text that ends has zero units there, which come
// first); equal heads leave it to the whole texts.
bool Less(const Ordered &a, const Ordered &b)
{
    return a.head != b.head ? a.head < b.head : CompareFolded(a.text, b.text) < 0;
}

} // namespace

void SortedList::Reserve(std::size_t items, std::size_t textUnits)
{
    items_.reserve(items_.size() + items);
    texts_.reserve(texts_.size() + textUnits);
}

void SortedList::Add(std::u16string_view text, std::uint32_t data)
{
    items_.push_back(Item{HeadOf(text), texts_.size(), text.size(), data});
    texts_.append(text);
}

void SortedList::Clear()
{
    texts_.clear();
    items_.clear();
    sorted_ = 0;
}

void SortedList::Sort() const
{
    if (sorted_ == items_.size()) {
        return;
    }
    const auto less = [this](const Item &a, const Item &b) { return Less({a.head, TextOf(a)}, {b.head, TextOf(b)}); };
    // Both steps are stable, so equal texts stay in the order they came.
    const auto middle = items_.begin() + static_cast<std::ptrdiff_t>(sorted_);
    std::stable_sort(middle, items_.end(), less);
    std::inplace_merge(items_.begin(), middle, items_.end(), less);
    sorted_ = items_.size();
}

const SortedList::Item *SortedList::ItemAt(int position) const
{
    if (position < 0 || position >= Count()) {
        return nullptr;
    }
    Sort();
    return &items_[static_cast<std::size_t>(position)];
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

int SortedList::Find(std::u16string_view prefix) const
{
    // Every text that begins with `prefix` orders at or after it, and those texts stand together: the first of them,
    // if any, is the first item not before `prefix`.
    Sort();
    const Ordered key{HeadOf(prefix), prefix};
    const auto found = std::lower_bound(items_.begin(), items_.end(), key, [this](const Item &item, const Ordered &k) {
        return Less({item.head, TextOf(item)}, k);
    });
    if (found == items_.end() || !StartsWithFolded(TextOf(*found), prefix)) {
        return -1;
    }
    return static_cast<int>(found - items_.begin());
}

} // namespace korva::platform
