// SPDX-License-Identifier: MIT
// The index scan, then a whole Find pass with a search text, or the ranked results of that text. The input's first
// byte says which (its high bit: the ranking) and the search text's length (its other bits, 0 to 60 characters); the
// next three bytes per character give its code point (any of Unicode's, lone surrogates included); the rest is the data
// file. Each input runs one of the two, so that each runs twice as often: both reach every file, as the bit is flipped
// by the mutations like any other.
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
    const bool ranking = (data[0] & 0x80) != 0;
    std::size_t characters = (data[0] & 0x7F) % 61;
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
    if (ranking) {
        korva::helpdata::testing::ReportProblems(korva::helpdata::testing::CheckRankedResults(bytes, text));
    } else {
        korva::helpdata::testing::ReportProblems(korva::helpdata::testing::CheckSearchPass(bytes, text));
    }
    return 0;
}
