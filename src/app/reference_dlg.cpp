// SPDX-License-Identifier: MIT
#include "reference_dlg.h"

#include "app_icon.h"
#include "helpdata/command_index.h"
#include "helpdata/entry_view.h"
#include "helpdata/find_next.h"
#include "helpdata/see_also.h"
#include "layouts.h"
#include "platform/qt/controls.h"
#include "resource_ids.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>

namespace korva::app {

using platform::Notification;

const CReferenceDlg::MessageMapEntry CReferenceDlg::kMessageMap[] = {
    {IDC_COMMAND_LIST, Notification::SelChange, &CReferenceDlg::OnSelchangeCommandList},
    {IDC_SEE_ALSO, Notification::SelChange, &CReferenceDlg::OnSelchangeSeeAlso},
    {IDC_COPY, Notification::Clicked, &CReferenceDlg::OnCopy},
    {IDC_FIND, Notification::Clicked, &CReferenceDlg::OnFind},
    {IDC_SEARCH_TEXT, Notification::Change, &CReferenceDlg::OnChangeSearchText},
};

CReferenceDlg::CReferenceDlg(platform::HelpFile &file, helpdata::ReadBuffer &buffer, QWidget *parent)
    : QDialog(parent), templateId_(IsCompactScreen() ? IDD_REFERENCE_WIDE : IDD_REFERENCE),
      icon_(LoadAppIcon(IDR_MAINFRAME)), window_(*this), context_{file, buffer, window_}
{
    setWindowTitle(QStringLiteral("Korva Command Reference"));
    // The program's main window: it can be resized, maximised and minimised like any other.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    BuildLayout(templateId_, *this);
    platform::qt::ConnectNotifications(*this, [this](int id, Notification code) { Dispatch(id, code); });

    // The keys a desktop user reaches for: F3 taps Find/Next (a click like any other), Ctrl+F goes to the search
    // text with its text selected.
    auto *find = findChild<QPushButton *>(platform::qt::ControlName(IDC_FIND));
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, find, &QPushButton::click);
    auto *search = findChild<QLineEdit *>(platform::qt::ControlName(IDC_SEARCH_TEXT));
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, search, [search] {
        search->setFocus(Qt::ShortcutFocusReason);
        search->selectAll();
    });
}

CReferenceDlg::~CReferenceDlg() = default;

bool CReferenceDlg::IsCompactScreen()
{
    return platform::qt::ScreenHeight() < 294;
}

void CReferenceDlg::showEvent(QShowEvent *event)
{
    if (!initialised_ && !event->spontaneous()) {
        initialised_ = true;
        if (OnInitDialog()) {
            findChild<QWidget *>(platform::qt::ControlName(IDC_COMMAND_LIST))->setFocus(Qt::OtherFocusReason);
        }
        if (!startCommand_.isEmpty()) {
            ShowCommand(startCommand_);
        }
    }
    QDialog::showEvent(event);
}

void CReferenceDlg::ShowCommand(const QString &command)
{
    helpdata::RebuildIndexIfChanged(context_);
    platform::ListBox &list = window_.ListBoxById(IDC_COMMAND_LIST);
    const int found = list.FindString(platform::qt::ToU16String(command));
    if (found != platform::kNoItem) {
        list.SetCurSel(found);
        OnSelchangeCommandList();
        return;
    }
    list.SetCurSel(platform::kNoItem);
    window_.SetControlText(IDC_ENTRY_TEXT, {});
    helpdata::EmptySeeAlsoList(context_);
    auto *search = findChild<QLineEdit *>(platform::qt::ControlName(IDC_SEARCH_TEXT));
    search->setText(command); // as if typed: a new search
    search->setFocus(Qt::OtherFocusReason);
}

void CReferenceDlg::BringToFront()
{
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    raise();
    activateWindow();
}

bool CReferenceDlg::OnInitDialog()
{
    setWindowIcon(icon_);

    // Open at the layout's size, but never larger than the screen, and centred on it.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size = LayoutSize(templateId_, *this).boundedTo(available.size()).expandedTo(minimumSizeHint());
    resize(size.boundedTo(available.size()));
    move(available.center() - rect().center());

    helpdata::BuildIndex(context_.file, context_.buffer, window_.ListBoxById(IDC_COMMAND_LIST));
    helpdata::ResetSearch(window_);
    return true;
}

void CReferenceDlg::keyPressEvent(QKeyEvent *event)
{
    if (platform::qt::IsPlainEnter(*event)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CReferenceDlg::Dispatch(int id, Notification code)
{
    for (const MessageMapEntry &entry : kMessageMap) {
        if (entry.id == id && entry.code == code) {
            (this->*entry.handler)();
            return;
        }
    }
}

void CReferenceDlg::OnSelchangeCommandList()
{
    helpdata::ShowSelectedEntry(context_);
}

void CReferenceDlg::OnSelchangeSeeAlso()
{
    helpdata::JumpToSeeAlso(context_);
}

void CReferenceDlg::OnCopy()
{
    helpdata::CopyEntrySelection(context_);
}

void CReferenceDlg::OnFind()
{
    helpdata::FindNextEntry(context_);
}

void CReferenceDlg::OnChangeSearchText()
{
    helpdata::ResetSearch(window_);
}

} // namespace korva::app
