// SPDX-License-Identifier: MIT
#include "sorted_list.h"

#include "code_page.h"

#include <algorithm>
#include <cstring>

namespace korva::platform {

namespace {

// A text's folded key, in place for the usual short names, and what the store keeps of the text: whether it is all
// Latin-1, and whether the key is the text itself. One pass over the text finds all three.
class FoldedKey
{
public:
    explicit FoldedKey(std::u16string_view text)
    {
        char16_t *out = text.size() <= inline_.size() ? inline_.data() : (long_.resize(text.size()), long_.data());
        char16_t latin1 = 0;
        char16_t changed = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i];
            const char16_t folded = FoldCase(unit);
            out[i] = folded;
            latin1 |= unit & 0xFF00;
            changed |= unit ^ folded;
        }
        units_ = std::u16string_view(out, text.size());
        latin1_ = latin1 == 0;
        keyIsText_ = changed == 0;
    }
    FoldedKey(const FoldedKey &) = delete;
    FoldedKey &operator=(const FoldedKey &) = delete;

    std::u16string_view Units() const { return units_; }
    bool Latin1() const { return latin1_; }
    bool KeyIsText() const { return keyIsText_; }

private:
    std::array<char16_t, 64> inline_;
    std::u16string long_;
    std::u16string_view units_;
    bool latin1_ = true;
    bool keyIsText_ = true;
};

} // namespace

SortedList::Prefix SortedList::PrefixOf(std::u16string_view key)
{
    Prefix prefix{};
    for (std::size_t i = 0; i < 8; ++i) {
        prefix[i / 4] = (prefix[i / 4] << 16) | (i < key.size() ? key[i] : 0u);
    }
    return prefix;
}

std::uint32_t SortedList::Store(std::u16string_view text, std::u16string_view key, bool latin1, bool keyIsText)
{
    const std::size_t unitBytes = latin1 ? 1 : 2;
    const std::size_t needed = text.size() * unitBytes * (keyIsText ? 1 : 2);
    // A page holds kArenaPage bytes; a longer text has a page to itself, which takes nothing more.
    if (arena_.empty() || arena_.back().size() + needed > kArenaPage) {
        arena_.emplace_back().reserve(std::max(kArenaPage, needed));
    }
    std::string &page = arena_.back();
    const auto start = static_cast<std::uint32_t>((arena_.size() - 1) * kArenaPage + page.size());
    std::size_t at = page.size();
    page.resize(at + needed);
    for (const std::u16string_view units : {text, key}) {
        if (latin1) {
            std::transform(units.begin(), units.end(), page.begin() + static_cast<std::ptrdiff_t>(at),
                           [](char16_t unit) { return static_cast<char>(unit); });
        } else {
            std::memcpy(page.data() + at, units.data(), units.size() * sizeof(char16_t));
        }
        at += units.size() * unitBytes;
        if (keyIsText) {
            break;
        }
    }
    return start;
}

std::string_view SortedList::Bytes(const Item &item, bool key) const
{
    const std::string &page = arena_[item.textStart / kArenaPage];
    const std::size_t length = std::size_t{item.textLength} * (item.latin1 ? 1 : 2);
    const std::size_t offset = item.textStart % kArenaPage + (key && !item.keyIsText ? length : 0);
    return std::string_view(page).substr(offset, length);
}

char16_t SortedList::UnitAt(std::string_view bytes, bool latin1, std::size_t index)
{
    if (latin1) {
        return static_cast<unsigned char>(bytes[index]);
    }
    char16_t unit;
    std::memcpy(&unit, bytes.data() + 2 * index, sizeof unit);
    return unit;
}

int SortedList::Compare(const Item &item, const Key &key) const
{
    // Prefixes that differ order the keys as their units do (an ended key's zero units come first); equal prefixes
    // leave it to the whole keys.
    for (std::size_t word = 0; word < item.prefix.size(); ++word) {
        if (item.prefix[word] != key.prefix[word]) {
            return item.prefix[word] < key.prefix[word] ? -1 : 1;
        }
    }
    const std::string_view bytes = Bytes(item, true);
    const std::size_t common = std::min<std::size_t>(item.textLength, key.units.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t unit = UnitAt(bytes, item.latin1, i);
        if (unit != key.units[i]) {
            return unit < key.units[i] ? -1 : 1;
        }
    }
    if (item.textLength == key.units.size()) {
        return 0;
    }
    return item.textLength < key.units.size() ? -1 : 1;
}

