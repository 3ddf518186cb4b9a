// SPDX-License-Identifier: MIT
#include "entry_view.h"

#include "entry_text.h"
#include "format.h"
#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korva::helpdata {

namespace {

using platform::IDC_COMMAND_LIST;
using platform::IDC_ENTRY_TEXT;
using platform::IDC_SEE_ALSO;

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

// Adds the see-also name of one "-" line when the command list can find it.
void OfferSeeAlso(std::string_view line, const HelpContext &context)
{
    std::array<char16_t, kSeeAlsoNameBufferSize> name;
    const std::size_t length = platform::AnsiToWide(Skip(line, kSeeAlsoSkip), name);
    if (length == 0) {
        return; // an empty name names nothing; the prefix search would take it for the first command
    }
    const std::u16string_view text(name.data(), length);
    if (context.window.ListBoxById(IDC_COMMAND_LIST).FindString(text) == platform::kNoItem) {
        return;
    }
    context.window.ComboBoxById(IDC_SEE_ALSO).AddString(text);
    context.window.EnableWindow(IDC_SEE_ALSO, true);
}

} // namespace

void OnSelchangeCommandList(const HelpContext &context)
{
    platform::ListBox &list = context.window.ListBoxById(IDC_COMMAND_LIST);
    const int selection = list.GetCurSel();
    if (selection == platform::kNoItem) {
        return;
    }
    context.file.Seek(list.GetItemData(selection));
    const std::uint32_t count = context.file.Read(context.buffer.Chunk());
    std::fill(context.buffer.Data() + count, context.buffer.Data() + kChunkSize, '\0');

    // The window: the bytes read, up to the first NUL, which ends the text for every reader.
    std::string_view window(context.buffer.Data(), count);
    window = window.substr(0, window.find('\0'));

    const std::size_t secondLineEnd = window.find('\n');
    if (secondLineEnd == npos || secondLineEnd + 1 >= window.size() || window[secondLineEnd + 1] != kDescriptionKind) {
        return;
    }
    const std::size_t descriptionStart = secondLineEnd + 1;
    const std::size_t descriptionEnd = window.find('\n', descriptionStart);
    if (descriptionEnd == npos) {
        return;
    }

    // The entry: through the LF of its last line, before its closing blank line (or to the end of the window when
    // the window holds no blank line). Nothing after it is taken for part of this entry.
    const std::size_t blank = window.find(kBlankLine, descriptionEnd);
    const std::string_view entry = window.substr(0, blank == npos ? npos : blank + 1);

    FixedText<kEntryTextBufferSize> text;
    text.AppendAnsi(Skip(window.substr(descriptionStart, descriptionEnd - descriptionStart), kDescriptionSkip));

    context.window.ComboBoxById(IDC_SEE_ALSO).ResetContent();
    context.window.EnableWindow(IDC_SEE_ALSO, false);

    // The parameters line is the first of kind "0" after the fourth line: the search starts at the fourth line's
    // first byte, so that line is never taken, whatever its kind.
    const std::size_t marker = entry.find(kParametersMarker, descriptionEnd + 1);
    if (marker != npos) {
        const std::string_view parameters = LineAt(entry, marker + 1);
        text.Append(kParamsHeading);
        text.AppendAnsi(Skip(parameters, kParametersSkip));

        std::size_t cursor = marker + 1 + parameters.size() + 1;
        while (cursor < entry.size() && entry[cursor] == kSeeAlsoKind) {
            const std::string_view line = LineAt(entry, cursor);
            OfferSeeAlso(line, context);
            cursor += line.size() + 1;
        }
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

    context.window.SetWindowText(IDC_ENTRY_TEXT, text.View());
}

void OnSelchangeSeeAlso(const HelpContext &context)
{
    std::array<char16_t, kSeeAlsoNameBufferSize> name;
    const std::size_t length = context.window.GetWindowText(IDC_SEE_ALSO, name);
    if (length == 0) {
        return;
    }
    platform::ListBox &list = context.window.ListBoxById(IDC_COMMAND_LIST);
    const int found = list.FindString(std::u16string_view(name.data(), length));
    if (found == platform::kNoItem) {
        return;
    }
    list.SetCurSel(found);
    OnSelchangeCommandList(context);
}

void OnCopy(const HelpContext &context)
{
    context.window.EditById(IDC_ENTRY_TEXT).Copy();
}

} // namespace korva::helpdata
