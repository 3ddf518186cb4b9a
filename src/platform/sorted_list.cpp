// SPDX-License-Identifier: MIT
#include "sorted_list.h"

#include "code_page.h"
#include "radix_sort.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>

namespace korva::platform {

namespace {

// The code's escape: the byte before a unit of 0xFF and above.
constexpr unsigned char kWide = 0xFF;

// Lists this long and longer are sorted by radix; shorter ones by comparing.
constexpr std::size_t kRadixFrom = 128;

// A key's first eight bytes, from the top, zero past its end: heads order as the keys do, but for keys that agree in
// them (or that hold NUL units, which the zero padding cannot tell apart from the end).
std::uint64_t HeadOf(std::string_view key)
{
    std::uint64_t bytes = 0;
    if (key.size() >= sizeof bytes) {
        std::memcpy(&bytes, key.data(), sizeof bytes);
    } else {
        std::memcpy(&bytes, key.data(), key.size());
    }
    if constexpr (std::endian::native == std::endian::little) {
        // The first byte to the top; compilers make this one instruction.
        bytes = ((bytes & 0xFF) << 56) | ((bytes & 0xFF00) << 40) | ((bytes & 0xFF0000) << 24) |
                ((bytes & 0xFF000000) << 8) | ((bytes >> 8) & 0xFF000000) | ((bytes >> 24) & 0xFF0000) |
                ((bytes >> 40) & 0xFF00) | (bytes >> 56);
    }
    return bytes;
}

// Writes the code of `text`, folded when `Fold`, at `out`; yields its end, and in `changed` whether folding changed a
// unit.
template <bool Fold>
char *WriteCode(std::u16string_view text, char *out, bool &changed)
{
    // One byte a unit, the usual case, in a loop without branches; a text with wider units is written again.
    char16_t differs = 0;
    bool wide = false;
    char *const start = out;
    for (const char16_t original : text) {
        const char16_t unit = Fold ? kFoldedLatin1[original & 0xFF] : original;
        wide |= original >= kWide;
        differs |= unit ^ original;
        *out++ = static_cast<char>(unit);
    }
    if (!wide) {
        changed = differs != 0;
        return out;
    }
    out = start;
    differs = 0;
    for (const char16_t original : text) {
        char16_t unit = original;
        if constexpr (Fold) {
            unit = FoldCase(original);
            differs |= unit ^ original;
        }
        if (unit < kWide) {
            *out++ = static_cast<char>(unit);
        } else {
            *out++ = static_cast<char>(kWide);
            *out++ = static_cast<char>(unit >> 8);
            *out++ = static_cast<char>(unit & 0xFF);
        }
    }
    changed = differs != 0;
    return out;
}

// Folds eight bytes of ASCII at once from `in` to `out`, marking in `folded` the bits of the ones it changed (A-Z):
// false, and nothing written, where a byte is not ASCII. Byte by byte, with no carry from one into the next.
bool FoldAscii8(const char *in, char *out, std::uint64_t &folded)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x80 * kOnes;
    std::uint64_t word = 0;
    std::memcpy(&word, in, sizeof word);
    if ((word & kHighBits) != 0) {
        return false;
    }
    const std::uint64_t fromA = word + (0x80 - 'A') * kOnes;  // the high bit set where the byte is 'A' or above
    const std::uint64_t aboveZ = word + (0x7F - 'Z') * kOnes; // where it is above 'Z'
    const std::uint64_t capitals = fromA & ~aboveZ & kHighBits;
    word |= capitals >> 2; // 0x20 in each capital
    std::memcpy(out, &word, sizeof word);
    folded |= capitals;
    return true;
}

bool KeyLess(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    return order != 0 ? order < 0 : a.size() < b.size();
}

} // namespace

bool SortedList::AppendCode(std::u16string_view text, bool fold, std::string &bytes)
{
    const std::size_t at = bytes.size();
    bytes.resize(at + 3 * text.size());
    bool changed = false;
    char *out = bytes.data() + at;
    out = fold ? WriteCode<true>(text, out, changed) : WriteCode<false>(text, out, changed);
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return changed;
}

