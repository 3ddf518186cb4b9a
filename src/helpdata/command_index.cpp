// SPDX-License-Identifier: MIT
#include "command_index.h"

#include "platform/code_page.h"

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
        if (chunk[at - 1] == '\n' && chunk[at - 2] == '\n') { // the separator's blank line
            return at;
        }
    }
    return std::string_view::npos;
}

void AddCommand(std::string_view headerLine, std::uint32_t entryOffset, platform::ListBox &list)
{
    list.AddCodePageItem(CommandNameOf(headerLine).substr(0, kMaxNameUnits), entryOffset);
}

// One front-to-back scan of the file for its headers, a block at a time.
class IndexScan
{
public:
    IndexScan(platform::HelpFile &file, platform::ListBox &list) : file_(file), list_(list) {}

    void Run()
    {
        file_.Seek(0);
        for (;;) {
            const std::uint32_t blockStart = file_.Position();
            const std::span<const char> block = file_.ReadView(kScanBlockSize);
            if (block.empty()) {
                return;
            }
            const bool lastBlock = block.size() < kScanBlockSize;
            const std::optional<std::uint32_t> stepBack =
                ScanBlock(std::string_view(block.data(), block.size()), blockStart, lastBlock);
            if (!stepBack || lastBlock) {
                return;
            }
            file_.SeekBack(*stepBack);
        }
    }

private:
    // Indexes the headers of one block. Yields how far the next block starts back from this one's end (the overlap,
    // or back to a header line the block cuts); nothing when the scan ends here.
    std::optional<std::uint32_t> ScanBlock(std::string_view block, std::uint32_t blockStart, bool lastBlock)
    {
        const auto count = static_cast<std::uint32_t>(block.size());
        std::size_t cursor = decidedUpTo_ > blockStart ? std::min<std::size_t>(decidedUpTo_ - blockStart, count) : 0;
        for (;;) {
            const std::size_t header = NextHeader(block, blockStart, cursor);
            if (header == std::string_view::npos) {
                return kOverlap;
            }
            seenHeader_ = true;
            const std::size_t lineEnd = block.find('\n', header);
            if (lineEnd == std::string_view::npos) {
                return HeaderCutByTheBlock(blockStart, header, count, lastBlock);
            }
            if (lineEnd - header >= kChunkSize) {
                // A header line no chunk of the readers holds whole, with its LF: it is passed over.
                decidedUpTo_ = blockStart + static_cast<std::uint32_t>(header) + 1;
                cursor = header + 1;
                continue;
            }
            const auto entryOffset = blockStart + static_cast<std::uint32_t>(lineEnd + 1);
            AddCommand(block.substr(header, lineEnd - header), entryOffset, list_);
            cursor = lineEnd + 1;
            decidedUpTo_ = entryOffset;
            if (++indexed_ == kMaxEntries) {
                return std::nullopt;
            }
        }
    }

    // The next header at or after `cursor`: a header line the last block cut, the file's first "#", or the "#" of
    // the next separator.
    std::size_t NextHeader(std::string_view block, std::uint32_t blockStart, std::size_t cursor)
    {
        if (cutHeader_) {
            const std::size_t header = *cutHeader_ - blockStart;
            cutHeader_.reset();
            return header;
        }
        return seenHeader_ ? FindSeparatorHeader(block, cursor) : block.find(kHeaderKind, cursor);
    }

    // A header line without its LF in the block: the next block starts at its "#", unless the file ends here.
    std::optional<std::uint32_t> HeaderCutByTheBlock(std::uint32_t blockStart, std::size_t header, std::uint32_t count,
                                                     bool lastBlock)
    {
        if (lastBlock) {
            return std::nullopt; // the file's last header line has no LF
        }
        if (header == 0) {
            // A header line longer than a block: passed over, as above.
            decidedUpTo_ = blockStart + 1;
            return kOverlap;
        }
        cutHeader_ = blockStart + static_cast<std::uint32_t>(header);
        return count - static_cast<std::uint32_t>(header);
    }

    platform::HelpFile &file_;
    platform::ListBox &list_;
    std::size_t indexed_ = 0;
    bool seenHeader_ = false;
    // Every "#" before this offset has been decided on.
    std::uint32_t decidedUpTo_ = 0;
    // A header whose line the previous block cut: the next block is read from its "#".
    std::optional<std::uint32_t> cutHeader_;
};

} // namespace

namespace {

// The first item, from the top, of those whose name begins with `name` (case ignored) that `wanted` takes; kNoItem
// when it takes none. They stand together from the first the list finds.
template <typename Wanted>
int FirstBeginningWith(const platform::ListBox &list, std::u16string_view name, Wanted wanted)
{
    for (int item = list.FindString(name); item != platform::kNoItem && item < list.GetCount(); ++item) {
        const std::u16string text = list.GetText(item);
        if (!platform::StartsWithFolded(text, name)) {
            break;
        }
        if (wanted(item, text)) {
            return item;
        }
    }
    return platform::kNoItem;
}

} // namespace

int FindEntry(const platform::ListBox &list, std::u16string_view name, std::optional<std::uint32_t> entryOffset)
{
    if (entryOffset) {
        const int thatEntry = FirstBeginningWith(list, name, [&](int item, const std::u16string &text) {
            return text == name && list.GetItemData(item) == *entryOffset;
        });
        if (thatEntry != platform::kNoItem) {
            return thatEntry;
        }
    }
    return FirstBeginningWith(list, name, [&](int, const std::u16string &text) { return text == name; });
}

int FindEntryAt(const platform::ListBox &list, std::u16string_view name, std::uint32_t entryOffset)
{
    return FirstBeginningWith(list, name, [&](int item, const std::u16string &text) {
        return text == name && list.GetItemData(item) == entryOffset;
    });
}

int FindCommand(const platform::ListBox &list, std::u16string_view name)
{
    if (const int exact = FindEntry(list, name); exact != platform::kNoItem) {
        return exact;
    }
    // Beginning with the name and as long as it: the name in another case.
    const int sameButForCase =
        FirstBeginningWith(list, name, [&](int, const std::u16string &text) { return text.size() == name.size(); });
    return sameButForCase != platform::kNoItem ? sameButForCase : list.FindString(name);
}

void BuildIndex(platform::HelpFile &file, platform::ListBox &list)
{
    list.SetRedraw(false);
    const std::size_t length = file.Length();
    list.InitStorage(std::min(length / kBytesPerEntryAtLeast, kMaxEntries),
                     std::min(length, kMaxEntries * kMaxNameUnits));
    file.NoteContent();
    IndexScan(file, list).Run();
    list.SetRedraw(true);
}

} // namespace korva::helpdata
