// SPDX-License-Identifier: MIT
// Finds bytes the way the readers need them, done by the C library where it offers one.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace korva::helpdata {

// The last `byte` in `text` at or after `from`, or npos.
inline std::size_t FindLastByte(std::string_view text, char byte, std::size_t from = 0)
{
    if (from >= text.size()) {
        return std::string_view::npos;
    }
#if defined(__GLIBC__)
    const void *found = ::memrchr(text.data() + from, byte, text.size() - from);
    return found != nullptr ? static_cast<std::size_t>(static_cast<const char *>(found) - text.data())
                            : std::string_view::npos;
#else
    const std::size_t found = text.rfind(byte);
    return found != std::string_view::npos && found >= from ? found : std::string_view::npos;
#endif
}

// The first blank line (LF LF) in `text` at or after `from`: the place of its first LF, or npos. Each LF is found by
// the C library and the byte after it looked at, with no call to compare two bytes.
inline std::size_t FindBlankLine(std::string_view text, std::size_t from = 0)
{
    for (std::size_t at = text.find('\n', from); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('\n', at + 1)) {
        if (text[at + 1] == '\n') {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace korva::helpdata
