// SPDX-License-Identifier: MIT
// A data file that changed under the window: the command list built again and Find/Next started afresh, in one step
// that every reader of the file takes before it reads.
#pragma once

#include "help_context.h"

namespace korva::helpdata {

// When the data file changed since the list was built, builds it again from the file as it is now, before anything
// else reads the file: the command that was selected stays selected if a command of exactly that name is still
// there (nothing is selected otherwise), and Find/Next starts afresh. Yields whether it rebuilt the list.
bool RebuildIndexIfChanged(const HelpContext &context);

} // namespace korva::helpdata
