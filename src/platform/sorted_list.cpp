#include "sorted_list.h"

#include "code_page.h"

#include <algorithm>
#include <cstring>

namespace korva::platform {

namespace {

// A text's folded key, in place for the usual short names.
class FoldedKey
{
public:
    explicit FoldedKey(std::u16string_view text)
    {
        char16_t *out = text.size() <= inline_.size() ? inline_.data() : (long_.resize(text.size()), long_.data());
        std::transform(text.begin(), text.end(), out, FoldCase);
        units_ = std::u16string_view(out, text.size());
    }
    FoldedKey(const FoldedKey &) = delete;
    FoldedKey &operator=(const FoldedKey &) = delete;

    std::u16string_view Units() const { return units_; }

private:
    std::array<char16_t, 64> inline_;
    std::u16string long_;
    std::u16string_view units_;
};

bool IsLatin1(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit <= 0xFF; });
}

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
    for (const std::u16string_view units : {text, key}) {
        if (latin1) {
            for (const char16_t unit : units) {
                page.push_back(static_cast<char>(unit));
            }
        } else {
            const auto *bytes = reinterpret_cast<const char *>(units.data());
            page.append(bytes, units.size() * sizeof(char16_t));
        }
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

SortedList::Place SortedList::PlaceOf(int position) const
{
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
    const Place place = position == lastAddedPosition_ ? lastAddedPlace_ : PlaceOf(position);
    if (place.block < blocks_.size()) {
        blocks_[place.block][place.offset].data = data; // blockLasts_ keeps keys only: its values go unread
    }
}

SortedList::Place SortedList::Bound(const Key &key, bool afterEqual) const
{
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
    const Prefix prefix = PrefixOf(key.Units());
    Place place = Bound(Key{key.Units(), prefix}, true);
    const bool latin1 = korva::platform::IsLatin1(text);
    const bool keyIsText = key.Units() == text;
    const Item item{
        prefix,   Store(text, key.Units(), latin1, keyIsText), static_cast<std::uint32_t>(text.size()), 0, latin1,
        keyIsText};

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
        std::vector<Item> upper;
        upper.reserve(2 * kBlockSize);
        upper.assign(block.begin() + static_cast<std::ptrdiff_t>(kBlockSize), block.end());
        block.resize(kBlockSize);
        const auto next = static_cast<std::ptrdiff_t>(place.block) + 1;
        blockLasts_[place.block] = block.back();
        blockLasts_.insert(blockLasts_.begin() + next, upper.back());
        blocks_.insert(blocks_.begin() + next, std::move(upper));
        blockStarts_.insert(blockStarts_.begin() + next, blockStarts_[place.block] + static_cast<int>(kBlockSize));
        if (place.offset >= kBlockSize) {
            place = {place.block + 1, place.offset - kBlockSize};
        }
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
