// SPDX-License-Identifier: MIT
// The index scan, then a whole search pass, and the ranked results of the same text. The input's first byte gives the
// search text's length (0 to 60 characters), the next three bytes per character its code point (any of Unicode's, lone
// surrogates included); the rest is the data file.
#include "fuzz_report.h"
#include "helpdata/testing/engine_exerciser.h"
#include "platform/unicode.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    std::size_t characters = data[0] % 61;
    std::size_t at = 1;
    std::u16string text;
    for (; characters > 0 && at + 3 <= size; --characters, at += 3) {
        const std::uint32_t codePoint = (data[at] | (data[at + 1] << 8) | (data[at + 2] << 16)) % 0x110000;
        // A surrogate's code point stands for itself: a lone surrogate, as a text control may hold one.
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            text += static_cast<char16_t>(codePoint);
        } else {
            korva::platform::AppendUtf16(codePoint, text);
        }
    }
    const std::string bytes(reinterpret_cast<const char *>(data) + at, size - at);
    korva::helpdata::testing::ReportProblems(korva::helpdata::testing::CheckSearchPass(bytes, text));
    korva::helpdata::testing::ReportProblems(korva::helpdata::testing::CheckRankedResults(bytes, text));
    return 0;
}
