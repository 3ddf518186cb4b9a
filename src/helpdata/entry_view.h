// SPDX-License-Identifier: MIT
// The entry view: the selected command's entry in the entry text, and Copy.
#pragma once

#include "help_context.h"

namespace korva::helpdata {

// Shows the entry of the command selected in IDC_COMMAND_LIST. Reads kChunkSize bytes from its EntryOffset (no byte
// of an earlier read takes part: the rest of the window counts as zero) and composes, in at most 999 units:
//   description "\r\n\r\nParams:" synopsis ["\r\n\r\nExamples:\r\n" (example line "\r\n")...]
// and refills the see-also list from the entry's see-also lines (see_also.h).
//
// An entry that cannot be shown (its second line has no LF in the window, its third line is not of kind "2", its
// description has no LF in the window, or a NUL cuts it short) empties the entry text and the see-also list, so that
// no command's name ever stands beside another's text. An entry without a parameters line shows its description
// alone. When the data file changed, the list is built again first (command_index.h). Nothing happens while no
// command is selected.
void ShowSelectedEntry(const HelpContext &context);

// Puts the entry text's selection on the clipboard.
void CopyEntrySelection(const HelpContext &context);

} // namespace korva::helpdata
