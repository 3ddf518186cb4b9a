// SPDX-License-Identifier: MIT
#include "see_also.h"

#include "command_index.h"
#include "entry_view.h"
#include "format.h"
#include "index_refresh.h"
#include "platform/code_page.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace korva::helpdata {

namespace {

using platform::IDC_COMMAND_LIST;
using platform::IDC_SEE_ALSO;

// Adds the see-also name of one "-" line when the command list can find it; yields the name added.
std::optional<std::u16string> OfferSeeAlso(std::string_view line, const HelpContext &context)
{
    std::array<char16_t, kSeeAlsoNameBufferSize> name;
    const std::size_t length =
        platform::AnsiToWide(line.size() > kSeeAlsoSkip ? line.substr(kSeeAlsoSkip) : std::string_view(), name);
    if (length == 0) {
        return std::nullopt; // an empty name names nothing; the prefix search would take it for the first command
    }
    const std::u16string_view text(name.data(), length);
    if (context.window.ListBoxById(IDC_COMMAND_LIST).FindString(text) == platform::kNoItem) {
        return std::nullopt;
    }
    context.window.ComboBoxById(IDC_SEE_ALSO).AddString(text);
    context.window.EnableControl(IDC_SEE_ALSO, true);
    return std::u16string(text);
}

} // namespace

void EmptySeeAlsoList(const HelpContext &context)
{
    context.window.ComboBoxById(IDC_SEE_ALSO).ResetContent();
    context.window.EnableControl(IDC_SEE_ALSO, false);
}

void RefillSeeAlsoList(std::string_view seeAlsoLines, const HelpContext &context, std::u16string_view marked)
{
    EmptySeeAlsoList(context);
    // A text that stands only in a related command's name is found there, not in the entry's text: the list shows
    // where.
    std::vector<std::u16string> found;
    for (std::size_t cursor = 0; cursor < seeAlsoLines.size();) {
        const std::size_t end = seeAlsoLines.find('\n', cursor);
        const std::string_view line = seeAlsoLines.substr(cursor, end == std::string_view::npos ? end : end - cursor);
        std::optional<std::u16string> offered = OfferSeeAlso(line, context);
        if (offered && !marked.empty() && offered->find(marked) != std::u16string::npos) {
            found.push_back(std::move(*offered));
        }
        cursor += line.size() + 1;
    }
    if (!found.empty()) {
        context.window.ComboBoxById(IDC_SEE_ALSO).MarkFound(found);
    }
}

void JumpToSeeAlso(const HelpContext &context)
{
    std::array<char16_t, kSeeAlsoNameBufferSize> name;
    const std::size_t length = context.window.GetControlText(IDC_SEE_ALSO, name);
    if (length == 0) {
        return;
    }
    RebuildIndexIfChanged(context);
    platform::ListBox &list = context.window.ListBoxById(IDC_COMMAND_LIST);
    // The command named so, also where another differs from it only in case ("gamma" beside "Gamma"), as a lookup
    // finds it; the first that begins with the name only when none is named so.
    const int found = FindCommand(list, std::u16string_view(name.data(), length));
    if (found == platform::kNoItem) {
        return;
    }
    list.SetCurSel(found);
    ShowSelectedEntry(context);
}

} // namespace korva::helpdata
