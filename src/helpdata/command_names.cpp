// SPDX-License-Identifier: MIT
#include "command_names.h"

#include "format.h"
#include "match_fold.h"
#include "platform/code_page.h"
#include "platform/radix_sort.h"

#include <algorithm>
#include <array>

namespace korva::helpdata {

namespace {

// The bytes a name takes, as a rule.
constexpr std::size_t kTypicalNameBytes = 16;

enum class Kind : std::uint8_t
{
    Other,
    Lower,
    Upper,
    Digit,
};

// Each byte's kind, as a name's parts are cut by them.
const std::array<Kind, 256> kKinds = [] {
    std::array<Kind, 256> kinds{};
    for (std::size_t byte = 0; byte < kinds.size(); ++byte) {
        const auto value = static_cast<unsigned char>(byte);
        const char16_t unit = platform::AnsiCharToWide(value);
        kinds[byte] = value >= '0' && value <= '9'       ? Kind::Digit
                      : !IsWordByte(value)               ? Kind::Other
                      : platform::FoldCase(unit) != unit ? Kind::Upper
                                                         : Kind::Lower;
    }
    return kinds;
}();

Kind KindOf(unsigned char byte)
{
    return kKinds[byte];
}

NamePart Part(std::size_t start, std::size_t end)
{
    return {static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(end - start)};
}

} // namespace

std::vector<NamePart> NameParts(std::string_view name)
{
    std::vector<NamePart> parts;
    AppendNameParts(name, parts);
    return parts;
}

void AppendNameParts(std::string_view name, std::vector<NamePart> &parts)
{
    const std::size_t length = std::min<std::size_t>(name.size(), kIndexNameBufferSize);
    std::array<Kind, kIndexNameBufferSize> kinds;
    for (std::size_t at = 0; at < length; ++at) {
        kinds[at] = KindOf(static_cast<unsigned char>(name[at]));
    }
    // Where parts begin and end: at any other character, where digits meet letters, where a capital follows a
    // lower-case letter, and before the last capital of a run of them that a lower-case letter follows.
    const std::size_t first = parts.size();
    std::size_t start = 0;
    const auto close = [&](std::size_t end) {
        if (end > start) {
            parts.push_back(Part(start, end));
        }
        start = end;
    };
    for (std::size_t at = 0; at < length; ++at) {
        if (kinds[at] == Kind::Other) {
            close(at);
            start = at + 1;
            continue;
        }
        if (at == start) {
            continue;
        }
        const Kind before = kinds[at - 1];
        const bool digitsMeetLetters = (kinds[at] == Kind::Digit) != (before == Kind::Digit);
        const bool capitalAfterLower = kinds[at] == Kind::Upper && before == Kind::Lower;
        const bool lastCapital =
            kinds[at] == Kind::Upper && at + 1 < length && kinds[at + 1] == Kind::Lower && before == Kind::Upper;
        if (digitsMeetLetters || capitalAfterLower || lastCapital) {
            close(at);
        }
    }
    close(length);
    // A run of capitals before a lower-case letter may be a word of its own, and the lower-case letters the next
    // ("LUdecomposition", "QRsolve"): those two parts are the name's too.
    const std::size_t cut = parts.size();
    for (std::size_t i = first; i + 1 < cut; ++i) {
        const NamePart capitals = parts[i]; // copies: the parts grow below
        const NamePart next = parts[i + 1];
        if (next.start == capitals.start + capitals.length && next.length >= 2 && kinds[next.start] == Kind::Upper &&
            kinds[capitals.start] == Kind::Upper && kinds[next.start + 1] == Kind::Lower) {
            parts.push_back(Part(capitals.start, next.start + 1));
            parts.push_back(Part(next.start + 1, next.start + next.length));
        }
    }
}

CommandNames::CommandNames(const platform::ListBox &list) : CommandNames(list, ItemsInFileOrder(list)) {}

CommandNames::CommandNames(const platform::ListBox &list, const std::vector<std::uint64_t> &itemsInFileOrder)
    : listVersion_(list.ItemsVersion())
{
    const int count = list.GetCount();
    items_.reserve(static_cast<std::size_t>(count));
    inFileOrder_.reserve(static_cast<std::size_t>(count));
    parts_.reserve(2 * static_cast<std::size_t>(count));
    std::array<char, kIndexNameBufferSize> bytes;
    for (int item = 0; item < count; ++item) {
        const std::size_t length = list.GetCodePageText(item, bytes);
        // Each name twice, folded and as the list holds it.
        if (blocks_.empty() || used_ + 2 * length > lastBlockBytes_) {
            // A list of few names takes a block as small as their names are, as a rule; a block holds one name at
            // least.
            lastBlockBytes_ = static_cast<std::uint32_t>(std::max(
                2 * length,
                std::min<std::size_t>(kBlockBytes, static_cast<std::size_t>(count - item) * 2 * kTypicalNameBytes)));
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(lastBlockBytes_));
            used_ = 0;
        }
        char *folded = blocks_.back().get() + used_;
        std::transform(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), folded, FoldByte);
        std::copy_n(bytes.begin(), length, folded + length);
        const auto start = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlockBytes + used_);
        const std::size_t firstPart = parts_.size();
        AppendNameParts(std::string_view(bytes.data(), length), parts_);
        items_.push_back({start, static_cast<std::uint16_t>(length),
                          static_cast<std::uint16_t>(parts_.size() - firstPart), static_cast<std::uint32_t>(firstPart),
                          list.GetItemData(item), LettersOf(std::string_view(folded, length))});
        used_ += static_cast<std::uint32_t>(2 * length);
    }
    offsetsInFileOrder_.reserve(static_cast<std::size_t>(count));
    for (const std::uint64_t each : itemsInFileOrder) {
        inFileOrder_.push_back(static_cast<int>(each & 0xFFFFFFFFU));
        offsetsInFileOrder_.push_back(static_cast<std::uint32_t>(each >> 32));
    }
}

std::vector<std::uint64_t> ItemsInFileOrder(const platform::ListBox &list)
{
    // Each item's offset and place in one number, in the list's order; then sorted by the offsets alone, which keeps
    // equal offsets in the list's order, as the numbers sort: by a radix sort when there are many, in a quarter of the
    // time a comparison sort takes of 32768 items.
    std::vector<std::uint64_t> order(static_cast<std::size_t>(list.GetCount()));
    for (std::size_t item = 0; item < order.size(); ++item) {
        order[item] = (std::uint64_t{list.GetItemData(static_cast<int>(item))} << 32) | item;
    }
    platform::StableSortByKey(order, [](std::uint64_t each) { return each >> 32; });
    return order;
}

std::string_view CommandNames::FoldedName(int item) const
{
    const Item &named = items_[static_cast<std::size_t>(item)];
    return std::string_view(blocks_[named.start / kBlockBytes].get() + named.start % kBlockBytes, named.bytes);
}

std::string_view CommandNames::Name(int item) const
{
    const std::string_view folded = FoldedName(item);
    return std::string_view(folded.data() + folded.size(), folded.size());
}

std::span<const NamePart> CommandNames::Parts(int item) const
{
    const Item &named = items_[static_cast<std::size_t>(item)];
    return std::span<const NamePart>(parts_).subspan(named.firstPart, named.partCount);
}

} // namespace korva::helpdata
