// SPDX-License-Identifier: MIT
#include "reading_aids.h"

#include <memory>

#include <QMenu>

namespace korva::app {

void ShowEntryMenu(QPlainTextEdit &entry, const QPoint &position, const QList<QAction *> &first)
{
    const std::unique_ptr<QMenu> menu(entry.createStandardContextMenu(position));
    // The text's own actions, by the names the toolkit gives them; any it adds that these do not name go last.
    const auto take = [&menu](const char *name) { return menu->findChild<QAction *>(QString::fromLatin1(name)); };
    QList<QAction *> reading = {take("edit-copy"), take("select-all")};
    QList<QAction *> editing = {take("edit-undo"), take("edit-redo"), take("edit-cut"), take("edit-paste"),
                                take("edit-delete")};
    const QList<QAction *> all = menu->actions();
    for (QAction *action : all) {
        if (!action->isSeparator() && !reading.contains(action) && !editing.contains(action)) {
            editing.append(action);
        }
        menu->removeAction(action);
    }
    menu->addActions(first);
    for (QAction *action : reading) {
        if (action != nullptr) {
            menu->addAction(action);
        }
    }
    menu->addSeparator();
    for (QAction *action : editing) {
        if (action != nullptr) {
            menu->addAction(action);
        }
    }
    menu->exec(entry.viewport()->mapToGlobal(position));
}

int WheelSteps(const QWheelEvent &event)
{
    const int delta = event.angleDelta().y();
    const int steps = delta / QWheelEvent::DefaultDeltasPerStep;
    return delta == 0 ? 0 : (delta > 0 ? std::max(1, steps) : std::min(-1, steps));
}

} // namespace korva::app
