// SPDX-License-Identifier: MIT
// The window's controls on Qt: standard Qt widgets that also carry the control interfaces the engine calls. Each
// reports only what the user does (a selection, a click, an edit) through its notification signal; what the program
// does to it (select, clear, add, set a text) raises none.
#pragma once

#include "command_list_model.h"
#include "platform/platform.h"

#include <vector>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

namespace korva::platform::qt {

// The object name that a control of the given id carries ("IDC_COMMAND_LIST"...); empty for an unknown id.
QString ControlName(int id);

// The sorted command list.
class CommandListView final : public QListView, public ListBox
{
    Q_OBJECT

public:
    explicit CommandListView(QWidget *parent = nullptr);

    void ResetContent() override;
    void InitStorage(std::size_t items, std::size_t textUnits) override { model_->Reserve(items, textUnits); }
    void AddItem(std::u16string_view text, std::uint32_t data) override { model_->Add(text, data); }
    void AddCodePageItem(std::string_view text, std::uint32_t data) override { model_->AddCodePage(text, data); }
    std::uint32_t GetItemData(int position) const override { return model_->Items().Data(position); }
    int GetCount() const override { return model_->Items().Count(); }
    std::u16string GetText(int position) const override;
    void GetTextInto(int position, std::u16string &text) const override { model_->Items().TextInto(position, text); }
    std::size_t GetCodePageText(int position, std::span<char> buffer) const override
    {
        return model_->Items().CodePageText(position, buffer);
    }
    int GetCurSel() const override;
    // Selects the item and shows it in the middle of the list where the list allows: the program's jumps.
    void SetCurSel(int position) override;
    // Selects the item, the list scrolling as little as it must to show it, as the user's own keys do.
    void SelectNearby(int position);
    int FindString(std::u16string_view prefix) const override { return model_->Items().Find(prefix); }
    void SetRedraw(bool redraw) override;
    std::uint64_t ItemsVersion() const override { return model_->Items().Version(); }
    // Shows `items` in place of the list's own, nothing selected: a list filled apart from the window.
    void AdoptItems(SortedList items);
    void keyboardSearch(const QString &search) override;

signals:
    void notify(korva::platform::Notification code);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    void Select(int position, ScrollHint hint);

    CommandListModel *model_;
    bool programSelects_ = false;
};

// The see-also drop-down list: sorted, duplicates kept, no edit field.
class SeeAlsoComboBox final : public QComboBox, public ComboBox
{
    Q_OBJECT

public:
    explicit SeeAlsoComboBox(QWidget *parent = nullptr);

    void ResetContent() override;
    void AddString(std::u16string_view text) override;
    void MarkFound(std::span<const std::u16string> names) override;

    // The name the list shows marked while none is chosen; empty when none is marked.
    QString FoundName() const;
    // The names marked (MarkFound), to mark again when the same entry comes back.
    const std::vector<std::u16string> &FoundNames() const { return foundNames_; }

signals:
    void notify(korva::platform::Notification code);
    void foundChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool programChanges_ = false;
    std::vector<std::u16string> foundNames_;
};

// The multi-line entry text: editable (Enter breaks a line, as in any editable text), long lines wrap, Tab moves on to
// the next control like in any dialog. What it copies is plain text, and nothing else.
class EntryTextEdit final : public QPlainTextEdit, public EditBox
{
    Q_OBJECT

public:
    explicit EntryTextEdit(QWidget *parent = nullptr);

    void Copy() override { copy(); }
    void ShowInFixedPitch(std::span<const TextRange> ranges) override;
    // In the find colours, dark on amber: they read well in light and dark themes alike, and are no selection's.
    void MarkFound(std::span<const TextRange> ranges) override;
    // Shows `composed`, a text the program composed with CR LF line breaks, in place of what the control holds, in the
    // control's own font whatever the text before it wore or the caret stood in.
    void ShowText(std::u16string_view composed);

    // Where the user stands in the text on show: how far it is scrolled, the caret and the selection, and a find's
    // marks.
    struct ReadingPlace
    {
        QString text;
        int scroll = 0;
        int anchor = 0;
        int position = 0;
        std::vector<TextRange> found;
    };
    ReadingPlace Place() const;
    // Stands at `place` again, when the text on show is the one it was taken of; else does nothing.
    void Restore(const ReadingPlace &place);
    // The font family the parameters and examples ask for: the system's fixed-pitch one.
    static QString FixedPitchFamily();

signals:
    // The program has shown a text (ShowText), so that what the window adds to it can follow. No notification: no
    // handler hears of it.
    void textShown();

protected:
    QMimeData *createMimeDataFromSelection() const override;

private:
    // Where the text on show stands for a place in the composed text: the control breaks lines at LF, so each CR of
    // the composed text is left out (removedCRs_ holds their places in it).
    int ShownPosition(std::size_t composedPosition) const;
    // The characters of `range` in the text on show, cut where it ends.
    QTextCursor ShownRange(const TextRange &range) const;

    std::vector<std::size_t> removedCRs_;
    std::vector<TextRange> found_; // the marks of the text on show (MarkFound)
};

// A push button of the window. Neither is the window's default button: Enter clicks one only while it has the focus,
// and goes to the window everywhere else.
class DialogButton final : public QPushButton
{
    Q_OBJECT

public:
    DialogButton(const QString &text, QWidget *parent = nullptr);

    // As narrow as its text allows, so that a narrow window keeps its row's proportions.
    QSize minimumSizeHint() const override;

signals:
    void notify(korva::platform::Notification code);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The single-line search text.
class SearchTextEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit SearchTextEdit(QWidget *parent = nullptr);

signals:
    void notify(korva::platform::Notification code);
};

// Keeps a scroll area's vertical scroll bar on show, and enabled only while there is something to scroll.
void DisableScrollBarWhenIdle(QAbstractScrollArea &area);

// True for Enter or Return pressed alone (the keypad's Enter included).
bool IsPlainEnter(const QKeyEvent &event);

// UTF-16 texts between the engine and Qt.
QString ToQString(std::u16string_view text);
std::u16string ToU16String(const QString &text);

} // namespace korva::platform::qt
