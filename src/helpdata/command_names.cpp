// SPDX-License-Identifier: MIT
#include "command_names.h"

#include "format.h"
#include "match_fold.h"
#include "platform/code_page.h"

#include <algorithm>
#include <array>

namespace korva::helpdata {

namespace {

enum class Kind : std::uint8_t
{
    Other,
    Lower,
    Upper,
    Digit,
};

Kind KindOf(unsigned char byte)
{
    if (byte >= '0' && byte <= '9') {
        return Kind::Digit;
    }
    if (!IsWordByte(byte)) {
        return Kind::Other;
    }
    const char16_t unit = platform::AnsiCharToWide(byte);
    return platform::FoldCase(unit) != unit ? Kind::Upper : Kind::Lower;
}

NamePart Part(std::size_t start, std::size_t end)
{
    return {static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(end - start)};
}

} // namespace

std::vector<NamePart> NameParts(std::string_view name)
{
    const std::size_t length = std::min<std::size_t>(name.size(), UINT16_MAX);
    std::vector<Kind> kinds(length);
    for (std::size_t at = 0; at < length; ++at) {
        kinds[at] = KindOf(static_cast<unsigned char>(name[at]));
    }
    // Where parts begin and end: at any other character, where digits meet letters, where a capital follows a
    // lower-case letter, and before the last capital of a run of them that a lower-case letter follows.
    std::vector<NamePart> parts;
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
    for (std::size_t i = 0; i + 1 < cut; ++i) {
        const NamePart capitals = parts[i]; // copies: the parts grow below
        const NamePart next = parts[i + 1];
        if (next.start == capitals.start + capitals.length && next.length >= 2 && kinds[next.start] == Kind::Upper &&
            kinds[capitals.start] == Kind::Upper && kinds[next.start + 1] == Kind::Lower) {
            parts.push_back(Part(capitals.start, next.start + 1));
            parts.push_back(Part(next.start + 1, next.start + next.length));
        }
    }
    return parts;
}

CommandNames::CommandNames(const platform::ListBox &list) : listVersion_(list.ItemsVersion())
{
    const int count = list.GetCount();
    items_.reserve(static_cast<std::size_t>(count));
    inFileOrder_.reserve(static_cast<std::size_t>(count));
    std::array<char, kIndexNameBufferSize> bytes;
    for (int item = 0; item < count; ++item) {
        const std::size_t length = platform::WideToAnsi(list.GetText(item), bytes);
        if (blocks_.empty() || used_ + length > kBlockBytes) {
            blocks_.push_back(std::make_unique<char[]>(kBlockBytes));
            used_ = 0;
        }
        char *folded = blocks_.back().get() + used_;
        std::transform(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), folded,
                       [](char byte) { return static_cast<char>(kMatchFold[static_cast<unsigned char>(byte)]); });
        const auto start = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlockBytes + used_);
        const std::vector<NamePart> parts = NameParts(std::string_view(bytes.data(), length));
        items_.push_back({start, static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(parts.size()),
                          static_cast<std::uint32_t>(parts_.size()), list.GetItemData(item)});
        parts_.insert(parts_.end(), parts.begin(), parts.end());
        used_ += static_cast<std::uint32_t>(length);
        inFileOrder_.push_back(item);
    }
    // In file order, equal offsets in the list's order; sorted in place, with no buffer as large as the list.
    std::sort(inFileOrder_.begin(), inFileOrder_.end(), [this](int a, int b) {
        return EntryOffset(a) != EntryOffset(b) ? EntryOffset(a) < EntryOffset(b) : a < b;
    });
}

std::string_view CommandNames::FoldedName(int item) const
{
    const Item &named = items_[static_cast<std::size_t>(item)];
    return std::string_view(blocks_[named.start / kBlockBytes].get() + named.start % kBlockBytes, named.bytes);
}

std::span<const NamePart> CommandNames::Parts(int item) const
{
    const Item &named = items_[static_cast<std::size_t>(item)];
    return std::span<const NamePart>(parts_).subspan(named.firstPart, named.partCount);
}

} // namespace korva::helpdata
