// SPDX-License-Identifier: MIT
#include "reference_dlg.h"

#include "app_icon.h"
#include "focus_ring.h"
#include "helpdata/command_index.h"
#include "helpdata/entry_view.h"
#include "helpdata/find_next.h"
#include "helpdata/index_refresh.h"
#include "helpdata/see_also.h"
#include "layouts.h"
#include "platform/qt/controls.h"
#include "reading_aids.h"
#include "resource_ids.h"

#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

namespace korva::app {

using platform::Notification;
using platform::qt::CommandListView;
using platform::qt::ControlName;
using platform::qt::EntryTextEdit;
using platform::qt::SeeAlsoComboBox;

namespace {

// The zoom's steps, as factors of the normal text size.
constexpr std::array kZoomSteps = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0};
constexpr int kNormalZoomStep = 5;

// A screen less than this many pixels high gets the compact layout: a 240-pixel screen does, a 320-pixel one not.
constexpr int kCompactScreenHeight = 294;
// A desktop's window manager frames the window only once it is on screen, within about this long.
constexpr int kFramingDelayMs = 250;
// A command the keys reach in the list becomes a place of the history once the user rests on it this long.
constexpr int kSettleMs = 500;

} // namespace

const CReferenceDlg::MessageMapEntry CReferenceDlg::kMessageMap[] = {
    {IDC_COMMAND_LIST, Notification::SelChange, &CReferenceDlg::OnSelchangeCommandList},
    {IDC_SEE_ALSO, Notification::SelChange, &CReferenceDlg::OnSelchangeSeeAlso},
    {IDC_COPY, Notification::Clicked, &CReferenceDlg::OnCopy},
    {IDC_FIND, Notification::Clicked, &CReferenceDlg::OnFind},
    {IDC_SEARCH_TEXT, Notification::Change, &CReferenceDlg::OnChangeSearchText},
};

