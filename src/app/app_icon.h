// SPDX-License-Identifier: MIT
// The program's icon, from the resources built into it.
#pragma once

#include <QIcon>

namespace korva::app {

// The icon of resource id `id` (IDR_MAINFRAME) at every size it is drawn in; a null icon for an unknown id.
QIcon LoadAppIcon(int id);

} // namespace korva::app
