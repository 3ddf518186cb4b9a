// SPDX-License-Identifier: MIT
#include "entry_view.h"

#include "command_index.h"
#include "fixed_text.h"
#include "format.h"
#include "see_also.h"

#include <algorithm>
#include <optional>
#include <string_view>

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

// Reads the selected command's entry into the buffer; yields the window of bytes read up to the first NUL, or
// nothing when no command is selected.
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
        context.file.Seek(list.GetItemData(selection));
        const std::uint32_t count = context.file.Read(context.buffer.Chunk());
        std::fill(context.buffer.Data() + count, context.buffer.Data() + kChunkSize, '\0');
        if (context.file.ContentChanged()) {
            if (attempt < kReadAttempts) {
                continue; // changed while read: the offset may point into other content
            }
            // Still changing: what was read may be another command's entry, so none is shown.
            ShowNothing(context);
            return std::nullopt;
        }
        // The window: the bytes read, up to the first NUL, which ends the text for every reader.
        const std::string_view window(context.buffer.Data(), count);
        return window.substr(0, window.find('\0'));
    }
}

} // namespace

void ShowSelectedEntry(const HelpContext &context)
{
    const std::optional<std::string_view> read = ReadSelectedEntry(context);
    if (!read) {
        return;
    }
    const std::string_view window = *read;

    const std::size_t secondLineEnd = window.find('\n');
    if (secondLineEnd == npos || secondLineEnd + 1 >= window.size() || window[secondLineEnd + 1] != kDescriptionKind) {
        ShowNothing(context);
        return;
    }
    const std::size_t descriptionStart = secondLineEnd + 1;
    const std::size_t descriptionEnd = window.find('\n', descriptionStart);
    if (descriptionEnd == npos) {
        ShowNothing(context);
        return;
    }

    // The entry: through the LF of its last line, before its closing blank line (or to the end of the window when
    // the window holds no blank line). Nothing after it is taken for part of this entry.
    const std::size_t blank = window.find(kBlankLine, descriptionEnd);
    const std::string_view entry = window.substr(0, blank == npos ? npos : blank + 1);

    FixedText<kEntryTextBufferSize> text;
    text.AppendAnsi(Skip(window.substr(descriptionStart, descriptionEnd - descriptionStart), kDescriptionSkip));

    // The parameters line is the first of kind "0" after the fourth line: the search starts at the fourth line's
    // first byte, so that line is never taken, whatever its kind.
    const std::size_t marker = entry.find(kParametersMarker, descriptionEnd + 1);
    if (marker == npos) {
        EmptySeeAlsoList(context);
    } else {
        const std::string_view parameters = LineAt(entry, marker + 1);
        text.Append(kParamsHeading);
        text.AppendAnsi(Skip(parameters, kParametersSkip));

        const std::size_t afterParameters = std::min(marker + 1 + parameters.size() + 1, entry.size());
        std::size_t cursor = afterParameters + RefillSeeAlsoList(entry.substr(afterParameters), context);
        if (cursor < entry.size()) {
            text.Append(kExamplesHeading);
            while (cursor < entry.size()) {
                const std::string_view line = LineAt(entry, cursor);
                text.AppendAnsi(line);
                text.Append(kLineBreak);
                cursor += line.size() + 1;
            }
        }
    }

    context.window.SetControlText(IDC_ENTRY_TEXT, text.View());
}

void CopyEntrySelection(const HelpContext &context)
{
    context.window.EditById(IDC_ENTRY_TEXT).Copy();
}

} // namespace korva::helpdata
