// SPDX-License-Identifier: MIT
#include "controls.h"

#include "platform/sorted_list.h"

#include <algorithm>
#include <utility>

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QWheelEvent>

namespace korva::platform::qt {

namespace {

// Where a search found its text: dark letters on amber, which read alike in light and dark themes.
const QColor kFoundBackground(0xFF, 0xD5, 0x4F);
const QColor kFoundForeground(Qt::black);

} // namespace

QString ControlName(int id)
{
    switch (id) {
    case IDC_COMMAND_LIST:
        return QStringLiteral("IDC_COMMAND_LIST");
    case IDC_ENTRY_TEXT:
        return QStringLiteral("IDC_ENTRY_TEXT");
    case IDC_SEE_ALSO:
        return QStringLiteral("IDC_SEE_ALSO");
    case IDC_COPY:
        return QStringLiteral("IDC_COPY");
    case IDC_FIND:
        return QStringLiteral("IDC_FIND");
    case IDC_SEARCH_TEXT:
        return QStringLiteral("IDC_SEARCH_TEXT");
    default:
        return {};
    }
}

void DisableScrollBarWhenIdle(QAbstractScrollArea &area)
{
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QScrollBar *bar = area.verticalScrollBar();
    bar->setEnabled(bar->maximum() > bar->minimum());
    QObject::connect(bar, &QScrollBar::rangeChanged, bar,
                     [bar](int minimum, int maximum) { bar->setEnabled(maximum > minimum); });
}

bool IsPlainEnter(const QKeyEvent &event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    return enter && (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16String(const QString &text)
{
    return text.toStdU16String();
}

CommandListView::CommandListView(QWidget *parent) : QListView(parent), model_(new CommandListModel(this))
{
    setObjectName(ControlName(IDC_COMMAND_LIST));
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true); // keeps the layout of a list of 32768 names cheap
    DisableScrollBarWhenIdle(*this);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this](const QItemSelection &selected) {
        if (!programSelects_ && !selected.isEmpty()) {
            emit notify(Notification::SelChange);
        }
    });
}

void CommandListView::ResetContent()
{
    programSelects_ = true;
    selectionModel()->clear();
    model_->Clear();
    programSelects_ = false;
}

void CommandListView::AdoptItems(SortedList items)
{
    programSelects_ = true;
    selectionModel()->clear();
    model_->Adopt(std::move(items));
    programSelects_ = false;
}

std::u16string CommandListView::GetText(int position) const
{
    return std::u16string(model_->Items().Text(position));
}

int CommandListView::GetCurSel() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? kNoItem : selected.first().row();
}

void CommandListView::SetCurSel(int position)
{
    Select(position, QAbstractItemView::PositionAtCenter);
}

void CommandListView::SelectNearby(int position)
{
    Select(position, QAbstractItemView::EnsureVisible);
}

void CommandListView::Select(int position, ScrollHint hint)
{
    if (position >= model_->rowCount()) {
        model_->ShowAllRows();
    }
    programSelects_ = true;
    const QModelIndex index = model_->index(position, 0);
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index, hint);
    } else {
        selectionModel()->clear();
    }
    programSelects_ = false;
}

void CommandListView::SetRedraw(bool redraw)
{
    setUpdatesEnabled(redraw);
    model_->SetRedraw(redraw);
}

QModelIndex CommandListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // End, a page down and a step from the last row told to the view reach into the rows not told yet.
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    if (action == MoveEnd || action == MovePageDown || current + 1 >= model_->rowCount()) {
        model_->ShowAllRows();
    }
    // With nothing current (a fresh window), the keys act as if the caret rested on the first command, and the first
    // Down selects that one too: End goes to the last command, Page Down a page below the first.
    if (!currentIndex().isValid() && model_->rowCount() > 0) {
        const QModelIndex first = model_->index(0, 0);
        if (action == MoveDown || action == MoveUp || action == MoveHome || action == MoveNext ||
            action == MovePrevious || action == MovePageUp) {
            return first;
        }
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    }
    return QListView::moveCursor(action, modifiers);
}

QItemSelectionModel::SelectionFlags CommandListView::selectionCommand(const QModelIndex &index,
                                                                      const QEvent *event) const
{
    // As in any list box, the user never empties the selection: Ctrl+click on the selected command keeps it.
    const QItemSelectionModel::SelectionFlags flags = QListView::selectionCommand(index, event);
    if ((flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) != 0) {
        return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
    }
    return flags;
}

