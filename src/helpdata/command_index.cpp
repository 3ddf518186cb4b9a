#include "command_index.h"

#include "platform/code_page.h"

#include <array>
#include <optional>
#include <string_view>

namespace korva::helpdata {

namespace {

// Consecutive chunks overlap by this many bytes, so that a separator cut by a chunk's end lies whole in the next one.
constexpr std::uint32_t kOverlap = kEntrySeparator.size() - 1;

void AddCommand(std::string_view headerLine, std::uint32_t entryOffset, platform::ListBox &list)
{
    std::string_view name = headerLine.size() > kHeaderSkip ? headerLine.substr(kHeaderSkip) : std::string_view();
    name = name.substr(0, name.find('\0'));
    std::array<char16_t, kIndexNameBufferSize> wide;
    const std::size_t length = platform::AnsiToWide(name, wide);
    const int position = list.AddString(std::u16string_view(wide.data(), length));
    list.SetItemData(position, entryOffset);
}

} // namespace

void BuildIndex(platform::HelpFile &file, ReadBuffer &buffer, platform::ListBox &list)
{
    list.SetRedraw(false);

    std::uint32_t chunkStart = 0;
    bool seenHeader = false;
    // Every "#" before this offset has been decided on.
    std::uint32_t decidedUpTo = 0;
    // A header whose line the previous chunk cut: the next chunk is read from its "#".
    std::optional<std::uint32_t> cutHeader;

    for (;;) {
        file.Seek(chunkStart);
        const std::uint32_t count = file.Read(buffer.Chunk());
        if (count == 0) {
            break;
        }
        const std::string_view chunk(buffer.Data(), count);
        const bool lastChunk = count < kChunkSize;
        std::uint32_t nextChunkStart = chunkStart + count - kOverlap;
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
                // The separator's two LFs may stand just before the cursor.
                const std::size_t separator = chunk.find(kEntrySeparator, cursor >= kOverlap ? cursor - kOverlap : 0);
                if (separator != std::string_view::npos) {
                    header = separator + kOverlap;
                }
            }
            if (header == std::string_view::npos) {
                break;
            }
            seenHeader = true;

            const std::size_t lineEnd = chunk.find('\n', header);
            if (lineEnd == std::string_view::npos) {
                if (lastChunk) {
                    scanEnds = true; // the file's last header line has no LF
                } else if (header > 0) {
                    cutHeader = chunkStart + static_cast<std::uint32_t>(header);
                    nextChunkStart = *cutHeader;
                } else {
                    // A header line longer than a chunk: it cannot be read whole, so it is passed over.
                    decidedUpTo = chunkStart + 1;
                }
                break;
            }
            const auto entryOffset = chunkStart + static_cast<std::uint32_t>(lineEnd + 1);
            AddCommand(chunk.substr(header, lineEnd - header), entryOffset, list);
            cursor = lineEnd + 1;
            decidedUpTo = entryOffset;
        }

        if (scanEnds || lastChunk) {
            break;
        }
        chunkStart = nextChunkStart;
    }

    list.SetRedraw(true);
}

} // namespace korva::helpdata
