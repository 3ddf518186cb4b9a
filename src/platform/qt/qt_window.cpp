// SPDX-License-Identifier: MIT
#include "qt_window.h"

#include "controls.h"
#include "platform/code_page.h"

#include <algorithm>
#include <array>

#include <QAbstractButton>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace korva::platform::qt {

namespace {

constexpr std::array kControlIds = {IDC_COMMAND_LIST, IDC_ENTRY_TEXT, IDC_SEE_ALSO,
                                    IDC_COPY,         IDC_FIND,       IDC_SEARCH_TEXT};

} // namespace

QWidget *QtWindow::Control(int id) const
{
    QPointer<QWidget> &control = controls_[id];
    if (control.isNull()) {
        const QString name = ControlName(id);
        control = name.isEmpty() ? nullptr : dialog_.findChild<QWidget *>(name);
    }
    return control.data();
}

ListBox &QtWindow::ListBoxById(int id)
{
    auto *list = dynamic_cast<ListBox *>(Control(id));
    return list != nullptr ? *list : noList_;
}

ComboBox &QtWindow::ComboBoxById(int id)
{
    auto *combo = dynamic_cast<ComboBox *>(Control(id));
    return combo != nullptr ? *combo : noComboBox_;
}

EditBox &QtWindow::EditById(int id)
{
    auto *edit = dynamic_cast<EditBox *>(Control(id));
    return edit != nullptr ? *edit : noEdit_;
}

void QtWindow::SetControlText(int id, std::u16string_view text)
{
    QWidget *control = Control(id);
    if (auto *entry = qobject_cast<EntryTextEdit *>(control)) {
        entry->ShowText(text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(ToQString(text));
    } else if (auto *line = qobject_cast<QLineEdit *>(control)) {
        line->setText(ToQString(text));
    }
}

std::size_t QtWindow::GetControlText(int id, std::span<char16_t> buffer) const
{
    if (buffer.empty()) {
        return 0;
    }
    QWidget *control = Control(id);
    QString text;
    if (auto *edit = qobject_cast<QPlainTextEdit *>(control)) {
        text = edit->toPlainText();
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        text = button->text();
    } else if (auto *line = qobject_cast<QLineEdit *>(control)) {
        text = line->text();
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        text = combo->currentText();
    }
    return CopyTextCut(ToU16String(text), buffer);
}

void QtWindow::EnableControl(int id, bool enable)
{
    QWidget *control = Control(id);
    if (control == nullptr) {
        return;
    }
    // A control disabled with the focus gives it to the command list, which shows the command on show, rather than to
    // whatever control follows it (the see-also list, left empty by a command without related ones, to Copy, where the
    // next arrow key would go on to Find). A list emptied and refilled is disabled only for that moment: enabled again
    // within the same handler, it takes the focus back, so that the user's next key still reaches it.
    if (!enable && control->hasFocus()) {
        lostFocus_ = control;
        QTimer::singleShot(0, &focusKept_, [this] { lostFocus_.clear(); });
        if (QWidget *list = Control(IDC_COMMAND_LIST); list != nullptr && list != control && list->isEnabled()) {
            list->setFocus(Qt::OtherFocusReason);
        }
    }
    control->setEnabled(enable);
    if (enable && lostFocus_ == control) {
        lostFocus_.clear();
        control->setFocus(Qt::OtherFocusReason);
    }
}

void QtWindow::ShowMessage(std::u16string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(text), QMessageBox::Ok, &dialog_);
    // The box would be as narrow as its text; it is made wide enough for its title (the program's name) to show
    // whole beside the title bar's buttons.
    const QString title = QGuiApplication::applicationDisplayName();
    const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 4 * box.fontMetrics().height() + 48;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    box.exec();
}

void ConnectNotifications(QWidget &dialog, const std::function<void(int id, Notification code)> &dispatch)
{
    for (const int id : kControlIds) {
        QObject *control = dialog.findChild<QObject *>(ControlName(id));
        if (control == nullptr) {
            continue;
        }
        const auto forward = [dispatch, id](Notification code) { dispatch(id, code); };
        if (auto *list = qobject_cast<CommandListView *>(control)) {
            QObject::connect(list, &CommandListView::notify, &dialog, forward);
        } else if (auto *combo = qobject_cast<SeeAlsoComboBox *>(control)) {
            QObject::connect(combo, &SeeAlsoComboBox::notify, &dialog, forward);
        } else if (auto *button = qobject_cast<DialogButton *>(control)) {
            QObject::connect(button, &DialogButton::notify, &dialog, forward);
        } else if (auto *search = qobject_cast<SearchTextEdit *>(control)) {
            QObject::connect(search, &SearchTextEdit::notify, &dialog, forward);
        }
    }
}

int ScreenHeight()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 0;
}

} // namespace korva::platform::qt
