// SPDX-License-Identifier: MIT
// The entry view: the selected command's entry in the entry text, its formulas in the fixed-pitch font, and Copy. It
// reads and composes the entry as entry_format.h says.
#pragma once

#include "help_context.h"

#include <string_view>

namespace korva::helpdata {

// Shows the entry of the command selected in IDC_COMMAND_LIST: its composed text in the entry text, its parameters and
// examples in the fixed-pitch font, and the see-also list refilled from its see-also lines (see_also.h).
//
// An entry that cannot be shown empties the entry text and the see-also list, so that no command's name ever stands
// beside another's text; so does a file that still changes after the entry was read three times. An entry without
// a parameters line shows its description alone. When the data file changed, the list is built again first
// (command_index.h). Nothing happens while no command is selected.
//
// A `marked` text is marked where it stands in what Find searches of the entry (entry_format.h's EntryLayout), each
// place once, exactly as typed.
void ShowSelectedEntry(const HelpContext &context, std::u16string_view marked = {});

// Puts the entry text's selection on the clipboard.
void CopyEntrySelection(const HelpContext &context);

} // namespace korva::helpdata
