// SPDX-License-Identifier: MIT
#include "command_index.h"

#include "find_next.h"
#include "platform/code_page.h"

#include <array>
#include <optional>
#include <string_view>

namespace korva::helpdata {

namespace {

// Consecutive blocks overlap by this many bytes, so that a separator cut by a block's end lies whole in the next one.
constexpr std::uint32_t kOverlap = kEntrySeparator.size() - 1;

// A low guess at the bytes an entry takes, to size the list before the scan: a real file rarely has more entries than
// it foresees, and room for more than the list takes is never asked.
constexpr std::size_t kBytesPerEntryAtLeast = 64;
// A name's units come from bytes of the file, one each, and are cut to fit the name buffer.
constexpr std::size_t kMaxNameUnits = kIndexNameBufferSize - 1;

// The "#" of the first separator LF LF "#" in `chunk` whose "#" stands at or after `from`; npos when there is none.
// A "#" is rare (the format has one per entry) where LF is common, so the scan looks for the "#" and checks the two
// bytes before it. A "#" in the first two bytes of a chunk cannot be checked; the overlap with the previous chunk
// has decided on it.
std::size_t FindSeparatorHeader(std::string_view chunk, std::size_t from)
{
    for (std::size_t at = chunk.find(kHeaderKind, std::max<std::size_t>(from, kOverlap)); at != std::string_view::npos;
         at = chunk.find(kHeaderKind, at + 1)) {
        if (chunk.compare(at - kOverlap, kOverlap, kBlankLine) == 0) {
            return at;
        }
    }
    return std::string_view::npos;
}

void AddCommand(std::string_view headerLine, std::uint32_t entryOffset, platform::ListBox &list)
{
    std::array<char16_t, kIndexNameBufferSize> wide;
    const std::size_t length = platform::AnsiToWide(CommandNameOf(headerLine), wide);
    list.AddItem(std::u16string_view(wide.data(), length), entryOffset);
}

// The first item whose text is `name` exactly, or kNoItem.
int FindExactly(const platform::ListBox &list, const std::u16string &name)
{
    for (int item = list.FindString(name); item != platform::kNoItem && item < list.GetCount(); ++item) {
        const std::u16string text = list.GetText(item);
        if (text == name) {
            return item;
        }
        if (!platform::StartsWithFolded(text, name)) {
            break;
        }
    }
    return platform::kNoItem;
}

} // namespace

void BuildIndex(platform::HelpFile &file, platform::ListBox &list)
{
    list.SetRedraw(false);
    const std::size_t length = file.Length();
    list.InitStorage(std::min(length / kBytesPerEntryAtLeast, kMaxEntries),
                     std::min(length, kMaxEntries * kMaxNameUnits));

    file.NoteContent();
    file.Seek(0);
    std::size_t indexed = 0;
    bool seenHeader = false;
    // Every "#" before this offset has been decided on.
    std::uint32_t decidedUpTo = 0;
    // A header whose line the previous chunk cut: the next chunk is read from its "#".
    std::optional<std::uint32_t> cutHeader;

    for (;;) {
        const std::uint32_t chunkStart = file.Position();
        const std::span<const char> block = file.ReadView(kScanBlockSize);
        const auto count = static_cast<std::uint32_t>(block.size());
        if (count == 0) {
            break;
        }
        const std::string_view chunk(block.data(), count);
        const bool lastChunk = count < kScanBlockSize;
        // The next chunk overlaps this one by kOverlap bytes, or starts at a cut header.
        std::uint32_t stepBack = kOverlap;
        bool scanEnds = false;
        std::size_t cursor = decidedUpTo > chunkStart ? std::min<std::size_t>(decidedUpTo - chunkStart, count) : 0;

        for (;;) {
            std::size_t header = std::string_view::npos;
            if (cutHeader) {
                header = *cutHeader - chunkStart;
                cutHeader.reset();
            } else if (!seenHeader) {
                header = chunk.find(kHeaderKind, cursor);
            } else {
                header = FindSeparatorHeader(chunk, cursor);
            }
            if (header == std::string_view::npos) {
                break;
            }
            seenHeader = true;

            std::size_t lineEnd = chunk.find('\n', header);
            if (lineEnd != std::string_view::npos && lineEnd - header >= kChunkSize) {
                // A header line no chunk of the readers holds whole, with its LF: it is passed over.
                decidedUpTo = chunkStart + static_cast<std::uint32_t>(header) + 1;
                cursor = header + 1;
                continue;
            }
            if (lineEnd == std::string_view::npos) {
                if (lastChunk) {
                    scanEnds = true; // the file's last header line has no LF
                } else if (header > 0) {
                    cutHeader = chunkStart + static_cast<std::uint32_t>(header);
                    stepBack = count - static_cast<std::uint32_t>(header);
                } else {
                    // A header line longer than a block: passed over, as above.
                    decidedUpTo = chunkStart + 1;
                }
                break;
            }
            const auto entryOffset = chunkStart + static_cast<std::uint32_t>(lineEnd + 1);
            AddCommand(chunk.substr(header, lineEnd - header), entryOffset, list);
            cursor = lineEnd + 1;
            decidedUpTo = entryOffset;
            if (++indexed == kMaxEntries) {
                scanEnds = true;
                break;
            }
        }

        if (scanEnds || lastChunk) {
            break;
        }
        file.SeekBack(stepBack);
    }

    list.SetRedraw(true);
}

bool RebuildIndexIfChanged(const HelpContext &context)
{
    if (!context.file.ContentChanged()) {
        return false;
    }
    platform::ListBox &list = context.window.ListBoxById(platform::IDC_COMMAND_LIST);
    const std::u16string selected = list.GetText(list.GetCurSel());
    list.ResetContent();
    BuildIndex(context.file, list);
    if (!selected.empty()) {
        list.SetCurSel(FindExactly(list, selected));
    }
    ResetSearch(context.window);
    return true;
}

} // namespace korva::helpdata
