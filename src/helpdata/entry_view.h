// SPDX-License-Identifier: MIT
// The entry view: the selected command's entry in the entry text, its see-also names in the see-also list, the jump
// to a see-also name, and Copy.
#pragma once

#include "help_context.h"

namespace korva::helpdata {

// Shows the entry of the command selected in IDC_COMMAND_LIST. Reads kChunkSize bytes from its EntryOffset (no byte
// of an earlier read takes part: the rest of the window counts as zero) and composes, in at most 999 units:
//   description "\r\n\r\nParams:" synopsis ["\r\n\r\nExamples:\r\n" (example line "\r\n")...]
// The see-also list is emptied and disabled, then gets each see-also name (cut to 99 characters) that the list's
// prefix search locates, written as the entry writes it, and is enabled as soon as one is added.
//
// An entry whose second line has no LF in the window, whose third line is not of kind "2", or whose description has
// no LF in the window changes nothing. An entry without a parameters line shows its description alone. Nothing
// happens while no command is selected.
void OnSelchangeCommandList(const HelpContext &context);

// Selects the first command that begins with the see-also list's selected name, case ignored, and shows its entry.
// A name that no command begins with does nothing.
void OnSelchangeSeeAlso(const HelpContext &context);

// Puts the entry text's selection on the clipboard.
void OnCopy(const HelpContext &context);

} // namespace korva::helpdata
