// SPDX-License-Identifier: MIT
// The entries of a command list read from the data file in file order, a large block of the file at a time, each
// taken as the entry view takes it (EntryBytesOf): what the word table and the ranked search read the text through.
// The entries are given by their offsets in file order (CommandNames::OffsetsInFileOrder).
#pragma once

#include "entry_format.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace korva::helpdata {

class EntryBlocks
{
public:
    // The file is read in blocks of this many bytes.
    static constexpr std::uint32_t kBlockBytes = 64 * 1024;

    explicit EntryBlocks(std::span<const std::uint32_t> offsets) : EntryBlocks(offsets, 0, offsets.size()) {}
    // The entries from the `first` in file order to the one before `last`.
    EntryBlocks(std::span<const std::uint32_t> offsets, std::size_t first, std::size_t last)
        : offsets_(offsets), next_(first), last_(std::min(last, offsets.size()))
    {}

    // Reads on through the file, about `byteBudget` bytes of it at most (at least one block), and calls
    // `entry(k, entryBytes, entryOffset)` for each entry, k its place in the names' file order. Yields whether every
    // entry has been read. A file that has changed since the list was built ends the reading as stale: its offsets
    // may point into other content.
    template <typename Entry>
    bool Continue(platform::HelpFile &file, std::size_t byteBudget, Entry entry);
    bool Done() const { return stale_ || next_ >= last_; }
    bool Stale() const { return stale_; }

private:
    std::span<const std::uint32_t> offsets_;
    std::size_t next_; // the next entry in file order to read
    std::size_t last_;
    bool stale_ = false;
};

template <typename Entry>
bool EntryBlocks::Continue(platform::HelpFile &file, std::size_t byteBudget, Entry entry)
{
    std::size_t read = 0;
    // A change since the last call ends the reading; within a call, the check after each block covers the next.
    if (!Done() && file.ContentChanged()) {
        stale_ = true;
    }
    while (!Done() && (read == 0 || read < byteBudget)) {
        const std::uint32_t blockStart = offsets_[next_];
        file.Seek(blockStart);
        const std::span<const char> view = file.ReadView(kBlockBytes);
        if (file.ContentChanged()) {
            stale_ = true; // changed while read
            break;
        }
        const bool endsFile = view.size() < kBlockBytes;
        const std::string_view block(view.data(), view.size());
        // The entries whose bytes the block holds whole, as the entry view would read them; at the file's end, all.
        std::size_t last = next_;
        do {
            const std::uint32_t offset = offsets_[last];
            const std::uint64_t start = std::uint64_t{offset} - blockStart;
            entry(last, start < block.size() ? EntryBytesOf(block.substr(static_cast<std::size_t>(start))) : "",
                  offset);
            ++last;
        } while (last < last_ && (endsFile || std::uint64_t{offsets_[last]} + kChunkSize <= blockStart + block.size()));
        read += std::max<std::size_t>(view.size(), 1);
        next_ = last;
    }
    return Done();
}

} // namespace korva::helpdata
