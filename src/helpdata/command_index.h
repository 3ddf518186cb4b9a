// SPDX-License-Identifier: MIT
// The command index: every command name of the data file in the sorted list, each with its EntryOffset (the file
// offset of the byte after its header line's LF).
#pragma once

#include "platform/platform.h"
#include "read_buffer.h"

namespace korva::helpdata {

// Fills the empty `list` from the data file in one front-to-back scan, reading kChunkSize bytes at a time into
// `buffer`; redrawing of the list is off meanwhile.
//
// Indexed, each exactly once and in file order (so equal names keep file order in the list): the file's first "#"
// and every "#" directly after a blank line, when its header line ends with an LF within kChunkSize bytes of the "#".
// The name is the header line from its third byte up to the LF (or an earlier NUL), cut to 499 units. Text before the
// first "#" is ignored; a last header line without LF is not indexed.
void BuildIndex(platform::HelpFile &file, ReadBuffer &buffer, platform::ListBox &list);

} // namespace korva::helpdata