CReferenceDlg::CReferenceDlg(platform::HelpFile &file, helpdata::ReadBuffer &buffer, QWidget *parent)
    : QDialog(parent), templateId_(IsCompactScreen() ? IDD_REFERENCE_WIDE : IDD_REFERENCE),
      icon_(LoadAppIcon(IDR_MAINFRAME)), window_(*this), context_{file, buffer, window_},
      back_(new QAction(tr("Back"), this)), forward_(new QAction(tr("Forward"), this)), zoomStep_(kNormalZoomStep)
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

    // The ranked results as the user types; Find and F3 keep to Find/Next, and the results make way for it. The entry
    // follows the results the user looks through, and what it showed before comes back when they go with Escape.
    results_ = new ResultsPanel(*this, context_, *search);
    connect(search, &QLineEdit::textEdited, results_, &ResultsPanel::Search);
    connect(results_, &ResultsPanel::chosen, this, &CReferenceDlg::ShowChosenResult);
    connect(results_, &ResultsPanel::previewed, this, &CReferenceDlg::PreviewResult);
    connect(results_, &ResultsPanel::dismissed, this, &CReferenceDlg::EndPreview);
    // However else they close (a choice, Find, another control), what was looked through is kept.
    connect(results_, &ResultsPanel::closed, this, [this] { beforePreview_.reset(); });
    connect(find, &QPushButton::clicked, results_, &ResultsPanel::Close);
    connect(results_, &ResultsPanel::findAsked, find, &QPushButton::click);
    // Where to start, until the user has: the search text and the entry say how to begin.
    search->setPlaceholderText(tr("Search commands"));

    // Back and forward, anywhere in the window and in the entry text's context menu.
    back_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    forward_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    addAction(back_);
    addAction(forward_);
    connect(back_, &QAction::triggered, this, &CReferenceDlg::GoBack);
    connect(forward_, &QAction::triggered, this, &CReferenceDlg::GoForward);
    auto *entry = findChild<EntryTextEdit *>(ControlName(IDC_ENTRY_TEXT));
    entry->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(entry, &QWidget::customContextMenuRequested, this, [this, entry](const QPoint &position) {
        ShowEntryMenu(*entry, position, {back_, forward_});
    });
    // Once a command has been shown, the entry needs no hint.
    entry->setPlaceholderText(
        tr("Choose a command from the list, or type what you are looking for into the search text."));
    connect(entry, &EntryTextEdit::textShown, this, [entry] {
        if (!entry->document()->isEmpty()) {
            entry->setPlaceholderText(QString());
        }
    });
    // How far the user scrolled each entry of the history, so that going back or forward scrolls it as far again.
    connect(entry->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int scroll) {
        if (!AwayFromCurrentPlace()) {
            history_.KeepScroll(scroll);
        }
    });
    // The see-also list says how many related commands it offers, and which one Find found its text in.
    auto *seeAlso = findChild<SeeAlsoComboBox *>(ControlName(IDC_SEE_ALSO));
    for (const auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(seeAlso->model(), change, this, &CReferenceDlg::ShowSeeAlsoCount);
    }
    connect(seeAlso->model(), &QAbstractItemModel::modelReset, this, &CReferenceDlg::ShowSeeAlsoCount);
    connect(seeAlso, &SeeAlsoComboBox::foundChanged, this, &CReferenceDlg::ShowSeeAlsoCount);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &CReferenceDlg::SettleSelection);
    new FocusRing(*this);
    UpdateHistoryActions();
    qApp->installEventFilter(this);

    // Zoom: Ctrl+Plus (and Ctrl+=, its key without Shift), Ctrl+Minus, Ctrl+0, and Ctrl+wheel (eventFilter).
    for (const QKeySequence &keys : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { Zoom(1); });
    }
    connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this, [this] { Zoom(-1); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, this,
            &CReferenceDlg::ResetZoom);
    // The window closes with its close button, Alt+F4, Ctrl+W and Ctrl+Q; never with Enter or Escape.
    // One shortcut for all of them: the desktop's Close and Quit may hold Ctrl+W and Ctrl+Q already, and two
    // shortcuts of one key are ambiguous, so that neither would act.
    QList<QKeySequence> closing = QKeySequence::keyBindings(QKeySequence::Close);
    closing += QKeySequence::keyBindings(QKeySequence::Quit);
    closing += {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_Q)};
    QList<QKeySequence> keys;
    for (const QKeySequence &each : std::as_const(closing)) {
        if (!each.isEmpty() && !keys.contains(each)) {
            keys.append(each);
        }
    }
    auto *close = new QShortcut(this);
    close->setKeys(keys);
    connect(close, &QShortcut::activated, this, &QDialog::close);
}

CReferenceDlg::~CReferenceDlg()
{
    qApp->removeEventFilter(this);
}

bool CReferenceDlg::IsCompactScreen()
{
    return platform::qt::ScreenHeight() < kCompactScreenHeight;
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
        // A desktop's window manager frames the window only once it is on screen: fit it again then.
        QTimer::singleShot(0, this, &CReferenceDlg::FitIntoScreen);
        QTimer::singleShot(kFramingDelayMs, this, &CReferenceDlg::FitIntoScreen);
    }
    QDialog::showEvent(event);
}

void CReferenceDlg::ShowCommand(const QString &command)
{
    results_->Close(); // a look through them ends with what is asked for now
    helpdata::RebuildIndexIfChanged(context_);
    platform::ListBox &list = window_.ListBoxById(IDC_COMMAND_LIST);
    const int found = helpdata::FindCommand(list, platform::qt::ToU16String(command));
    if (found != platform::kNoItem) {
        list.SetCurSel(found);
        OnSelchangeCommandList();
        NoteShownEntry();
        // As after a launch with it: the next key moves on from the command shown, whatever had the keys before.
        findChild<QWidget *>(platform::qt::ControlName(IDC_COMMAND_LIST))->setFocus(Qt::OtherFocusReason);
        return;
    }
    list.SetCurSel(platform::kNoItem);
    window_.SetControlText(IDC_ENTRY_TEXT, {});
    helpdata::EmptySeeAlsoList(context_);
    UpdateHistoryActions();
    // The command stands in the search text, ready for Find, with its results open: a new search, with no marks of
    // the last.
    window_.SetControlText(IDC_SEARCH_TEXT, platform::qt::ToU16String(command));
    OnChangeSearchText();
    findChild<QLineEdit *>(platform::qt::ControlName(IDC_SEARCH_TEXT))->setFocus(Qt::OtherFocusReason);
    results_->Search(command);
}

