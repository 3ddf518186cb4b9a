// SPDX-License-Identifier: MIT
#include "entry_format.h"

#include "byte_scan.h"

#include <algorithm>

namespace korva::helpdata {

namespace {

constexpr auto npos = std::string_view::npos;

// The text of a line after its first `skip` bytes; empty for a shorter line.
std::string_view Skip(std::string_view line, std::size_t skip)
{
    return line.size() > skip ? line.substr(skip) : std::string_view();
}

// The line that starts at `start`: up to its LF, or to the end of `text` when it has none.
std::string_view LineAt(std::string_view text, std::size_t start)
{
    const std::size_t end = text.find('\n', start);
    return text.substr(start, end == npos ? npos : end - start);
}

// The range from `start` to where `text` stands now.
platform::TextRange RangeFrom(std::size_t start, const EntryText &text)
{
    return {start, text.Length() - std::min(start, text.Length())};
}

} // namespace

std::string_view EntryBytesOf(std::string_view fromOffset)
{
    // Nothing after the entry's closing blank line is read as part of it: the NUL that ends the text need only be
    // looked for up to there.
    const std::string_view bytes = fromOffset.substr(0, kChunkSize);
    const std::size_t blank = FindBlankLine(bytes);
    const std::string_view entry = blank == npos ? bytes : bytes.substr(0, blank + kBlankLine.size());
    return entry.substr(0, entry.find('\0'));
}

std::string_view ReadEntryBytes(platform::HelpFile &file, ReadBuffer &buffer, std::uint32_t entryOffset)
{
    file.Seek(entryOffset);
    const std::uint32_t count = file.Read(buffer.Chunk());
    std::fill(buffer.Data() + count, buffer.Data() + kChunkSize, '\0');
    return EntryBytesOf(std::string_view(buffer.Data(), count));
}

std::optional<EntryParts> ParseEntry(std::string_view entryBytes)
{
    const std::size_t secondLineEnd = entryBytes.find('\n');
    if (secondLineEnd == npos || secondLineEnd + 1 >= entryBytes.size() ||
        entryBytes[secondLineEnd + 1] != kDescriptionKind) {
        return std::nullopt;
    }
    const std::size_t descriptionStart = secondLineEnd + 1;
    const std::size_t descriptionEnd = entryBytes.find('\n', descriptionStart);
    if (descriptionEnd == npos) {
        return std::nullopt;
    }
    // Through the LF of the entry's last line, before its closing blank line.
    const std::size_t blank = FindBlankLine(entryBytes, descriptionEnd);
    const std::string_view entry = entryBytes.substr(0, blank == npos ? npos : blank + 1);

    EntryParts parts;
    parts.description = Skip(entry.substr(descriptionStart, descriptionEnd - descriptionStart), kDescriptionSkip);
    // The parameters line is the first of kind "0" after the fourth line: the search starts at the fourth line's
    // first byte, so that line is never taken, whatever its kind.
    const std::size_t marker = entry.find(kParametersMarker, descriptionEnd + 1);
    if (marker == npos) {
        return parts;
    }
    const std::string_view parametersLine = LineAt(entry, marker + 1);
    parts.hasParameters = true;
    parts.parameters = Skip(parametersLine, kParametersSkip);

    const std::size_t seeAlsoStart = std::min(marker + 1 + parametersLine.size() + 1, entry.size());
    std::size_t cursor = seeAlsoStart;
    while (cursor < entry.size() && entry[cursor] == kSeeAlsoKind) {
        cursor += LineAt(entry, cursor).size() + 1;
    }
    cursor = std::min(cursor, entry.size());
    parts.seeAlsoLines = entry.substr(seeAlsoStart, cursor - seeAlsoStart);
    parts.exampleLines = entry.substr(cursor);
    return parts;
}

namespace {

void ComposeParts(const EntryParts &parts, EntryText &text, EntryLayout &layout)
{
    text.AppendAnsi(parts.description);
    layout.searched.push_back(RangeFrom(0, text));
    if (!parts.hasParameters) {
        return;
    }
    text.Append(kParamsHeading);
    const std::size_t parameters = text.Length();
    text.AppendAnsi(parts.parameters);
    layout.parameters = RangeFrom(parameters, text);
    layout.searched.push_back(layout.parameters);
    if (parts.exampleLines.empty()) {
        return;
    }
    text.Append(kExamplesHeading);
    const std::size_t examples = text.Length();
    ForEachExampleLine(parts, [&text, &layout](std::string_view line) {
        const std::size_t start = text.Length();
        text.AppendAnsi(line);
        if (!line.empty() && !IsHiddenFromSearch(line.front())) {
            layout.searched.push_back(RangeFrom(start, text));
        }
        // A break lost after the last line is nothing lost; after another line, that line's loss cuts the text.
        text.AppendBreak(kLineBreak);
    });
    layout.examples = RangeFrom(examples, text);
}

} // namespace

EntryLayout ComposeEntryText(const EntryParts &parts, EntryText &text)
{
    EntryLayout layout;
    ComposeParts(parts, text, layout);
    // A text cut at the buffer's end (a file that breaks the format's limit) does not end as if it were whole: half an
    // example would read as a formula of its own.
    text.EndCutWithEllipsis();
    return layout;
}

} // namespace korva::helpdata
