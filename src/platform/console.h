// SPDX-License-Identifier: MIT
// The programs' words on their standard streams: paths quoted so that no name can break a message's line, and
// output whose writing is checked to its end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korva::platform {

// `path` as messages show it: as it is, unless it holds a control character (a newline, an escape...); then quoted
// the way a POSIX shell reads it back, $'...' with each control character escaped.
std::string QuotedPath(std::string_view path);

// True when standard output is a terminal.
bool StandardOutputIsTerminal();
// The width of the terminal on standard output, in columns; 0 when it cannot be told.
std::size_t TerminalColumns();

// Flushes standard output. False, after a line on standard error that says so ("PROGRAM: write error: No space left
// on device"), when anything written to it was lost: the program then ends with a status that is not 0.
bool FinishStandardOutput(std::string_view program);

} // namespace korva::platform
