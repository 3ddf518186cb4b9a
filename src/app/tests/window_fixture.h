// SPDX-License-Identifier: MIT
// The reference window on a data file, shown and active, for tests that drive it as a user does.
#pragma once

#include "app/index_ahead.h"
#include "app/reference_dlg.h"
#include "helpdata/find_next.h"
#include "helpdata/read_buffer.h"
#include "platform/qt/controls.h"
#include "platform/system_help_file.h"
#include "test_support/data_entries.h"

#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// Texts as gtest prints them in a failure: as text, not as the bytes of their units.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace korva::app::testing {

using korva::testing::SimpleEntry;

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override { helpdata::ProcessSearchState() = helpdata::SearchState{}; }

    void TearDown() override { CloseWindow(); }

    // Opens the window on the data file at `path`; with a `command`, as the command line asks it to show one.
    void OpenWindow(const std::string &path, const QString &command = QString())
    {
        ASSERT_TRUE(file_.Open(path)) << path;
        dialog_ = std::make_unique<CReferenceDlg>(file_, buffer_);
        if (!command.isEmpty()) {
            dialog_->ShowCommandWhenOpen(command);
        }
        ShowWindow();
    }

    // Opens the window as the program does, on the index built ahead; `meanwhile` runs once that index is built and
    // before the window shows.
    void OpenWindowIndexedAhead(const std::string &path, const std::function<void()> &meanwhile = {})
    {
        ASSERT_TRUE(file_.Open(path)) << path;
        std::future<platform::SortedList> index = BuildIndexAhead(file_);
        ASSERT_TRUE(index.valid());
        index.wait();
        if (meanwhile) {
            meanwhile();
        }
        dialog_ = std::make_unique<CReferenceDlg>(file_, buffer_);
        dialog_->TakeIndexWhenOpen(std::move(index));
        ShowWindow();
    }

    void CloseWindow()
    {
        dialog_.reset();
        file_.Close();
    }

    // Opens the window on a data file holding exactly `bytes`.
    void OpenWindowOnBytes(const std::string &bytes)
    {
        ASSERT_TRUE(folder_.isValid());
        const std::string path = folder_.filePath(QStringLiteral("korvadoc")).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        OpenWindow(path);
    }

    void ShowWindow()
    {
        dialog_->open();
        QApplication::setActiveWindow(dialog_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }

    CReferenceDlg &Dialog() { return *dialog_; }
    platform::qt::CommandListView &List() { return Control<platform::qt::CommandListView>("IDC_COMMAND_LIST"); }
    QPlainTextEdit &EntryBox() { return Control<QPlainTextEdit>("IDC_ENTRY_TEXT"); }
    QComboBox &SeeAlso() { return Control<QComboBox>("IDC_SEE_ALSO"); }
    QPushButton &CopyButton() { return Control<QPushButton>("IDC_COPY"); }
    QPushButton &FindButton() { return Control<QPushButton>("IDC_FIND"); }
    QLineEdit &SearchText() { return Control<QLineEdit>("IDC_SEARCH_TEXT"); }

    template <typename Widget>
    Widget &Control(const char *name)
    {
        auto *widget = dialog_->findChild<Widget *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }

    // The list's texts, top to bottom.
    QStringList ListTexts()
    {
        QStringList texts;
        for (int row = 0; row < List().model()->rowCount(); ++row) {
            texts << List().model()->index(row, 0).data().toString();
        }
        return texts;
    }

    QString SelectedCommand()
    {
        const int selection = List().GetCurSel();
        return selection < 0 ? QString() : List().model()->index(selection, 0).data().toString();
    }

    // The user replaces the search text with `text`, typing it.
    void TypeSearchText(const QString &text)
    {
        SearchText().setFocus();
        SearchText().selectAll();
        QTest::keyClick(&SearchText(), Qt::Key_Backspace);
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(&SearchText(), c.toLatin1());
            } else { // a key of another keyboard: its text alone
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(&SearchText(), &press);
            }
        }
    }

    // Clicks the command `name` in the list with the mouse.
    void ClickCommand(const QString &name)
    {
        const QModelIndexList found =
            List().model()->match(List().model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        List().scrollTo(found.first());
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, List().visualRect(found.first()).center());
    }

    // Drops the see-also list down and clicks its name at `row` with the mouse.
    void ChooseDroppedSeeAlso(int row)
    {
        SeeAlso().showPopup();
        QAbstractItemView *popup = SeeAlso().view();
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                          popup->visualRect(popup->model()->index(row, 0)).center());
    }

    // Clicks `button`, dismissing and recording every message box it opens.
    QStringList ClickAndCollectMessages(QPushButton &button)
    {
        auto messages = std::make_shared<QStringList>();
        auto *closer = new QTimer;
        QObject::connect(closer, &QTimer::timeout, closer, [messages] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                messages->append(box->text());
                QTest::keyClick(box, Qt::Key_Enter);
            }
        });
        closer->start(10);
        QTest::mouseClick(&button, Qt::LeftButton);
        delete closer;
        return *messages;
    }

    QTemporaryDir folder_;
    platform::SystemHelpFile file_;
    helpdata::ReadBuffer buffer_;
    std::unique_ptr<CReferenceDlg> dialog_;
};

} // namespace korva::app::testing
