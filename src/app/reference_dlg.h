// SPDX-License-Identifier: MIT
// CReferenceDlg: the program's one window. It picks its layout by the screen's height, fills the command list when it
// opens, and routes each control notification through its message map to a handler of the help data engine.
#pragma once

#include "helpdata/help_context.h"
#include "history.h"
#include "platform/platform.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_window.h"
#include "platform/sorted_list.h"
#include "results_panel.h"

#include <future>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QDialog>
#include <QIcon>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

namespace korva::app {

class CReferenceDlg : public QDialog
{
    Q_OBJECT

public:
    // The window reads `file` through `buffer`; both stay open and allocated for its whole life.
    CReferenceDlg(platform::HelpFile &file, helpdata::ReadBuffer &buffer, QWidget *parent = nullptr);
    ~CReferenceDlg() override;

    // True when the primary screen is less than 294 pixels high: the window then takes the compact layout.
    static bool IsCompactScreen();
    // IDD_REFERENCE or IDD_REFERENCE_WIDE.
    int TemplateId() const { return templateId_; }

    // Shows the command named `command`, else the first so named in any case, else the first that begins with it, as
    // the user's selection would (the rule of --print). When none does, nothing is selected and `command` stands in the
    // search text, with the focus, ready for Find.
    void ShowCommand(const QString &command);
    // ShowCommand, once the list is filled as the window opens.
    void ShowCommandWhenOpen(const QString &command) { startCommand_ = command; }
    // The command list as the window opens: `index`, built ahead from the window's data file, in place of a scan of
    // its own. The window waits for it there, and reads the file only after.
    void TakeIndexWhenOpen(std::future<platform::SortedList> index) { indexAhead_ = std::move(index); }
    // Brings the window to the front: shown, raised and made active where the desktop lets it, with a message box it
    // shows in front of it.
    void BringToFront();

    // The results for the search text as the user types it, right under it.
    ResultsPanel &Results() { return *results_; }

    // Makes the command the keys reached in the list a place of the history, as resting on it for half a second
    // does (or the focus leaving the list). The timer is the window's clock for it, which a test can hold.
    void SettleSelection();
    QTimer &SettleTimer() { return settle_; }

    // Back and forward through the entries shown (Alt+Left, Alt+Right, the mouse's Back and Forward buttons, the
    // entry text's context menu): selects the command and shows its entry as a selection would.
    void GoBack();
    void GoForward();
    QAction &BackAction() { return *back_; }
    QAction &ForwardAction() { return *forward_; }

    // The list's and the entry's text size (Ctrl+Plus, Ctrl+Minus, Ctrl+0, Ctrl+wheel), in steps from half to four
    // times the normal size, for this session.
    void Zoom(int steps);
    void ResetZoom();
    double ZoomFactor() const;

protected:
    // Runs OnInitDialog once, as the window first shows (before it is on screen).
    void showEvent(QShowEvent *event) override;
    // Sets the icons, centres the window, fills the command list and readies the search. True: the first control
    // gets the focus.
    virtual bool OnInitDialog();
    // Enter and Escape never close the window: Enter in the search text runs Find, in the command list moves on to the
    // entry; elsewhere the control's own keys or nothing.
    void keyPressEvent(QKeyEvent *event) override;
    // The mouse's Back and Forward buttons, over any control of the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = void (CReferenceDlg::*)();
    struct MessageMapEntry
    {
        int id;
        platform::Notification code;
        Handler handler;
    };
    static const MessageMapEntry kMessageMap[];

    void Dispatch(int id, platform::Notification code);
    // The window within the screen's available area, its frame included.
    void FitIntoScreen();
    // Notes the entry on show in the history (shown any way but by going back or forward).
    void NoteShownEntry();
    // Selects and shows the entry at `place`; false when the list holds it no more.
    bool ShowPlace(const History::Place &place);
    // The entry on show, if any, as a place of the history.
    std::optional<History::Place> ShownPlace();
    // Whether Back goes to the entry last settled on rather than the one before it: the entry on show is another, or
    // there is none.
    bool AwayFromCurrentPlace();
    // Goes back or forward, as `step` of the history says.
    void Go(std::optional<History::Place> (History::*step)());
    void UpdateHistoryActions();
    void ApplyZoom();
    bool ZoomOnCtrlWheel(QObject *watched, const QWheelEvent &wheel);
    bool GoOnMouseButton(QObject *watched, const QMouseEvent &press);
    // Scrolls the list so that the selected command's whole row shows, whatever moved it.
    void KeepSelectionInView();
    void ShowSeeAlsoCount();

    // Shows the entry of a result the user chose, as a selection in the command list would.
    void ShowChosenResult(int item, std::uint32_t entryOffset);
    // Shows the entry of the result the user highlights while looking through the results, without noting it in the
    // history; EndPreview brings back what the window showed before.
    void PreviewResult(int item, std::uint32_t entryOffset);
    void EndPreview();
    struct BeforePreview;
    // Shows the entry on show as the user left it before looking through the results.
    void StandWhereTheUserStood(const BeforePreview &before);

    void OnSelchangeCommandList();
    void OnSelchangeSeeAlso();
    void OnCopy();
    void OnFind();
    void OnChangeSearchText();

    int templateId_;
    QIcon icon_;
    platform::qt::QtWindow window_;
    helpdata::HelpContext context_;
    bool initialised_ = false;
    QString startCommand_;
    std::future<platform::SortedList> indexAhead_;
    History history_;
    QAction *back_;
    QAction *forward_;
    ResultsPanel *results_;
    // While the user looks through the results: the command selected before (if any), where the list stood, and where
    // the user stood in the entry.
    struct BeforePreview
    {
        std::optional<History::Place> place;
        int listScroll;
        platform::qt::EntryTextEdit::ReadingPlace reading;
        std::vector<std::u16string> seeAlsoFound; // the related commands a find marked
    };
    std::optional<BeforePreview> beforePreview_;
    bool resultsPrepared_ = false;
    bool listByKeys_ = false; // the list's last selection came from a key
    QTimer settle_;
    int zoomStep_;
};

} // namespace korva::app
