// SPDX-License-Identifier: MIT
// A text of at most Size - 1 UTF-16 units in a fixed buffer: appends are cut at the buffer's end, never overrun it.
#pragma once

#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace korva::helpdata {

template <std::size_t Size>
class FixedText
{
    static_assert(Size > 0);

public:
    void Append(std::u16string_view text)
    {
        const std::size_t count = std::min(text.size(), Room());
        std::copy_n(text.data(), count, units_.data() + length_);
        length_ += count;
        units_[length_] = u'\0';
    }

    // Appends `ansi` converted from the data file's code page.
    void AppendAnsi(std::string_view ansi)
    {
        length_ += platform::AnsiToWide(ansi, std::span<char16_t>(units_).subspan(length_));
    }

    std::u16string_view View() const { return std::u16string_view(units_.data(), length_); }
    std::size_t Length() const { return length_; }

private:
    std::size_t Room() const { return Size - 1 - length_; }

    std::array<char16_t, Size> units_{};
    std::size_t length_ = 0;
};

} // namespace korva::helpdata
