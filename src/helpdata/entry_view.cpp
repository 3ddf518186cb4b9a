// SPDX-License-Identifier: MIT
#include "entry_view.h"

#include "command_index.h"
#include "see_also.h"

#include <algorithm>

namespace korva::helpdata {

namespace {

using platform::IDC_COMMAND_LIST;
using platform::IDC_ENTRY_TEXT;

constexpr auto npos = std::string_view::npos;

// A file that changes while an entry is read is read again, this many times at most.
constexpr int kReadAttempts = 3;

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

void ShowNothing(const HelpContext &context)
{
    EmptySeeAlsoList(context);
    context.window.SetControlText(IDC_ENTRY_TEXT, std::u16string_view());
}

// Reads the selected command's entry; nothing when no command is selected, or when the file kept changing while it
// was read (then nothing is shown).
std::optional<std::string_view> ReadSelectedEntry(const HelpContext &context)
{
    for (int attempt = 1;; ++attempt) {
        const bool rebuilt = RebuildIndexIfChanged(context);
        platform::ListBox &list = context.window.ListBoxById(IDC_COMMAND_LIST);
        const int selection = list.GetCurSel();
        if (selection == platform::kNoItem) {
            if (rebuilt) {
                ShowNothing(context); // the command on show is gone from the file
            }
            return std::nullopt;
        }
        const std::string_view entryBytes = ReadEntryBytes(context.file, context.buffer, list.GetItemData(selection));
        if (!context.file.ContentChanged()) {
            return entryBytes;
        }
        if (attempt == kReadAttempts) {
            // Still changing: what was read may be another command's entry, so none is shown.
            ShowNothing(context);
            return std::nullopt;
        }
        // Changed while read: the offset may point into other content.
    }
}

} // namespace

std::string_view ReadEntryBytes(platform::HelpFile &file, ReadBuffer &buffer, std::uint32_t entryOffset)
{
    file.Seek(entryOffset);
    const std::uint32_t count = file.Read(buffer.Chunk());
    std::fill(buffer.Data() + count, buffer.Data() + kChunkSize, '\0');
    const std::string_view bytes(buffer.Data(), count);
    return bytes.substr(0, bytes.find('\0'));
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
    const std::size_t blank = entryBytes.find(kBlankLine, descriptionEnd);
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

void ComposeEntryText(const EntryParts &parts, EntryText &text)
{
    text.AppendAnsi(parts.description);
    if (!parts.hasParameters) {
        return;
    }
    text.Append(kParamsHeading);
    text.AppendAnsi(parts.parameters);
    if (parts.exampleLines.empty()) {
        return;
    }
    text.Append(kExamplesHeading);
    for (std::size_t cursor = 0; cursor < parts.exampleLines.size();) {
        const std::string_view line = LineAt(parts.exampleLines, cursor);
        text.AppendAnsi(line);
        text.Append(kLineBreak);
        cursor += line.size() + 1;
    }
}

void ShowSelectedEntry(const HelpContext &context)
{
    const std::optional<std::string_view> entryBytes = ReadSelectedEntry(context);
    if (!entryBytes) {
        return;
    }
    const std::optional<EntryParts> parts = ParseEntry(*entryBytes);
    if (!parts) {
        ShowNothing(context);
        return;
    }
    if (parts->hasParameters) {
        RefillSeeAlsoList(parts->seeAlsoLines, context);
    } else {
        EmptySeeAlsoList(context);
    }
    EntryText text;
    ComposeEntryText(*parts, text);
    context.window.SetControlText(IDC_ENTRY_TEXT, text.View());
}

void CopyEntrySelection(const HelpContext &context)
{
    context.window.EditById(IDC_ENTRY_TEXT).Copy();
}

} // namespace korva::helpdata
