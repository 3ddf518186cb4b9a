// SPDX-License-Identifier: MIT
// What a user who keeps the window open all day runs into: a history of the places settled on, formulas in the
// fixed-pitch font, a see-also list that says what it holds, a focus that can be seen, the entry's context menu, room
// for the entry, and the selected command kept in view.
#include "app/focus_ring.h"
#include "app/resource_ids.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QFontDatabase>
#include <QMenu>
#include <QSplitter>
#include <QTextBlock>

namespace korva::app::testing {
namespace {

class DailyUse : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        OpenWindow(KORVA_SAMPLE_DATA);
        // The window's clock for resting on a command: held, so that only the test lets the half second pass.
        Dialog().SettleTimer().setInterval(24 * 60 * 60 * 1000);
    }

    // Goes back as far as the history leads; yields the commands it showed.
    QStringList AllTheWayBack()
    {
        QStringList shown;
        while (Dialog().BackAction().isEnabled()) {
            Dialog().GoBack();
            shown << SelectedCommand();
        }
        return shown;
    }

    // True when the entry's character at `position` asks for the fixed-pitch family.
    bool AsksFixedPitch(int position)
    {
        QTextCursor at(EntryBox().document());
        at.setPosition(position + 1); // the format of the character before the cursor
        const QTextCharFormat format = at.charFormat();
        return format.fontFamilies().toStringList() == QStringList{platform::qt::EntryTextEdit::FixedPitchFamily()} &&
               format.fontFixedPitch();
    }

    // For each block of the entry text, whether its last character asks for the fixed-pitch family.
    std::vector<bool> FixedPitchBlocks()
    {
        std::vector<bool> blocks;
        for (QTextBlock block = EntryBox().document()->begin(); block.isValid(); block = block.next()) {
            blocks.push_back(block.length() > 1 && AsksFixedPitch(block.position() + block.length() - 2));
        }
        return blocks;
    }
};

using platform::qt::EntryTextEdit;

// Type-ahead passes other commands on its way, and held arrow keys many: only the command the user rests on is a
// place to go back to.
TEST_F(DailyUse, HistoryKeepsThePlacesTheUserSettledOn)
{
    ClickCommand(QStringLiteral("abs")); // a click: a place at once
    List().setFocus();
    QTest::keyClicks(&List(), QStringLiteral("sol")); // passes seq on its way from "s" to "sol"
    ASSERT_EQ(SelectedCommand(), QStringLiteral("solve"));
    Dialog().SettleSelection(); // the half second passes
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down); // a see-also jump: a place at once
    const QString jumped = SelectedCommand();
    EXPECT_EQ(AllTheWayBack(), (QStringList{"solve", "abs"}));

    // Arrows held down, then the focus leaving the list: only where they stopped.
    Dialog().GoForward();
    Dialog().GoForward();
    ASSERT_EQ(SelectedCommand(), jumped);
    List().setFocus();
    for (int key = 0; key < 6; ++key) {
        QTest::keyClick(&List(), Qt::Key_Down);
    }
    const QString rested = SelectedCommand();
    SearchText().setFocus(); // leaving the list settles it
    EXPECT_EQ(AllTheWayBack(), (QStringList{jumped, "solve", "abs"}));
    Dialog().GoForward();
    Dialog().GoForward();
    Dialog().GoForward();
    EXPECT_EQ(SelectedCommand(), rested);
}

