// SPDX-License-Identifier: MIT
// Find/Next: the search of the whole data file, entry by entry in file order, for the text in IDC_SEARCH_TEXT.
#pragma once

#include "help_context.h"

#include <cstdint>

namespace korva::helpdata {

// One per process, zero at start.
struct SearchState
{
    // The next tap starts a new pass from the start of the file.
    bool fresh = false;
    // Where the next chunk read starts: during a pass, the first LF of the blank line that closed the entry last
    // reported (or of the last chunk searched).
    std::uint32_t position = 0;
};

SearchState &ProcessSearchState();

// Ends a pass: the caption of IDC_FIND returns to "Find" and the next tap starts from the start. Does nothing when no
// pass is under way.
void ResetSearch(platform::Window &window);

// One tap on Find/Next. Searches for the first 49 characters of the search text, in the data file's code page,
// byte for byte and case-sensitive, from where the last tap stopped (from the start on a new pass, which turns the
// caption to "Next"). Reports the next entry that holds the text outside its lines of kind "1" and "3": selects its
// command (the first the list finds by the entry's name) and shows it, the text marked where it stands. Each entry is
// reported at most once per pass. When no entry is left, the caption returns to "Find" and the window shows "Search
// completed"; a text with a character the code page lacks is in no entry. An empty search text does nothing. A tap
// reads each byte of the file at most once and examines it a bounded number of times, whatever the file holds. Yields
// whether it showed an entry.
bool FindNextEntry(const HelpContext &context);

} // namespace korva::helpdata