void CommandListView::keyboardSearch(const QString &search)
{
    model_->ShowAllRows();
    QListView::keyboardSearch(search);
}

void CommandListView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    if (!model_->ShowsAllRows()) {
        // The first frame is drawn: the rest of a long list is laid out now, before any key can reach it.
        QTimer::singleShot(0, this, [this] { model_->ShowAllRows(); });
    }
}

void CommandListView::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    // A list view that gets the focus makes its first row current without selecting it; the first arrow key would
    // then skip that row. With no command selected, nothing is current either, so the first Down selects the first.
    if (!selectionModel()->hasSelection() && selectionModel()->currentIndex().isValid()) {
        selectionModel()->clearCurrentIndex();
    }
}

SeeAlsoComboBox::SeeAlsoComboBox(QWidget *parent) : QComboBox(parent)
{
    setObjectName(ControlName(IDC_SEE_ALSO));
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(6);
    setFocusPolicy(Qt::StrongFocus); // the wheel passing over it takes no focus, as it chooses nothing (wheelEvent)
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!programChanges_ && index >= 0) {
            emit notify(Notification::SelChange);
        }
    });
}

void SeeAlsoComboBox::ResetContent()
{
    programChanges_ = true;
    clear();
    programChanges_ = false;
    if (!foundNames_.empty()) {
        foundNames_.clear();
        emit foundChanged();
    }
}

void SeeAlsoComboBox::AddString(std::u16string_view text)
{
    // The list's own order: case ignored, an added name after the equal ones.
    const int position = SortedInsertPosition(count(), text, [this](int i) { return ToU16String(itemText(i)); });
    programChanges_ = true;
    const int selected = currentIndex();
    insertItem(position, ToQString(text));
    // A combo box selects the first item added to it; the list keeps its selection (usually none) instead.
    setCurrentIndex(selected >= position ? selected + 1 : selected);
    programChanges_ = false;
}

QString SeeAlsoComboBox::FoundName() const
{
    return foundNames_.empty() ? QString() : ToQString(foundNames_.front());
}

void SeeAlsoComboBox::MarkFound(std::span<const std::u16string> names)
{
    QSet<QString> marked;
    for (const std::u16string &name : names) {
        marked.insert(ToQString(name));
    }
    for (int item = 0; item < count(); ++item) {
        const bool mark = marked.contains(itemText(item));
        setItemData(item, mark ? QVariant(QBrush(kFoundBackground)) : QVariant(), Qt::BackgroundRole);
        setItemData(item, mark ? QVariant(QBrush(kFoundForeground)) : QVariant(), Qt::ForegroundRole);
    }
    foundNames_.assign(names.begin(), names.end());
    update();
    emit foundChanged();
}

void SeeAlsoComboBox::wheelEvent(QWheelEvent *event)
{
    // A choice shows another command: the wheel, turned to scroll the entry as the pointer passes over the list, would
    // leave the entry the user was reading. Choices are made with a click or the keys; the list dropped down scrolls.
    event->ignore();
}

void SeeAlsoComboBox::paintEvent(QPaintEvent *event)
{
    const QString found = FoundName();
    if (currentIndex() >= 0 || found.isEmpty()) {
        QComboBox::paintEvent(event);
        return;
    }
    // Nothing chosen: in place of how many related commands there are, the one where Find found its text, marked as
    // the entry's text marks it.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QFontMetrics metrics = fontMetrics();
    constexpr int kMargin = 2;
    const QSize markSize(std::min(metrics.horizontalAdvance(found) + 2 * kMargin, field.width()),
                         std::min(metrics.height(), field.height()));
    painter.fillRect(QStyle::alignedRect(layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter, markSize, field),
                     kFoundBackground);
    option.currentText = found;
    option.palette.setColor(QPalette::ButtonText, kFoundForeground);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

EntryTextEdit::EntryTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(ControlName(IDC_ENTRY_TEXT));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    DisableScrollBarWhenIdle(*this);
}

