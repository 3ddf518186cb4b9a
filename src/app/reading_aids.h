// SPDX-License-Identifier: MIT
// What the window adds for its readers beside the controls: the entry's context menu and the wheel's zoom steps.
#pragma once

#include <QList>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWheelEvent>

class QAction;

namespace korva::app {

// Shows the entry's context menu at `position` (in the entry's viewport): `first` (back and forward), then what a
// reader uses of the text's own actions (Copy, Select All), then, after a separator, its editing actions.
void ShowEntryMenu(QPlainTextEdit &entry, const QPoint &position, const QList<QAction *> &first);

// The notches a wheel event turned, at least one either way; 0 for none.
int WheelSteps(const QWheelEvent &event);

} // namespace korva::app
