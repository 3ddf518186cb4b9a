// SPDX-License-Identifier: MIT
#include "entry_view.h"

#include "entry_format.h"
#include "index_refresh.h"
#include "see_also.h"

#include <array>
#include <vector>

namespace korva::helpdata {

namespace {

using platform::IDC_COMMAND_LIST;
using platform::IDC_ENTRY_TEXT;

// A file that changes while an entry is read is read again, this many times at most.
constexpr int kReadAttempts = 3;

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

void ShowSelectedEntry(const HelpContext &context, std::u16string_view marked)
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
        RefillSeeAlsoList(parts->seeAlsoLines, context, marked);
    } else {
        EmptySeeAlsoList(context);
    }
    EntryText text;
    const EntryLayout layout = ComposeEntryText(*parts, text);
    context.window.SetControlText(IDC_ENTRY_TEXT, text.View());
    platform::EditBox &entry = context.window.EditById(IDC_ENTRY_TEXT);
    const std::array formulas = {layout.parameters, layout.examples};
    entry.ShowInFixedPitch(formulas);
    if (!marked.empty()) {
        std::vector<platform::TextRange> marks;
        for (const platform::TextRange &range : layout.searched) {
            const std::u16string_view part = text.View().substr(range.start, range.length);
            for (std::size_t at = part.find(marked); at != std::u16string_view::npos;
                 at = part.find(marked, at + marked.size())) {
                marks.push_back({range.start + at, marked.size()});
            }
        }
        entry.MarkFound(marks);
    }
}

void CopyEntrySelection(const HelpContext &context)
{
    context.window.EditById(IDC_ENTRY_TEXT).Copy();
}

} // namespace korva::helpdata