bool SortedList::Before(const Item &a, const Item &b) const
{
    for (std::size_t word = 0; word < a.prefix.size(); ++word) {
        if (a.prefix[word] != b.prefix[word]) {
            return a.prefix[word] < b.prefix[word];
        }
    }
    const std::string_view left = Bytes(a, true);
    const std::string_view right = Bytes(b, true);
    const std::size_t common = std::min(a.textLength, b.textLength);
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t x = UnitAt(left, a.latin1, i);
        const char16_t y = UnitAt(right, b.latin1, i);
        if (x != y) {
            return x < y;
        }
    }
    if (a.textLength != b.textLength) {
        return a.textLength < b.textLength;
    }
    // Equal keys: the arena stores texts in the order they came, so this keeps them in that order.
    return a.textStart < b.textStart;
}

SortedList::Item SortedList::Make(std::u16string_view text, std::u16string_view key, bool latin1, bool keyIsText,
                                  std::uint32_t data)
{
    return Item{
        PrefixOf(key), Store(text, key, latin1, keyIsText), static_cast<std::uint32_t>(text.size()), data, latin1,
        keyIsText};
}

void SortedList::Append(std::u16string_view text, std::uint32_t data)
{
    const FoldedKey key(text);
    pending_.push_back(Make(text, key.Units(), key.Latin1(), key.KeyIsText(), data));
}

void SortedList::SortInPending() const
{
    if (pending_.empty()) {
        return;
    }
    std::vector<Item> all;
    if (count_ == 0) {
        all = std::move(pending_);
    } else {
        all.reserve(static_cast<std::size_t>(count_) + pending_.size());
        for (const auto &block : blocks_) {
            all.insert(all.end(), block.begin(), block.end());
        }
        all.insert(all.end(), pending_.begin(), pending_.end());
    }
    pending_ = {};
    // In place, and stable through Before's last rule.
    std::sort(all.begin(), all.end(), [this](const Item &a, const Item &b) { return Before(a, b); });

    // One block: nothing is moved again unless an Add comes, which splits it then.
    count_ = static_cast<int>(all.size());
    blockLasts_.assign(1, all.back());
    blockStarts_.assign(1, 0);
    blocks_.clear();
    blocks_.push_back(std::move(all));
    lastAddedPosition_ = -1;
}

SortedList::Place SortedList::PlaceOf(int position) const
{
    SortInPending();
    if (position < 0 || position >= count_) {
        return {blocks_.size(), 0};
    }
    const auto after = std::upper_bound(blockStarts_.begin(), blockStarts_.end(), position);
    const auto block = static_cast<std::size_t>(after - blockStarts_.begin()) - 1;
    return {block, static_cast<std::size_t>(position - blockStarts_[block])};
}

const SortedList::Item *SortedList::ItemAt(int position) const
{
    const Place place = PlaceOf(position);
    return place.block < blocks_.size() ? &blocks_[place.block][place.offset] : nullptr;
}

int SortedList::PositionOf(Place place) const
{
    return place.block < blocks_.size() ? blockStarts_[place.block] + static_cast<int>(place.offset) : count_;
}

std::u16string SortedList::Text(int position) const
{
    const Item *item = ItemAt(position);
    if (item == nullptr) {
        return {};
    }
    const std::string_view bytes = Bytes(*item, false);
    std::u16string text(item->textLength, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = UnitAt(bytes, item->latin1, i);
    }
    return text;
}

bool SortedList::IsLatin1(int position) const
{
    const Item *item = ItemAt(position);
    return item != nullptr && item->latin1;
}

std::string_view SortedList::Latin1Text(int position) const
{
    const Item *item = ItemAt(position);
    return item != nullptr && item->latin1 ? Bytes(*item, false) : std::string_view();
}

std::uint32_t SortedList::Data(int position) const
{
    const Item *item = ItemAt(position);
    return item != nullptr ? item->data : 0;
}

void SortedList::SetData(int position, std::uint32_t data)
{
    const Place place = position == lastAddedPosition_ && pending_.empty() ? lastAddedPlace_ : PlaceOf(position);
    if (place.block < blocks_.size()) {
        blocks_[place.block][place.offset].data = data; // blockLasts_ keeps keys only: its values go unread
    }
}

