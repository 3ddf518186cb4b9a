// SPDX-License-Identifier: MIT
// The reference in a terminal and in scripts: an entry, every command's name, or the ranked results, as text on
// standard output, read from the data file with the window's own engine (the entry view's composer, the index, the
// ranked search). No toolkit and no display take part.
#pragma once

#include "platform/platform.h"
#include "terminal_text.h"

#include <ostream>
#include <string>

namespace korva::terminal {

// What the terminal asks for.
struct Request
{
    enum class Kind
    {
        Print,   // the entry of the command `text` names
        List,    // every command's name, in the list's order
        Apropos, // the ranked results for `text`
    };
    Kind kind = Kind::List;
    std::string text; // UTF-8, as given
};

// The exit statuses, as the system's manual tools have them.
inline constexpr int kFound = 0;
inline constexpr int kCannotRead = 1;
inline constexpr int kWrongUse = 2;
inline constexpr int kNothingFound = 16;

// How many commands a name that finds none suggests.
inline constexpr std::size_t kSuggestions = 5;

// Answers `request` from the open data `file`: its text on `out` (UTF-8, LF line ends, each line ended; shown safely
// on a terminal), what went wrong on `err`, each message naming the program. Yields the exit status. Print writes the
// entry as the window composes it; a NAME that no command has or begins with writes nothing and suggests up to five
// from the ranked results ("did you mean: solve?"); an entry that cannot be shown is status 1. Apropos writes one
// "NAME - DESCRIPTION" a result, best first, each cut to the terminal's width on a terminal, whole otherwise. A file
// that keeps changing while it is read is status 1.
int Respond(const Request &request, platform::HelpFile &file, const Output &output, std::ostream &out,
            std::ostream &err);

} // namespace korva::terminal
