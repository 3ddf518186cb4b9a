// SPDX-License-Identifier: MIT
// Walks back through bytes the way the readers need them, done by the C library where it offers one.
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

} // namespace korva::helpdata
