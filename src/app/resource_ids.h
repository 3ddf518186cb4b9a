// SPDX-License-Identifier: MIT
// Resource ids of the reference window: its two layouts and the program's icon. The controls' ids are the platform's.
#pragma once

#include "platform/platform.h"

namespace korva::app {

inline constexpr int IDD_REFERENCE = 102;      // the regular layout
inline constexpr int IDD_REFERENCE_WIDE = 103; // the compact layout, for screens less than 294 pixels high
inline constexpr int IDR_MAINFRAME = 128;      // the program's icon

using platform::IDC_COMMAND_LIST;
using platform::IDC_COPY;
using platform::IDC_ENTRY_TEXT;
using platform::IDC_FIND;
using platform::IDC_SEARCH_TEXT;
using platform::IDC_SEE_ALSO;

} // namespace korva::app