std::uint64_t SortedList::NewVersion()
{
    static std::atomic<std::uint64_t> versions{0}; // lists are filled on more than one thread
    return ++versions;
}

SortedList::SortedList(SortedList &&other) noexcept
    : capacity_(other.capacity_), version_(other.version_), bytes_(std::move(other.bytes_)),
      items_(std::move(other.items_)), sorted_(other.sorted_)
{
    other.Clear();
}

SortedList &SortedList::operator=(SortedList &&other) noexcept
{
    if (this != &other) {
        capacity_ = other.capacity_;
        version_ = other.version_;
        bytes_ = std::move(other.bytes_);
        items_ = std::move(other.items_);
        sorted_ = other.sorted_;
        other.Clear();
    }
    return *this;
}

void SortedList::Reserve(std::size_t items, std::size_t textUnits)
{
    items_.reserve(items_.size() + items);
    bytes_.reserve(std::min(capacity_, bytes_.size() + textUnits));
}

bool SortedList::Add(std::u16string_view text, std::uint32_t data)
{
    const std::size_t start = bytes_.size();
    const bool folded = AppendCode(text, true, bytes_);
    const std::size_t keyBytes = bytes_.size() - start;
    if (folded) {
        AppendCode(text, false, bytes_); // a text with capitals; one without is its own key
    }
    return PlaceItem(start, keyBytes, data);
}

bool SortedList::AddCodePage(std::string_view text, std::uint32_t data)
{
    // Most bytes of the code page are the unit of their value, below 0xFF, and take one byte of the code: the key
    // and the text are written in one go. The others (0x80-0x9F, and 0xFF) are widened and added as any text.
    const std::size_t start = bytes_.size();
    const std::size_t count = text.size();
    bytes_.resize(start + 2 * count);
    char *const key = bytes_.data() + start;
    std::size_t at = 0;
    std::uint64_t folded = 0;
    for (; at + 8 <= count && FoldAscii8(text.data() + at, key + at, folded); at += 8) {
    }
    bool otherUnits = false;
    for (; at < count; ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        otherUnits |= static_cast<unsigned char>(byte - 0x80) < 0x20 || byte == kWide;
        const char16_t unit = kFoldedLatin1[byte];
        folded |= unit ^ byte;
        key[at] = static_cast<char>(unit);
    }
    if (otherUnits) {
        bytes_.resize(start);
        std::u16string wide(count + 1, u'\0'); // and room for the NUL AnsiToWide writes
        wide.resize(AnsiToWide(text, wide));
        return Add(wide, data);
    }
    if (folded != 0) {
        std::memcpy(key + count, text.data(), count); // a text with capitals; one without is its own key
    } else {
        bytes_.resize(start + count);
    }
    return PlaceItem(start, count, data);
}

bool SortedList::PlaceItem(std::size_t start, std::size_t keyBytes, std::uint32_t data)
{
    const std::size_t textBytes = bytes_.size() - start - keyBytes;
    if (bytes_.size() > capacity_) {
        bytes_.resize(start);
        return false;
    }
    items_.push_back(Item{HeadOf(std::string_view(bytes_).substr(start, keyBytes)), static_cast<std::uint32_t>(start),
                          static_cast<std::uint32_t>(keyBytes), static_cast<std::uint32_t>(textBytes), data});
    sorted_ = false;
    version_ = NewVersion();
    return true;
}

void SortedList::Clear()
{
    version_ = NewVersion();
    bytes_.clear();
    items_.clear();
    sorted_ = true;
}