void CReferenceDlg::BringToFront()
{
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    raise();
    // A message box the window waits on ("Search completed") stays in front of it, and takes the keys: behind it, out
    // of sight, it would leave a window that takes no key and no click.
    QWidget *box = QApplication::activeModalWidget();
    if (box != nullptr && box != this) {
        box->raise();
        box->activateWindow();
    } else {
        activateWindow();
    }
}

bool CReferenceDlg::OnInitDialog()
{
    setWindowIcon(icon_);

    // Open at the layout's size, but never larger than the screen, and centred on it, frame and title bar included.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    create(); // the native window, whose frame the platform can tell
    const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = LayoutSize(templateId_, *this).boundedTo(room).expandedTo(minimumSizeHint()).boundedTo(room);
    resize(size);
    move(available.topLeft() + QPoint((room.width() - size.width()) / 2, (room.height() - size.height()) / 2));
    layout()->activate();
    ShareListAndEntry(templateId_, *this);

    platform::ListBox &list = window_.ListBoxById(IDC_COMMAND_LIST);
    auto *view = dynamic_cast<CommandListView *>(&list);
    if (indexAhead_.valid() && view != nullptr) {
        view->AdoptItems(indexAhead_.get()); // the data file is the window's again from here
    } else {
        if (indexAhead_.valid()) {
            indexAhead_.wait();
        }
        helpdata::BuildIndex(context_.file, list);
    }
    helpdata::ResetSearch(window_);
    return true;
}

