// SPDX-License-Identifier: MIT
#include "app_icon.h"

#include "resource_ids.h"

namespace korva::app {

QIcon LoadAppIcon(int id)
{
    QIcon icon;
    if (id != IDR_MAINFRAME) {
        return icon;
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/korva-reference-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace korva::app
