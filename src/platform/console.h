// SPDX-License-Identifier: MIT
// The programs' words on their standard streams: paths quoted so that no name can break a message's line, and
// output whose writing is checked to its end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korva::platform {

// `path` as messages show it: as it is, unless it holds a control character (a newline, an escape, a C1 control...)
// or a byte of no UTF-8 character; then quoted the way a POSIX shell reads it back, $'...' with each of them escaped.
std::string QuotedPath(std::string_view path);

// Appends `character` in UTF-8 as a terminal should show text the program did not write itself, so that no data file
// or argument can drive it: a control character as ^@ to ^_, ^? or M-^@ to M-^_. A tab and a line feed stay as they
// are unless `everyControl` (in a message, which is one line).
void AppendShownCharacter(char32_t character, bool everyControl, std::string &out);
// The columns a terminal gives `character` as AppendShownCharacter shows it (a tab aside, which reaches the next tab
// stop): 2 for ^X, 4 for M-^X, 1 for any other.
std::size_t ShownColumns(char32_t character);
// The UTF-8 text `text`, one of the user's arguments, as a message shows it: every control character shown, never
// sent, and a byte of no well-formed character as U+FFFD.
std::string ShownArgument(std::string_view text);

// True when standard output is a terminal.
bool StandardOutputIsTerminal();
// The width of the terminal on standard output, in columns; 0 when it cannot be told.
std::size_t TerminalColumns();

// Sends std::cout through a buffer of the program's own that remembers why a write failed, so that FinishStandardOutput
// can say so, however much was written after. Called once, before anything is written.
void UseCheckedStandardOutput();
// Flushes standard output. False, after a line on standard error that says so ("PROGRAM: write error: No space left
// on device"), when anything written to it was lost: the program then ends with a status that is not 0.
bool FinishStandardOutput(std::string_view program);

} // namespace korva::platform
