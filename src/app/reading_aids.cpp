// SPDX-License-Identifier: MIT
#include "reading_aids.h"

#include <memory>

#include <QMenu>
#include <QTextDocument>

namespace korva::app {

void MarkMatches(QPlainTextEdit &entry, const QString &text)
{
    QList<QTextEdit::ExtraSelection> marks;
    if (!text.isEmpty()) {
        // Dark text on amber reads well in light and dark themes alike, and is no selection's colour.
        QTextCharFormat found;
        found.setBackground(QColor(0xFF, 0xD5, 0x4F));
        found.setForeground(QColor(Qt::black));
        QTextDocument *document = entry.document();
        for (QTextCursor at = document->find(text, 0, QTextDocument::FindCaseSensitively); !at.isNull();
             at = document->find(text, at, QTextDocument::FindCaseSensitively)) {
            marks.append({at, found});
        }
    }
    entry.setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor caret = entry.textCursor();
        caret.setPosition(marks.first().cursor.selectionStart());
        entry.setTextCursor(caret);
        entry.ensureCursorVisible();
    }
}

QStringList MarkedTexts(const QPlainTextEdit &entry)
{
    QStringList marked;
    for (const QTextEdit::ExtraSelection &mark : entry.extraSelections()) {
        marked << mark.cursor.selectedText();
    }
    return marked;
}

void ShowEntryMenu(QPlainTextEdit &entry, const QPoint &position, const QList<QAction *> &more)
{
    const std::unique_ptr<QMenu> menu(entry.createStandardContextMenu(position));
    if (!more.isEmpty()) {
        menu->addSeparator();
        menu->addActions(more);
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