SortedList::Place SortedList::Bound(const Key &key, bool afterEqual) const
{
    SortInPending();
    // Items before the bound satisfy `before`; blocks are in order, so the bound lies in the first block whose last
    // item does not.
    const auto before = [&](const Item &item) {
        const int order = Compare(item, key);
        return afterEqual ? order <= 0 : order < 0;
    };
    const auto last = std::partition_point(blockLasts_.begin(), blockLasts_.end(), before);
    if (last == blockLasts_.end()) {
        return {blocks_.size(), 0};
    }
    const auto &block = blocks_[static_cast<std::size_t>(last - blockLasts_.begin())];
    const auto inside = std::partition_point(block.begin(), block.end(), before);
    return {static_cast<std::size_t>(last - blockLasts_.begin()), static_cast<std::size_t>(inside - block.begin())};
}

int SortedList::InsertPosition(std::u16string_view text) const
{
    const FoldedKey key(text);
    return PositionOf(Bound(Key{key.Units(), PrefixOf(key.Units())}, true));
}

int SortedList::Add(std::u16string_view text)
{
    const FoldedKey key(text);
    const Item item = Make(text, key.Units(), key.Latin1(), key.KeyIsText(), 0);
    Place place = Bound(Key{key.Units(), item.prefix}, true);

    if (blocks_.empty()) {
        blocks_.emplace_back().reserve(2 * kBlockSize);
        blockLasts_.push_back(item);
        blockStarts_.push_back(0);
    }
    if (place.block == blocks_.size()) { // after every item: the end of the last block
        place = {blocks_.size() - 1, blocks_.back().size()};
    }
    const int position = PositionOf(place);
    auto &block = blocks_[place.block];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(place.offset), item);
    blockLasts_[place.block] = block.back();
    for (std::size_t later = place.block + 1; later < blockStarts_.size(); ++later) {
        ++blockStarts_[later];
    }
    if (block.size() >= 2 * kBlockSize) {
        // Split into blocks of kBlockSize (a block sorted in from appended items may be far larger).
        std::vector<std::vector<Item>> pieces;
        for (std::size_t start = 0; start < block.size(); start += kBlockSize) {
            auto &piece = pieces.emplace_back();
            piece.reserve(2 * kBlockSize);
            piece.assign(block.begin() + static_cast<std::ptrdiff_t>(start),
                         block.begin() + static_cast<std::ptrdiff_t>(std::min(block.size(), start + kBlockSize)));
        }
        const auto at = static_cast<std::ptrdiff_t>(place.block);
        const int first = blockStarts_[place.block];
        std::vector<Item> lasts;
        std::vector<int> starts;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            lasts.push_back(pieces[i].back());
            starts.push_back(first + static_cast<int>(i * kBlockSize));
        }
        blocks_.erase(blocks_.begin() + at);
        blocks_.insert(blocks_.begin() + at, std::make_move_iterator(pieces.begin()),
                       std::make_move_iterator(pieces.end()));
        blockLasts_.erase(blockLasts_.begin() + at);
        blockLasts_.insert(blockLasts_.begin() + at, lasts.begin(), lasts.end());
        blockStarts_.erase(blockStarts_.begin() + at);
        blockStarts_.insert(blockStarts_.begin() + at, starts.begin(), starts.end());
        place = {place.block + place.offset / kBlockSize, place.offset % kBlockSize};
    }
    ++count_;
    lastAddedPosition_ = position;
    lastAddedPlace_ = place;
    return position;
}

void SortedList::Clear()
{
    blocks_.clear();
    blockLasts_.clear();
    blockStarts_.clear();
    pending_.clear();
    arena_.clear();
    lastAddedPosition_ = -1;
    count_ = 0;
}

int SortedList::Find(std::u16string_view prefix) const
{
    // Every text that begins with `prefix` compares not less than it, and those texts stand together; the first of
    // them, if any, is the first item not less than `prefix`.
    const FoldedKey key(prefix);
    const Place place = Bound(Key{key.Units(), PrefixOf(key.Units())}, false);
    if (place.block == blocks_.size()) {
        return -1;
    }
    const Item &item = blocks_[place.block][place.offset];
    if (item.textLength < key.Units().size()) {
        return -1;
    }
    const std::string_view bytes = Bytes(item, true);
    for (std::size_t i = 0; i < key.Units().size(); ++i) {
        if (UnitAt(bytes, item.latin1, i) != key.Units()[i]) {
            return -1;
        }
    }
    return PositionOf(place);
}

} // namespace korva::platform