void CReferenceDlg::keyPressEvent(QKeyEvent *event)
{
    // A key meant for a control never ends the program: Enter and Escape reach here only when the control with the
    // focus did not take them.
    if (platform::qt::IsPlainEnter(*event)) {
        QWidget *focus = focusWidget();
        if (focus == findChild<QWidget *>(ControlName(IDC_SEARCH_TEXT))) {
            findChild<QPushButton *>(ControlName(IDC_FIND))->click(); // Find, as F3 does
        } else if (focus == findChild<QWidget *>(ControlName(IDC_COMMAND_LIST))) {
            SettleSelection(); // the entry on show is kept, and read on
            findChild<QWidget *>(ControlName(IDC_ENTRY_TEXT))->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        return;
    }
    QDialog::keyPressEvent(event);
}

void CReferenceDlg::Dispatch(int id, Notification code)
{
    for (const MessageMapEntry &entry : kMessageMap) {
        if (entry.id == id && entry.code == code) {
            (this->*entry.handler)();
            // A command the keys reach in the list is a place of the history once the user rests on it; any other
            // way of showing one makes it a place at once.
            if (id == IDC_COMMAND_LIST && listByKeys_) {
                settle_.start();
                UpdateHistoryActions(); // Back leads to the entry settled on last meanwhile
            } else {
                SettleSelection();
            }
            return;
        }
    }
}

bool CReferenceDlg::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of the program passes here: the list is looked up only for the few that concern it.
    const auto list = [this] { return findChild<QAbstractScrollArea *>(ControlName(IDC_COMMAND_LIST)); };
    const auto onList = [&] { return watched == list() || watched == list()->viewport(); };
    switch (event->type()) {
    case QEvent::Paint:
        if (!resultsPrepared_ && onList()) {
            // Once the window has shown its list, the results' search gets ready for the first key.
            resultsPrepared_ = true;
            QTimer::singleShot(0, results_, &ResultsPanel::Prepare);
        }
        break;
    case QEvent::Wheel:
        if (ZoomOnCtrlWheel(watched, *static_cast<QWheelEvent *>(event))) {
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (GoOnMouseButton(watched, *static_cast<QMouseEvent *>(event))) {
            return true;
        }
        listByKeys_ = onList() ? false : listByKeys_;
        break;
    case QEvent::KeyPress:
        listByKeys_ = onList() ? true : listByKeys_;
        break;
    case QEvent::FocusOut:
        if (settle_.isActive() && watched == list()) {
            SettleSelection(); // a command the keys reached is settled on once the focus leaves the list
        }
        break;
    case QEvent::Resize:
    case QEvent::FontChange:
        if (watched == list()) {
            QTimer::singleShot(0, this, &CReferenceDlg::KeepSelectionInView);
        }
        break;
    case QEvent::EnabledChange:
        if (watched == findChild<QComboBox *>(ControlName(IDC_SEE_ALSO))) {
            ShowSeeAlsoCount();
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool CReferenceDlg::ZoomOnCtrlWheel(QObject *watched, const QWheelEvent &wheel)
{
    const bool overText = watched == findChild<QAbstractScrollArea *>(ControlName(IDC_COMMAND_LIST))->viewport() ||
                          watched == findChild<QAbstractScrollArea *>(ControlName(IDC_ENTRY_TEXT))->viewport() ||
                          watched == results_->viewport();
    if (!overText || (wheel.modifiers() & Qt::ControlModifier) == 0) {
        return false;
    }
    Zoom(WheelSteps(wheel)); // the window's zoom, for the list, the entry and the results alike
    return true;
}

bool CReferenceDlg::GoOnMouseButton(QObject *watched, const QMouseEvent &press)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget == nullptr || widget->window() != this ||
        (press.button() != Qt::BackButton && press.button() != Qt::ForwardButton)) {
        return false;
    }
    press.button() == Qt::BackButton ? GoBack() : GoForward();
    return true;
}

void CReferenceDlg::SettleSelection()
{
    settle_.stop();
    NoteShownEntry();
}

void CReferenceDlg::KeepSelectionInView()
{
    auto *list = findChild<QAbstractItemView *>(ControlName(IDC_COMMAND_LIST));
    if (list->currentIndex().isValid() && list->selectionModel()->isSelected(list->currentIndex())) {
        list->scrollTo(list->currentIndex(), QAbstractItemView::EnsureVisible);
    }
}

void CReferenceDlg::ShowSeeAlsoCount()
{
    // With nothing chosen, the list says how many related commands it offers; disabled, it says nothing.
    auto *seeAlso = findChild<SeeAlsoComboBox *>(ControlName(IDC_SEE_ALSO));
    const int count = seeAlso->isEnabled() ? seeAlso->count() : 0;
    const QString related = tr("%n related", "", count);
    seeAlso->setPlaceholderText(count > 0 ? related : QString());
    const QString found = seeAlso->FoundName();
    seeAlso->setAccessibleDescription(count == 0 ? tr("Also See")
                                      : found.isEmpty()
                                          ? tr("Also See, %n related", "", count)
                                          : tr("Also See, %n related, found in %1", "", count).arg(found));
}

void CReferenceDlg::FitIntoScreen()
{
    const QScreen *screen = this->screen();
    if (screen == nullptr || !isVisible() || isMaximized() || isFullScreen()) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect outer = frameGeometry();
    if (available.contains(outer)) {
        return;
    }
    const QSize frame = outer.size() - size();
    resize(size().boundedTo(available.size() - frame));
    const QRect fitted = frameGeometry();
    move(std::clamp(fitted.x(), available.left(), std::max(available.left(), available.right() + 1 - fitted.width())),
         std::clamp(fitted.y(), available.top(), std::max(available.top(), available.bottom() + 1 - fitted.height())));
}

void CReferenceDlg::NoteShownEntry()
{
    if (const std::optional<History::Place> shown = ShownPlace()) {
        history_.Visit(*shown);
        // Scrolled before it became a place (the keys reached it, and the wheel turned before the user settled on it).
        history_.KeepScroll(findChild<EntryTextEdit *>(ControlName(IDC_ENTRY_TEXT))->verticalScrollBar()->value());
    }
    UpdateHistoryActions();
}

std::optional<History::Place> CReferenceDlg::ShownPlace()
{
    const platform::ListBox &list = window_.ListBoxById(IDC_COMMAND_LIST);
    const int selection = list.GetCurSel();
    if (selection == platform::kNoItem) {
        return std::nullopt;
    }
    return History::Place{list.GetItemData(selection), list.GetText(selection)};
}

bool CReferenceDlg::AwayFromCurrentPlace()
{
    const std::optional<History::Place> current = history_.Current();
    if (!current) {
        return false;
    }
    const std::optional<History::Place> shown = ShownPlace();
    return !shown || *shown != *current;
}

bool CReferenceDlg::ShowPlace(const History::Place &place)
{
    helpdata::RebuildIndexIfChanged(context_);
    platform::ListBox &list = window_.ListBoxById(IDC_COMMAND_LIST);
    // That very entry, or, should the file have changed, the first of that name.
    const int sameName = helpdata::FindEntry(list, place.name, place.entryOffset);
    if (sameName == platform::kNoItem) {
        return false;
    }
    list.SetCurSel(sameName);
    OnSelchangeCommandList();
    return true;
}

void CReferenceDlg::GoBack()
{
    Go(&History::Back);
}

void CReferenceDlg::GoForward()
{
    Go(&History::Forward);
}

void CReferenceDlg::Go(std::optional<History::Place> (History::*step)())
{
    const std::optional<BeforePreview> looking = beforePreview_; // closing the results forgets it
    results_->Close();
    auto *entry = findChild<EntryTextEdit *>(ControlName(IDC_ENTRY_TEXT));
    // Back from an entry that is no place of the history (a command the keys only reached, a row looked at in the
    // results, or no entry at all after a lookup that found no command) leads to the entry settled on last, not to
    // the one before it.
    if (step == &History::Back && AwayFromCurrentPlace()) {
        settle_.stop(); // what the keys only reached stays no place
        const int scroll = history_.Scroll();
        if (ShowPlace(*history_.Current())) {
            entry->verticalScrollBar()->setValue(scroll);
            if (looking && looking->place == history_.Current()) {
                StandWhereTheUserStood(*looking); // as Escape brings it back
            }
            UpdateHistoryActions();
            return;
        }
    }
    // An entry gone from a changed file is passed over: the one beyond it is shown.
    while (const auto place = (history_.*step)()) {
        const int scroll = history_.Scroll(); // showing it scrolls it to the top
        if (ShowPlace(*place)) {
            entry->verticalScrollBar()->setValue(scroll);
            break;
        }
        history_.DropCurrent();
    }
    UpdateHistoryActions();
}

void CReferenceDlg::UpdateHistoryActions()
{
    back_->setEnabled(history_.CanGoBack() || AwayFromCurrentPlace());
    forward_->setEnabled(history_.CanGoForward());
}

void CReferenceDlg::Zoom(int steps)
{
    zoomStep_ = std::clamp(zoomStep_ + steps, 0, static_cast<int>(kZoomSteps.size()) - 1);
    ApplyZoom();
}

void CReferenceDlg::ResetZoom()
{
    zoomStep_ = kNormalZoomStep;
    ApplyZoom();
}

double CReferenceDlg::ZoomFactor() const
{
    return kZoomSteps[static_cast<std::size_t>(zoomStep_)];
}

void CReferenceDlg::ApplyZoom()
{
    QFont zoomed = font();
    if (zoomed.pointSizeF() > 0) {
        zoomed.setPointSizeF(zoomed.pointSizeF() * ZoomFactor());
    } else {
        zoomed.setPixelSize(std::max(1, static_cast<int>(std::lround(zoomed.pixelSize() * ZoomFactor()))));
    }
    for (const int id : {IDC_COMMAND_LIST, IDC_ENTRY_TEXT}) {
        findChild<QWidget *>(ControlName(id))->setFont(zoomed);
    }
    results_->setFont(zoomed); // the results' rows and their count follow the list's size
}

void CReferenceDlg::PreviewResult(int item, std::uint32_t entryOffset)
{
    auto *view = findChild<CommandListView *>(ControlName(IDC_COMMAND_LIST));
    if (!beforePreview_) {
        // What the window showed before the results were looked through, to come back to.
        const int selection = view->GetCurSel();
        beforePreview_ = BeforePreview{
            selection == platform::kNoItem
                ? std::nullopt
                : std::optional<History::Place>(History::Place{view->GetItemData(selection), view->GetText(selection)}),
            view->verticalScrollBar()->value(), findChild<EntryTextEdit *>(ControlName(IDC_ENTRY_TEXT))->Place(),
            findChild<SeeAlsoComboBox *>(ControlName(IDC_SEE_ALSO))->FoundNames()};
    }
    const std::u16string name = view->GetText(item);
    helpdata::RebuildIndexIfChanged(context_);
    const int found = helpdata::FindEntry(*view, name, entryOffset);
    if (found == platform::kNoItem) {
        return;
    }
    view->SelectNearby(found); // the list follows, scrolling as little as it must
    OnSelchangeCommandList();  // the entry shows it; the history does not note a preview
    UpdateHistoryActions();
}

void CReferenceDlg::StandWhereTheUserStood(const BeforePreview &before)
{
    // The entry as the user left it: scrolled as far, the caret and the selection where they were, a find's marks.
    findChild<EntryTextEdit *>(ControlName(IDC_ENTRY_TEXT))->Restore(before.reading);
    window_.ComboBoxById(IDC_SEE_ALSO).MarkFound(before.seeAlsoFound);
}

void CReferenceDlg::EndPreview()
{
    if (!beforePreview_) {
        return;
    }
    const BeforePreview before = *std::exchange(beforePreview_, std::nullopt);
    auto *view = findChild<CommandListView *>(ControlName(IDC_COMMAND_LIST));
    if (!before.place || !ShowPlace(*before.place)) {
        view->SetCurSel(platform::kNoItem);
        window_.SetControlText(IDC_ENTRY_TEXT, {});
        helpdata::EmptySeeAlsoList(context_);
    } else {
        StandWhereTheUserStood(before);
    }
    view->verticalScrollBar()->setValue(before.listScroll);
    UpdateHistoryActions();
}

void CReferenceDlg::ShowChosenResult(int item, std::uint32_t entryOffset)
{
    // The result's item, or, should the list have been built again since, the entry of the same name.
    const std::u16string name = window_.ListBoxById(IDC_COMMAND_LIST).GetText(item);
    helpdata::RebuildIndexIfChanged(context_);
    platform::ListBox &list = window_.ListBoxById(IDC_COMMAND_LIST);
    const int found = helpdata::FindEntry(list, name, entryOffset);
    if (found == platform::kNoItem) {
        return;
    }
    list.SetCurSel(found);
    OnSelchangeCommandList();
    NoteShownEntry();
    findChild<QWidget *>(ControlName(IDC_COMMAND_LIST))->setFocus(Qt::OtherFocusReason);
}

void CReferenceDlg::OnSelchangeCommandList()
{
    helpdata::ShowSelectedEntry(context_);
}

void CReferenceDlg::OnSelchangeSeeAlso()
{
    helpdata::JumpToSeeAlso(context_);
    // Chosen in the list dropped down, the focus was in its popup when the refill disabled the list for a moment: the
    // focus comes back to the list, as after a choice by key, for the next arrow key; left empty by a command without
    // related ones, the list gives it to the command list, as it does then by key.
    auto *seeAlso = findChild<QComboBox *>(ControlName(IDC_SEE_ALSO));
    findChild<QWidget *>(ControlName(seeAlso->isEnabled() ? IDC_SEE_ALSO : IDC_COMMAND_LIST))
        ->setFocus(Qt::OtherFocusReason);
}

void CReferenceDlg::OnCopy()
{
    helpdata::CopyEntrySelection(context_);
}

void CReferenceDlg::OnFind()
{
    if (!helpdata::FindNextEntry(context_)) {
        return;
    }
    // The command found, for a screen reader (the engine has marked where the text stands in its entry).
    auto *list = findChild<CommandListView *>(ControlName(IDC_COMMAND_LIST));
    const int row = list->GetCurSel();
    for (const auto type : {QAccessible::Selection, QAccessible::ActiveDescendantChanged}) {
        QAccessibleEvent found(list, type);
        found.setChild(row);
        QAccessible::updateAccessibility(&found);
    }
}

void CReferenceDlg::OnChangeSearchText()
{
    helpdata::ResetSearch(window_);
    window_.EditById(IDC_ENTRY_TEXT).MarkFound({});
    window_.ComboBoxById(IDC_SEE_ALSO).MarkFound({});
    if (beforePreview_) {
        // A find's marks go with the text it found: the entry that comes back after the results has none.
        beforePreview_->reading.found.clear();
        beforePreview_->seeAlsoFound.clear();
    }
}

} // namespace korva::app
