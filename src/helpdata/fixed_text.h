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
        cut_ = cut_ || count < text.size();
    }

    // Appends `ansi` converted from the data file's code page, one unit a byte.
    void AppendAnsi(std::string_view ansi)
    {
        const std::size_t count = platform::AnsiToWide(ansi, std::span<char16_t>(units_).subspan(length_));
        length_ += count;
        cut_ = cut_ || count < ansi.size();
    }

    // Appends a line break, which says nothing is missing when it does not fit: the text is no more cut than before.
    void AppendBreak(std::u16string_view lineBreak)
    {
        const bool cut = cut_;
        Append(lineBreak);
        cut_ = cut;
    }

    // Ends a text that an append did not fit whole with an ellipsis, in place of its last unit, so that what is shown
    // of it says there is more. Every unit is a character: the code page's and the program's own are all in the BMP.
    void EndCutWithEllipsis()
    {
        if (cut_ && length_ > 0) {
            units_[length_ - 1] = u'\u2026';
        }
    }

    std::u16string_view View() const { return std::u16string_view(units_.data(), length_); }
    std::size_t Length() const { return length_; }

private:
    std::size_t Room() const { return Size - 1 - length_; }

    std::array<char16_t, Size> units_{};
    std::size_t length_ = 0;
    bool cut_ = false;
};

} // namespace korva::helpdata
