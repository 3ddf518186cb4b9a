// SPDX-License-Identifier: MIT
// The command index, built ahead: on a thread of its own, while the toolkit and the window start, so that a large
// data file opens about as fast as a small one. The window takes the index whole as it first shows.
#pragma once

#include "platform/platform.h"
#include "platform/sorted_list.h"

#include <future>

namespace korva::app {

// Starts scanning `file` for the command index and sorting it. `file` belongs to that work until the result is
// taken: nothing else may read it before. Yields no result (an invalid future) when no thread could be started;
// the window then builds the index itself.
std::future<platform::SortedList> BuildIndexAhead(platform::HelpFile &file);

} // namespace korva::app
