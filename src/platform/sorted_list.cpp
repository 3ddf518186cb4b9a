// SPDX-License-Identifier: MIT
#include "sorted_list.h"

#include "code_page.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace korva::platform {

std::uint64_t SortedList::AppendKey(std::u16string_view text, std::string &keys)
{
    const std::size_t start = keys.size();
    keys.resize(start + 2 * text.size());
    char *out = keys.data() + start;
    for (const char16_t unit : text) {
        const char16_t folded = FoldCase(unit);
        *out++ = static_cast<char>(folded >> 8);
        *out++ = static_cast<char>(folded & 0xFF);
    }
    // The head: the key's first eight bytes as a number, zero past its end, so that heads order as the keys do
    // (a key that ends has zero bytes there, which come first), but for keys that agree in those bytes.
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = start + i;
        head = (head << 8) | (at < keys.size() ? static_cast<unsigned char>(keys[at]) : 0u);
    }
    return head;
}

bool SortedList::Less(const Key &a, const Key &b)
{
    if (a.head != b.head) {
        return a.head < b.head;
    }
    const std::size_t common = std::min(a.bytes.size(), b.bytes.size());
    const int order = common == 0 ? 0 : std::memcmp(a.bytes.data(), b.bytes.data(), common);
    return order != 0 ? order < 0 : a.bytes.size() < b.bytes.size();
}

void SortedList::Reserve(std::size_t items, std::size_t textUnits)
{
    items_.reserve(items_.size() + items);
    texts_.reserve(texts_.size() + textUnits);
    keys_.reserve(keys_.size() + 2 * textUnits);
}

void SortedList::Add(std::u16string_view text, std::uint32_t data)
{
    text = text.substr(0, std::numeric_limits<std::uint32_t>::max());
    const std::size_t keyStart = keys_.size();
    const std::uint64_t head = AppendKey(text, keys_);
    items_.push_back(Item{head, texts_.size(), keyStart, static_cast<std::uint32_t>(text.size()), data});
    texts_.append(text);
}

void SortedList::Clear()
{
    texts_.clear();
    keys_.clear();
    items_.clear();
    sorted_ = 0;
}

void SortedList::Sort() const
{
    if (sorted_ == items_.size()) {
        return;
    }
    const auto less = [this](const Item &a, const Item &b) { return Less(KeyOf(a), KeyOf(b)); };
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
    std::string bytes;
    const Key key{AppendKey(prefix, bytes), bytes};
    const auto found = std::lower_bound(items_.begin(), items_.end(), key,
                                        [this](const Item &item, const Key &k) { return Less(KeyOf(item), k); });
    if (found == items_.end()) {
        return -1;
    }
    const Key candidate = KeyOf(*found);
    if (candidate.bytes.substr(0, key.bytes.size()) != key.bytes) {
        return -1;
    }
    return static_cast<int>(found - items_.begin());
}

} // namespace korva::platform
