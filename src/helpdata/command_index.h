// SPDX-License-Identifier: MIT
// The command index: every command name of the data file in the sorted list, each with its EntryOffset (the file
// offset of the byte after its header line's LF).
#pragma once

#include "platform/platform.h"
#include "read_buffer.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace korva::helpdata {

// The scan takes the file in blocks this large, which the file lends it rather than copies. Every header line that a
// chunk of kChunkSize bytes holds whole with its LF is indexed, as if the scan read chunks of that size.
inline constexpr std::uint32_t kScanBlockSize = 64 * 1024;

// Fills the empty `list` from the data file in one front-to-back scan, in large blocks the file lends it; redrawing of
// the list is off meanwhile. The file is noted as the content the list stands for.
//
// Indexed, each exactly once and in file order (so equal names keep file order in the list): the file's first "#"
// and every "#" directly after a blank line, when its header line ends with an LF within kChunkSize bytes of the "#".
// The name is the header line from its third byte up to the LF (or an earlier NUL), cut to 499 units. Text before the
// first "#" is ignored; a last header line without LF is not indexed. The first kMaxEntries headers are indexed and
// no more: a file with more entries than the format allows gets a list of bounded size.
void BuildIndex(platform::HelpFile &file, platform::ListBox &list);

// The item named exactly `name` (case counting) whose entry is at `entryOffset`; when there is none, the first item
// named exactly `name`; kNoItem when no item is. Without an offset, the first item named exactly `name`.
int FindEntry(const platform::ListBox &list, std::u16string_view name,
              std::optional<std::uint32_t> entryOffset = std::nullopt);

// The item named exactly `name` whose entry is at `entryOffset`, and no other; kNoItem when the list holds no such item
// (an entry the index passed over).
int FindEntryAt(const platform::ListBox &list, std::u16string_view name, std::uint32_t entryOffset);

// The command a user means by `name`: the item named exactly `name`; else the first named `name` in another case;
// else the first whose name begins with it (case ignored), as the window finds one. kNoItem when none begins with it.
int FindCommand(const platform::ListBox &list, std::u16string_view name);

} // namespace korva::helpdata
