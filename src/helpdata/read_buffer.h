// SPDX-License-Identifier: MIT
// The one buffer every reader of the data file shares.
#pragma once

#include "format.h"

#include <array>
#include <span>

namespace korva::helpdata {

// kReadBufferSize bytes, zero when made. Every read puts at most kChunkSize bytes into it, so its last two bytes stay
// zero for its whole life and bound every byte search that runs off the bytes read. Readers cut lines in place, so
// its contents are good only within one handler.
class ReadBuffer
{
public:
    // Where a read goes: the first kChunkSize bytes.
    std::span<char> Chunk() { return std::span<char>(bytes_).first(kChunkSize); }
    char *Data() { return bytes_.data(); }
    const char *Data() const { return bytes_.data(); }

private:
    std::array<char, kReadBufferSize> bytes_{};
};

} // namespace korva::helpdata