// Back from an entry that is no place of the history leads to the entry settled on last, not to the one before it: from
// a command the keys have only reached, which stays no place, or from no entry at all, after a lookup that no command
// begins with.
TEST_F(DailyUse, BackFromWhereTheUserStandsLeadsToTheEntrySettledOnLast)
{
    ClickCommand(QStringLiteral("abs"));
    ClickCommand(QStringLiteral("gcd"));
    List().setFocus();
    QTest::keyClick(&List(), Qt::Key_Down);
    ASSERT_NE(SelectedCommand(), QStringLiteral("gcd"));
    QTest::keyClick(&List(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    EXPECT_FALSE(Dialog().ForwardAction().isEnabled());

    ClickCommand(QStringLiteral("solve"));
    Dialog().ShowCommand(QStringLiteral("sum of"));
    ASSERT_EQ(SelectedCommand(), QString());
    ASSERT_TRUE(Dialog().BackAction().isEnabled());
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("solve"));
    EXPECT_EQ(AllTheWayBack(), (QStringList{"gcd", "abs"}));
}

// The parameters and the examples ask for the system's fixed-pitch family; the description and the headings keep the
// control's own font. What the machine's font files make of that family is the desktop's, not the program's.
TEST_F(DailyUse, FormulasInTheFixedPitchFontAndCopyUnchanged)
{
    ClickCommand(QStringLiteral("gcd"));
    EXPECT_EQ(EntryTextEdit::FixedPitchFamily(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_EQ(FixedPitchBlocks(), (std::vector<bool>{false, false, true, false, false, true, true, false}));
    // "Params:" stays in the control's font, the synopsis after it does not.
    const QTextBlock parameters = EntryBox().document()->findBlockByNumber(2);
    EXPECT_FALSE(AsksFixedPitch(parameters.position() + 1));
    // The look is no edit: nothing to undo, and Copy puts the same plain text on the clipboard.
    EXPECT_FALSE(EntryBox().document()->isUndoAvailable());
    EntryBox().selectAll();
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), EntryBox().toPlainText());
    EXPECT_TRUE(EntryBox().toPlainText().contains(QStringLiteral("\nParams:gcd(a, b, ...)\n")));
}

// Each entry is drawn afresh in the same styles: a click inside an example leaves the caret in the fixed-pitch text,
// and the next entry's description keeps the control's own font all the same.
TEST_F(DailyUse, NoLookCarriesIntoTheNextEntry)
{
    ClickCommand(QStringLiteral("gcd"));
    QTextCursor example(EntryBox().document()->findBlockByNumber(5));
    example.movePosition(QTextCursor::EndOfBlock);
    QTest::mouseClick(EntryBox().viewport(), Qt::LeftButton, {}, EntryBox().cursorRect(example).center());
    ASSERT_TRUE(AsksFixedPitch(EntryBox().textCursor().position()));
    ClickCommand(QStringLiteral("abs"));
    EXPECT_EQ(FixedPitchBlocks(), (std::vector<bool>{false, false, true, false, false, true, true, false}));
    ClickCommand(QStringLiteral("ceil"));
    EXPECT_FALSE(AsksFixedPitch(1));
}

// An entry whose lines end in CR LF shows no CR, and its formulas still stand where the composer put them.
TEST_F(DailyUse, FormulasStayInPlaceAfterACarriageReturn)
{
    OpenWindowOnBytes("# crlf\n1\n2 words\r\n3\n0 f(x)\r\nf(2)\r\n\n");
    ClickCommand(QStringLiteral("crlf"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("words\n\nParams:f(x)\n\nExamples:\nf(2)\n"));
    EXPECT_EQ(FixedPitchBlocks(), (std::vector<bool>{false, false, true, false, false, true, false}));
}

// With nothing chosen, Also See shows how many related commands it offers, and a screen reader hears it; disabled it
// shows nothing.
TEST_F(DailyUse, AlsoSeeSaysWhatItHolds)
{
    EXPECT_EQ(SeeAlso().placeholderText(), QString());
    ClickCommand(QStringLiteral("gcd"));
    EXPECT_EQ(SeeAlso().currentIndex(), -1);
    EXPECT_EQ(SeeAlso().placeholderText(), QStringLiteral("2 related"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&SeeAlso());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Also See"));
    EXPECT_EQ(accessible->text(QAccessible::Description), QStringLiteral("Also See, 2 related"));

    OpenWindowOnBytes(SimpleEntry("alone", "no related command", {"absent"}));
    ClickCommand(QStringLiteral("alone"));
    EXPECT_FALSE(SeeAlso().isEnabled());
    EXPECT_EQ(SeeAlso().placeholderText(), QString());
    EXPECT_EQ(SeeAlso().accessibleDescription(), QStringLiteral("Also See"));
}

TEST_F(DailyUse, ContextMenuLeadsWithWhatReadersUse)
{
    ClickCommand(QStringLiteral("abs"));
    ClickCommand(QStringLiteral("gcd"));
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            offered << (action->isSeparator() ? QStringLiteral("|") : action->text().section(QLatin1Char('\t'), 0, 0));
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), EntryBox().viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(EntryBox().viewport(), &event);
    EXPECT_EQ(offered, (QStringList{"Back", "Forward", "&Copy", "Select All", "|", "&Undo", "&Redo", "Cu&t", "&Paste",
                                    "Delete"}));
}

// A splitter between the list and the entry: the window opens in the layout's proportions, and the user can give the
// entry more room.
TEST_F(DailyUse, SplitterGivesTheEntryMoreRoom)
{
    auto *splitter = Dialog().findChild<QSplitter *>();
    ASSERT_NE(splitter, nullptr);
    ASSERT_EQ(splitter->count(), 2);
    EXPECT_EQ(splitter->widget(0), &List());
    EXPECT_EQ(splitter->widget(1), &EntryBox());
    const bool compact = Dialog().TemplateId() == IDD_REFERENCE_WIDE;
    EXPECT_NEAR(static_cast<double>(List().height()) / EntryBox().height(), compact ? 37.0 / 45 : 60.0 / 58, 0.08);
    const int entry = EntryBox().height();
    splitter->setSizes({List().height() / 2, entry + List().height() / 2});
    EXPECT_GT(EntryBox().height(), entry);
}

// Whatever moves the selected command, its whole row stays in view.
TEST_F(DailyUse, SelectedCommandStaysInView)
{
    const auto inView = [this] {
        QCoreApplication::processEvents();
        return List().viewport()->rect().contains(List().visualRect(List().currentIndex()));
    };
    List().setFocus();
    QTest::keyClick(&List(), Qt::Key_End);
    ASSERT_TRUE(inView());
    Dialog().Zoom(4); // larger text
    EXPECT_TRUE(inView());
    Dialog().resize(Dialog().width(), Dialog().height() - 60); // a smaller window
    EXPECT_TRUE(inView());
    auto *splitter = Dialog().findChild<QSplitter *>();
    splitter->setSizes({List().height() / 2, EntryBox().height() + List().height() / 2}); // a smaller list
    EXPECT_TRUE(inView());
    QTest::keyClicks(&List(), QStringLiteral("ab")); // type-ahead to the top
    EXPECT_TRUE(inView());
}

// Every control shows where the focus is: a ring round it in the highlight colour.
TEST_F(DailyUse, FocusCanBeSeenOnEveryControl)
{
    auto *ring = Dialog().findChild<FocusRing *>();
    ASSERT_NE(ring, nullptr);
    SeeAlso().setEnabled(true);
    List().setFocus();
    for (int tab = 0; tab < 6; ++tab) {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(ring->isVisible()) << focused->objectName().toStdString();
        EXPECT_EQ(ring->Target(), focused);
        const QRect control(focused->mapTo(&Dialog(), QPoint(0, 0)), focused->size());
        EXPECT_TRUE(ring->geometry().contains(control.intersected(Dialog().rect()).adjusted(1, 1, -1, -1)))
            << focused->objectName().toStdString();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
}

} // namespace
} // namespace korva::app::testing
