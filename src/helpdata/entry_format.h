// SPDX-License-Identifier: MIT
// One entry of the data file as every reader that shows it takes it: its bytes at its EntryOffset, the parts the
// entry view shows (ParseEntry), and the text composed of them (ComposeEntryText), with where its formulas stand. The
// window, the ranked search and the terminal all read entries through these.
#pragma once

#include "fixed_text.h"
#include "format.h"
#include "platform/platform.h"
#include "read_buffer.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace korva::helpdata {

// An entry as the entry view reads it from the bytes at its EntryOffset.
struct EntryParts
{
    std::string_view description;  // the text of its third line
    bool hasParameters = false;    // false for an entry whose description is all it shows
    std::string_view parameters;   // the synopsis of its parameters line
    std::string_view seeAlsoLines; // its lines of kind "-" right after the parameters line, each ending with its LF
    std::string_view exampleLines; // the lines after those up to its closing blank line, each with its LF but the last
};

// The bytes of an entry as every reader takes them, of `fromOffset` (the file's bytes from the entry's EntryOffset
// on): kChunkSize bytes at most, up to the first NUL, which ends the text for every reader, and no further than the
// entry's closing blank line.
std::string_view EntryBytesOf(std::string_view fromOffset);

// The bytes of the entry at `entryOffset`: kChunkSize bytes read from the offset into `buffer` (no byte of an earlier
// read takes part), as EntryBytesOf takes them.
std::string_view ReadEntryBytes(platform::HelpFile &file, ReadBuffer &buffer, std::uint32_t entryOffset);

// The parts of the entry whose bytes are `entryBytes`; nothing when it cannot be shown (its second line has no LF
// in them, its third line is not of kind "2", or its description has no LF in them). The entry ends at its closing
// blank line, or with the bytes when they hold none: nothing after it is taken for part of it.
std::optional<EntryParts> ParseEntry(std::string_view entryBytes);

// Calls `line(text)` for each example line of `parts`, in order.
template <typename Line>
void ForEachExampleLine(const EntryParts &parts, Line line)
{
    for (std::size_t cursor = 0; cursor < parts.exampleLines.size();) {
        const std::size_t end = std::min(parts.exampleLines.find('\n', cursor), parts.exampleLines.size());
        line(parts.exampleLines.substr(cursor, end - cursor));
        cursor = end + 1;
    }
}

// Calls `text(part)` for each part of the entry beyond its description that the search reads: its parameters, then each
// example line but those of kind "1" and "3". Nothing for an entry without a parameters line.
template <typename Text>
void ForEachSearchedText(const EntryParts &parts, Text text)
{
    if (!parts.hasParameters) {
        return;
    }
    text(parts.parameters);
    ForEachExampleLine(parts, [&text](std::string_view line) {
        if (!line.empty() && !IsHiddenFromSearch(line.front())) {
            text(line);
        }
    });
}

// The text the entry view shows of an entry, cut to its buffer: kMaxEntryText units at most.
using EntryText = FixedText<kEntryTextBufferSize>;

// Where the parts of an entry stand in its composed text, each cut where the text is.
struct EntryLayout
{
    // The formulas: the parameter synopsis, and the example lines (each with the line break after it). An entry
    // without them, or a text cut before them, has an empty range.
    platform::TextRange parameters;
    platform::TextRange examples;
    // What Find searches of the entry (ForEachSearchedText): its description, its synopsis, and each example line but
    // those of kind "1" and "3". The program's own headings between them are no text of the entry.
    std::vector<platform::TextRange> searched;
};

// Composes `parts` as the entry view shows them, in at most 999 units:
//   description ["\r\n\r\nParams:" synopsis ["\r\n\r\nExamples:\r\n" (example line "\r\n")...]]
// and yields where its parts stand in it. A text that does not fit ends with an ellipsis ("\u2026") in place of its
// 999th unit.
EntryLayout ComposeEntryText(const EntryParts &parts, EntryText &text);

} // namespace korva::helpdata