void EntryTextEdit::ShowText(std::u16string_view composed)
{
    // The control breaks lines at LF, and at a CR alone too; a CR from the data file ends no line, so it is not shown:
    // what is left of each CR LF is its LF.
    removedCRs_.clear();
    QString shown;
    shown.reserve(static_cast<qsizetype>(composed.size()));
    for (std::size_t at = 0; at < composed.size(); ++at) {
        if (composed[at] == u'\r') {
            removedCRs_.push_back(at);
        } else {
            shown += QChar(composed[at]);
        }
    }
    // A text set anew takes the format the caret stands in (after a click in an example, the fixed-pitch one): each
    // entry starts from the control's own.
    setCurrentCharFormat(QTextCharFormat());
    setExtraSelections({}); // a find's marks go with the entry they marked
    found_.clear();
    setPlainText(shown);
    emit textShown();
}

int EntryTextEdit::ShownPosition(std::size_t composedPosition) const
{
    const auto before = std::lower_bound(removedCRs_.begin(), removedCRs_.end(), composedPosition);
    return static_cast<int>(composedPosition - static_cast<std::size_t>(before - removedCRs_.begin()));
}

QString EntryTextEdit::FixedPitchFamily()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QTextCursor EntryTextEdit::ShownRange(const TextRange &range) const
{
    const int end = document()->characterCount() - 1; // the document's last character is its closing paragraph mark
    QTextCursor part(document());
    part.setPosition(std::min(ShownPosition(range.start), end));
    part.setPosition(std::min(ShownPosition(range.start + range.length), end), QTextCursor::KeepAnchor);
    return part;
}

void EntryTextEdit::ShowInFixedPitch(std::span<const TextRange> ranges)
{
    QTextCharFormat fixed;
    fixed.setFontFamilies({FixedPitchFamily()});
    fixed.setFontFixedPitch(true);
    fixed.setFontStyleHint(QFont::Monospace);
    document()->setUndoRedoEnabled(false); // a look, not an edit for the user to undo
    for (const TextRange &range : ranges) {
        QTextCursor part = ShownRange(range);
        if (part.hasSelection()) {
            part.mergeCharFormat(fixed);
        }
    }
    document()->setUndoRedoEnabled(true);
}

EntryTextEdit::ReadingPlace EntryTextEdit::Place() const
{
    return {toPlainText(), verticalScrollBar()->value(), textCursor().anchor(), textCursor().position(), found_};
}

void EntryTextEdit::Restore(const ReadingPlace &place)
{
    if (toPlainText() != place.text) {
        return; // another text, or the same command's entry changed in the file meanwhile
    }
    MarkFound(place.found);
    QTextCursor caret = textCursor();
    caret.setPosition(std::min(place.anchor, static_cast<int>(place.text.size())));
    caret.setPosition(std::min(place.position, static_cast<int>(place.text.size())), QTextCursor::KeepAnchor);
    setTextCursor(caret);
    verticalScrollBar()->setValue(place.scroll);
}

void EntryTextEdit::MarkFound(std::span<const TextRange> ranges)
{
    found_.assign(ranges.begin(), ranges.end());
    QTextCharFormat found;
    found.setBackground(kFoundBackground);
    found.setForeground(kFoundForeground);
    QList<QTextEdit::ExtraSelection> marks;
    for (const TextRange &range : ranges) {
        if (QTextCursor part = ShownRange(range); part.hasSelection()) {
            marks.append({part, found});
        }
    }
    setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor caret = textCursor();
        caret.setPosition(marks.first().cursor.selectionStart());
        setTextCursor(caret);
        ensureCursorVisible();
    }
}

QMimeData *EntryTextEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
}

DialogButton::DialogButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { emit notify(Notification::Clicked); });
}

QSize DialogButton::minimumSizeHint() const
{
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) +
                       style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return {fontMetrics().horizontalAdvance(text()) + 2 * margin, QPushButton::minimumSizeHint().height()};
}

void DialogButton::keyPressEvent(QKeyEvent *event)
{
    if (IsPlainEnter(*event)) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

SearchTextEdit::SearchTextEdit(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(ControlName(IDC_SEARCH_TEXT));
    // The user's edits only: a text the program sets raises no notification.
    connect(this, &QLineEdit::textEdited, this, [this] { emit notify(Notification::Change); });
}

} // namespace korva::platform::qt
