// SPDX-License-Identifier: MIT
// The entry view: the selected command's entry in the entry text, and Copy. Its reading of an entry (ParseEntry) and
// the text it composes of one (ComposeEntryText) serve every reader that shows an entry as the window does.
#pragma once

#include "fixed_text.h"
#include "format.h"
#include "help_context.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace korva::helpdata {

// An entry as the entry view reads it from the bytes at its EntryOffset.
struct EntryParts
{
    std::string_view description;  // the text of its third line
    bool hasParameters = false;    // false for an entry whose description is all it shows
    std::string_view parameters;   // the synopsis of its parameters line
    std::string_view seeAlsoLines; // its lines of kind "-" right after the parameters line, each ending with its LF
    std::string_view exampleLines; // the lines after those up to its closing blank line, each with its LF but the last
};

// The bytes of the entry at `entryOffset`, as the entry view takes them: kChunkSize bytes read from the offset into
// `buffer` (no byte of an earlier read takes part), up to the first NUL, which ends the text for every reader.
std::string_view ReadEntryBytes(platform::HelpFile &file, ReadBuffer &buffer, std::uint32_t entryOffset);

// The parts of the entry whose bytes are `entryBytes`; nothing when it cannot be shown (its second line has no LF
// in them, its third line is not of kind "2", or its description has no LF in them). The entry ends at its closing
// blank line, or with the bytes when they hold none: nothing after it is taken for part of it.
std::optional<EntryParts> ParseEntry(std::string_view entryBytes);

// The text the entry view shows of an entry, cut to its buffer: kMaxEntryText units at most.
using EntryText = FixedText<kEntryTextBufferSize>;

// Composes `parts` as the entry view shows them, in at most 999 units:
//   description ["\r\n\r\nParams:" synopsis ["\r\n\r\nExamples:\r\n" (example line "\r\n")...]]
void ComposeEntryText(const EntryParts &parts, EntryText &text);

// Shows the entry of the command selected in IDC_COMMAND_LIST: its composed text in the entry text, and the
// see-also list refilled from its see-also lines (see_also.h).
//
// An entry that cannot be shown empties the entry text and the see-also list, so that no command's name ever stands
// beside another's text; so does a file that still changes after the entry was read three times. An entry without
// a parameters line shows its description alone. When the data file changed, the list is built again first
// (command_index.h). Nothing happens while no command is selected.
void ShowSelectedEntry(const HelpContext &context);

// Puts the entry text's selection on the clipboard.
void CopyEntrySelection(const HelpContext &context);

} // namespace korva::helpdata
