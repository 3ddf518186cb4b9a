// SPDX-License-Identifier: MIT
// The see-also list: the related commands of the entry on show, and the jump to one of them.
#pragma once

#include "help_context.h"

#include <string_view>

namespace korva::helpdata {

// Empties and disables the see-also list, then adds the name of each of `seeAlsoLines` (lines of kind "-", each
// ending with an LF but perhaps the last) that the command list's prefix search locates, written as the entry writes
// it and cut to 99 characters; the list is enabled as soon as one is added. With a text `marked` (what Find found the
// entry by), the names that hold it, capitals counting, are marked as where it was found.
void RefillSeeAlsoList(std::string_view seeAlsoLines, const HelpContext &context, std::u16string_view marked = {});

// Empties and disables the see-also list.
void EmptySeeAlsoList(const HelpContext &context);

// Selects the command that the see-also list's selected name names (FindCommand: the command named so, else the first
// named so in any case, else the first that begins with it, case ignored) and shows its entry. A name that no command
// begins with does nothing.
void JumpToSeeAlso(const HelpContext &context);

} // namespace korva::helpdata