void SortedList::Sort() const
{
    if (sorted_) {
        return;
    }
    sorted_ = true;
    if (items_.size() < 2) {
        return;
    }
    // The items in the order they came, the ones sorted before first, stand in the order equal keys keep: both steps
    // are stable. A short list is quicker sorted by inserting each item after the ones not greater than it.
    if (items_.size() < kRadixFrom) {
        const auto less = [this](const Item &a, const Item &b) {
            return a.head != b.head ? a.head < b.head : KeyLess(KeyOf(a), KeyOf(b));
        };
        for (auto next = items_.begin() + 1; next != items_.end(); ++next) {
            const auto place = std::upper_bound(items_.begin(), next, *next, less);
            std::rotate(place, next, next + 1);
        }
        return;
    }
    RadixSortBy(items_, [](const Item &item) { return item.head; });
    for (auto run = items_.begin(); run != items_.end();) {
        const auto end = std::find_if(run, items_.end(), [&](const Item &item) { return item.head != run->head; });
        if (end - run > 1) {
            std::stable_sort(run, end, [this](const Item &a, const Item &b) { return KeyLess(KeyOf(a), KeyOf(b)); });
        }
        run = end;
    }
}

const SortedList::Item *SortedList::ItemAt(int position) const
{
    if (position < 0 || position >= Count()) {
        return nullptr;
    }
    Sort();
    return &items_[static_cast<std::size_t>(position)];
}

std::u16string SortedList::Text(int position) const
{
    std::u16string text;
    TextInto(position, text);
    return text;
}

void SortedList::TextInto(int position, std::u16string &text) const
{
    text.clear();
    const Item *item = ItemAt(position);
    if (item == nullptr) {
        return;
    }
    const std::string_view code = TextOf(*item);
    text.resize(code.size()); // a unit takes a byte of the code at least
    char16_t *unit = text.data();
    const auto *byte = reinterpret_cast<const unsigned char *>(code.data());
    const auto *end = byte + code.size();
    while (byte < end) {
        if (*byte == kWide && end - byte >= 3) {
            *unit++ = static_cast<char16_t>((byte[1] << 8) | byte[2]);
            byte += 3;
        } else {
            *unit++ = *byte++;
        }
    }
    text.resize(static_cast<std::size_t>(unit - text.data()));
}

std::size_t SortedList::CodePageText(int position, std::span<char> buffer) const
{
    if (buffer.empty()) {
        return 0;
    }
    const Item *item = ItemAt(position);
    const std::string_view code = item != nullptr ? TextOf(*item) : std::string_view();
    // A code byte below 0x80, or from 0xA0 to 0xFE, is a unit that is the code page's byte of that value; the others
    // (the code page's own letters and signs from 0x80 to 0x9F, and wider units) go through the code page.
    if (std::all_of(code.begin(), code.end(), [](char byte) {
            const auto value = static_cast<unsigned char>(byte);
            return value < 0x80 || (value >= 0xA0 && value < kWide);
        })) {
        const std::size_t length = std::min(code.size(), buffer.size() - 1);
        std::copy_n(code.begin(), length, buffer.begin());
        buffer[length] = '\0';
        return length;
    }
    std::u16string text;
    TextInto(position, text);
    return WideToAnsi(text, buffer);
}

std::uint32_t SortedList::Data(int position) const
{
    const Item *item = ItemAt(position);
    return item != nullptr ? item->data : 0;
}

void SortedList::AppendData(std::vector<std::uint32_t> &values) const
{
    values.reserve(values.size() + items_.size());
    for (const Item &item : items_) {
        values.push_back(item.data);
    }
}

int SortedList::Find(std::u16string_view prefix) const
{
    // Every text that begins with `prefix` orders at or after it, and those texts stand together: the first of them,
    // if any, is the first item not before `prefix`. A code's prefix is the code of the text's prefix.
    Sort();
    std::string &key = findKey_; // kept between finds, so that a find makes no allocation
    key.clear();
    AppendCode(prefix, true, key);
    const std::uint64_t head = HeadOf(key);
    const auto found = std::lower_bound(items_.begin(), items_.end(), key, [&](const Item &item, const std::string &k) {
        return item.head != head ? item.head < head : KeyLess(KeyOf(item), k);
    });
    if (found == items_.end() || !KeyOf(*found).starts_with(key)) {
        return -1;
    }
    return static_cast<int>(found - items_.begin());
}

} // namespace korva::platform
