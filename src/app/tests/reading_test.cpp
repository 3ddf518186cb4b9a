// SPDX-License-Identifier: MIT
// What readers expect of a documentation window: a find that shows where, back and forward, zoom, and controls that
// behave as a desktop's do.
#include "app/reading_aids.h"
#include "app/resource_ids.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QWheelEvent>

namespace korva::app::testing {
namespace {

class SampleReading : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        OpenWindow(KORVA_SAMPLE_DATA);
    }

    platform::qt::EntryTextEdit &Entry() { return Control<platform::qt::EntryTextEdit>("IDC_ENTRY_TEXT"); }

    // The texts the find's marks cover, in order.
    QStringList Marked()
    {
        QStringList marked;
        for (const QTextEdit::ExtraSelection &mark : Entry().extraSelections()) {
            marked << mark.cursor.selectedText();
        }
        return marked;
    }
};

TEST_F(SampleReading, FindMarksEveryPlaceThatHoldsTheTextAndNothingIsSelected)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("held before"));
    TypeSearchText(QStringLiteral("Euler"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_EQ(Marked(), QStringList{QStringLiteral("Euler")});
    EXPECT_FALSE(Entry().textCursor().hasSelection());
    EXPECT_EQ(Entry().textCursor().position(), Entry().toPlainText().indexOf(QStringLiteral("Euler")));
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("held before")); // the marks are no selection

    // Next: the marks of the entry it shows, exactly as typed.
    ClickAndCollectMessages(FindButton()); // gamma's match, shown as Gamma, the first command of that name
    const QStringList marked = Marked();
    EXPECT_FALSE(marked.isEmpty());
    EXPECT_TRUE(std::all_of(marked.begin(), marked.end(), [](const QString &text) { return text == "Euler"; }));

    // Gone with the next entry shown any other way, and when the search text changes.
    ClickCommand(QStringLiteral("abs"));
    EXPECT_TRUE(Marked().isEmpty());
    TypeSearchText(QStringLiteral("Absolute"));
    ClickAndCollectMessages(FindButton());
    EXPECT_FALSE(Marked().isEmpty());
    QTest::keyClick(&SearchText(), Qt::Key_S);
    EXPECT_TRUE(Marked().isEmpty());
}

// The marks stand where the entry's own text holds what was found, past the line breaks the entry shows as one
// character each, and never in the program's headings.
TEST_F(SampleReading, FindMarksTheEntrysTextNotItsHeadings)
{
    TypeSearchText(QStringLiteral("Par"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("partfrac"));
    EXPECT_EQ(Marked(), QStringList{QStringLiteral("Par")});
    EXPECT_EQ(Entry().textCursor().position(), 0);

    TypeSearchText(QStringLiteral("1), x)"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("partfrac"));
    EXPECT_EQ(Marked(), QStringList{QStringLiteral("1), x)")});
    EXPECT_EQ(Entry().textCursor().position(), Entry().toPlainText().indexOf(QStringLiteral("1), x)")));
}

// Text that an entry holds only in the name of a related command is found there: Also See shows that name marked, in
// place of how many it offers, and says so to a screen reader, until another entry shows or the search text changes.
TEST_F(SampleReading, FindMarksTheRelatedCommandThatHoldsTheText)
{
    auto &seeAlso = Control<platform::qt::SeeAlsoComboBox>("IDC_SEE_ALSO");
    TypeSearchText(QStringLiteral("matrix"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("cross")); // "-> matrix", its text does not hold it
    EXPECT_TRUE(Marked().isEmpty());
    EXPECT_EQ(seeAlso.currentIndex(), -1);
    EXPECT_EQ(seeAlso.FoundName(), QStringLiteral("matrix"));
    const int matrix = seeAlso.findText(QStringLiteral("matrix"));
    ASSERT_GE(matrix, 0);
    EXPECT_TRUE(seeAlso.itemData(matrix, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(seeAlso.itemData(1 - matrix, Qt::BackgroundRole).isValid()); // dot
    EXPECT_EQ(seeAlso.accessibleDescription(), QStringLiteral("Also See, 2 related, found in matrix"));

    ClickAndCollectMessages(FindButton()); // det: its description holds it
    ASSERT_EQ(SelectedCommand(), QStringLiteral("det"));
    EXPECT_EQ(Marked().value(0), QStringLiteral("matrix"));
    EXPECT_EQ(seeAlso.FoundName(), QStringLiteral("matrix")); // "-> matrix" too
    QTest::keyClick(&SearchText(), Qt::Key_S);
    EXPECT_EQ(seeAlso.FoundName(), QString());
    EXPECT_FALSE(seeAlso.itemData(seeAlso.findText(QStringLiteral("matrix")), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(seeAlso.accessibleDescription().contains(QStringLiteral("found")));

    TypeSearchText(QStringLiteral("matrix"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("cross"));
    ClickCommand(QStringLiteral("det"));
    EXPECT_EQ(seeAlso.FoundName(), QString());
}

TEST_F(SampleReading, BackAndForwardThroughListSeeAlsoAndFind)
{
    EXPECT_FALSE(Dialog().BackAction().isEnabled());
    ClickCommand(QStringLiteral("abs"));
    ClickCommand(QStringLiteral("gcd"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down); // to factor
    ASSERT_EQ(SelectedCommand(), QStringLiteral("factor"));
    TypeSearchText(QStringLiteral("Euler"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    const QString gammaEntry = EntryBox().toPlainText();

    QTest::keyClick(&List(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("factor"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Splits a polynomial")));
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("abs"));
    EXPECT_FALSE(Dialog().BackAction().isEnabled());
    Dialog().GoBack(); // past the start: nothing changes
    EXPECT_EQ(SelectedCommand(), QStringLiteral("abs"));

    QTest::keyClick(&EntryBox(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    Dialog().GoForward();
    Dialog().GoForward();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_EQ(EntryBox().toPlainText(), gammaEntry);
    EXPECT_FALSE(Dialog().ForwardAction().isEnabled());
    Dialog().GoForward(); // past the end
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));

    // A new entry after going back drops what lay ahead.
    Dialog().GoBack();
    Dialog().GoBack();
    ClickCommand(QStringLiteral("lcm"));
    EXPECT_FALSE(Dialog().ForwardAction().isEnabled());
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
}

// Back and Forward scroll each entry as far as the user had scrolled it; a new visit starts at the top.
TEST_F(SampleReading, BackAndForwardScrollEachEntryAsFarAsItWas)
{
    std::vector<std::string> lines;
    lines.reserve(40);
    for (int line = 0; line < 40; ++line) {
        lines.push_back("f(" + std::to_string(line) + ")");
    }
    OpenWindowOnBytes(SimpleEntry("first", "one", {}, lines) + SimpleEntry("second", "two", {}, lines));
    ClickCommand(QStringLiteral("first"));
    QScrollBar &scroll = *EntryBox().verticalScrollBar();
    const int half = scroll.maximum() / 2;
    const int third = scroll.maximum() / 3;
    ASSERT_GT(third, 0);
    scroll.setValue(half);
    ClickCommand(QStringLiteral("second"));
    EXPECT_EQ(scroll.value(), 0);
    scroll.setValue(third);
    Dialog().GoBack();
    ASSERT_EQ(SelectedCommand(), QStringLiteral("first"));
    EXPECT_EQ(scroll.value(), half);
    Dialog().GoForward();
    ASSERT_EQ(SelectedCommand(), QStringLiteral("second"));
    EXPECT_EQ(scroll.value(), third);
    ClickCommand(QStringLiteral("first"));
    EXPECT_EQ(scroll.value(), 0);

    // Reached with a key and scrolled before the user settled on it (here by leaving the list).
    List().setFocus();
    QTest::keyClick(&List(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("second"));
    scroll.setValue(third);
    EntryBox().setFocus();
    Dialog().GoBack();
    Dialog().GoForward();
    ASSERT_EQ(SelectedCommand(), QStringLiteral("second"));
    EXPECT_EQ(scroll.value(), third);
}

TEST_F(SampleReading, MouseButtonsAndTheContextMenuGoBackAndForward)
{
    ClickCommand(QStringLiteral("abs"));
    ClickCommand(QStringLiteral("gcd"));
    QTest::mouseClick(EntryBox().viewport(), Qt::BackButton);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("abs"));
    QTest::mouseClick(List().viewport(), Qt::ForwardButton);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));

    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator()) {
                offered << action->text() + (action->isEnabled() ? "" : " (off)");
            }
        }
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("Back")) {
                menu->close();
                action->trigger();
            }
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), EntryBox().viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(EntryBox().viewport(), &event);
    EXPECT_TRUE(offered.contains(QStringLiteral("Back")));
    EXPECT_TRUE(offered.contains(QStringLiteral("Forward (off)")));
    EXPECT_TRUE(offered.contains(QStringLiteral("&Copy\tCtrl+C")) || offered.join(' ').contains("Copy"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("abs"));
}

// Entries are told apart by their place in the file: two commands of one name are two entries.
TEST_F(WindowTest, HistoryTellsApartEntriesOfTheSameName)
{
    OpenWindowOnBytes(SimpleEntry("zeta", "the first zeta") + SimpleEntry("alpha", "alpha") +
                      SimpleEntry("zeta", "the second zeta"));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, List().visualRect(List().model()->index(2, 0)).center());
    ASSERT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("the second zeta")));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, List().visualRect(List().model()->index(1, 0)).center());
    ASSERT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("the first zeta")));
    Dialog().GoBack();
    EXPECT_EQ(List().GetCurSel(), 2);
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("the second zeta")));
}

TEST_F(SampleReading, ZoomInStepsBetweenHalfAndFourTimes)
{
    const qreal normal = List().font().pointSizeF();
    const QSize window = Dialog().size();
    QTest::keyClick(&List(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(List().font().pointSizeF(), normal);
    EXPECT_EQ(EntryBox().font().pointSizeF(), List().font().pointSizeF());
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(&EntryBox(), Qt::Key_Equal, Qt::ControlModifier);
    }
    EXPECT_DOUBLE_EQ(Dialog().ZoomFactor(), 4.0);
    EXPECT_NEAR(List().font().pointSizeF(), 4 * normal, 0.01);
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(&SearchText(), Qt::Key_Minus, Qt::ControlModifier);
    }
    EXPECT_DOUBLE_EQ(Dialog().ZoomFactor(), 0.5);
    EXPECT_NEAR(EntryBox().font().pointSizeF(), normal / 2, 0.01);
    EXPECT_EQ(SearchText().font().pointSizeF(), normal); // the other controls keep their size
    QTest::keyClick(&List(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(List().font().pointSizeF(), normal);

    // Ctrl+wheel over either text.
    QWheelEvent wheel(QPointF(5, 5), List().viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(List().viewport(), &wheel);
    EXPECT_DOUBLE_EQ(Dialog().ZoomFactor(), 1.25);
    EXPECT_EQ(Dialog().size(), window); // the window and its proportions stay
}

// The wheel turned over Also See (the pointer passing over it as the user scrolls) neither chooses a related command
// nor takes the focus: the entry stays the one the user was reading.
TEST_F(SampleReading, WheelOverAlsoSeeKeepsTheEntry)
{
    ClickCommand(QStringLiteral("ceil"));
    List().setFocus();
    for (const int delta : {-120, 120, -120}) {
        QWheelEvent wheel(QPointF(5, 5), SeeAlso().mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&SeeAlso(), &wheel);
    }
    EXPECT_EQ(SelectedCommand(), QStringLiteral("ceil"));
    EXPECT_EQ(SeeAlso().currentIndex(), -1);
    EXPECT_TRUE(List().hasFocus());
}

TEST_F(SampleReading, FocusStaysOnAlsoSeeWhenItsListIsRefilled)
{
    ClickCommand(QStringLiteral("gcd"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("factor"));
    EXPECT_TRUE(SeeAlso().hasFocus());
    QTest::keyClick(&SeeAlso(), Qt::Key_Down); // the next arrow works too
    EXPECT_EQ(SelectedCommand(), QStringLiteral("expand"));
    EXPECT_TRUE(SeeAlso().hasFocus());
    // Back and Forward refill the list alike.
    QTest::keyClick(&SeeAlso(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("factor"));
    EXPECT_TRUE(SeeAlso().hasFocus());
    QTest::keyClick(&SeeAlso(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("expand"));
    EXPECT_TRUE(SeeAlso().hasFocus());

    // By mouse: the list dropped down, a name clicked.
    ClickCommand(QStringLiteral("gcd"));
    ChooseDroppedSeeAlso(1);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("lcm"));
    EXPECT_TRUE(SeeAlso().hasFocus());
}

TEST_F(SampleReading, CopyPutsPlainTextOnly)
{
    ClickCommand(QStringLiteral("gcd"));
    EntryBox().selectAll();
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), EntryBox().toPlainText());
    QTest::keyClick(&EntryBox(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
}

TEST_F(SampleReading, SearchCompletedBoxShowsItsTitleWhole)
{
    TypeSearchText(QStringLiteral("no such text anywhere"));
    int width = 0;
    int needed = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        needed = box->fontMetrics().horizontalAdvance(QStringLiteral("Korva Command Reference"));
        box->accept();
    });
    QTest::mouseClick(&FindButton(), Qt::LeftButton);
    EXPECT_GT(width, needed + 3 * QFontMetrics(QApplication::font()).height());
}

TEST_F(SampleReading, CtrlClickOnTheSelectedCommandKeepsIt)
{
    ClickCommand(QStringLiteral("gcd"));
    const QRect place = List().visualRect(List().currentIndex());
    QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::ControlModifier, place.center());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    EXPECT_FALSE(EntryBox().toPlainText().isEmpty());
}

TEST_F(WindowTest, ScrollBarsStayAndWorkOnlyWhenThereIsSomethingToScroll)
{
    OpenWindowOnBytes(SimpleEntry("alpha", "short") + SimpleEntry("beta", std::string(900, 'w') + " long"));
    QScrollBar &listBar = *List().verticalScrollBar();
    QScrollBar &entryBar = *EntryBox().verticalScrollBar();
    EXPECT_TRUE(listBar.isVisible());
    EXPECT_FALSE(listBar.isEnabled()); // two commands: nothing to scroll
    ClickCommand(QStringLiteral("alpha"));
    EXPECT_TRUE(entryBar.isVisible());
    EXPECT_FALSE(entryBar.isEnabled());
    Dialog().resize(Dialog().minimumSizeHint());
    ClickCommand(QStringLiteral("beta"));
    QApplication::processEvents();
    EXPECT_TRUE(entryBar.isEnabled());
}

// In a window just opened, nothing is selected; the keys act as if the caret rested on the first command.
class FreshWindowKey : public WindowTest, public ::testing::WithParamInterface<std::pair<int, const char *>>
{};

TEST_P(FreshWindowKey, SelectsWhatItWouldFromTheTop)
{
    OpenWindow(KORVA_SAMPLE_DATA);
    const auto [key, expected] = GetParam();
    QTest::keyClick(&List(), static_cast<Qt::Key>(key));
    if (std::string(expected) == "a page below the first") {
        EXPECT_GT(List().GetCurSel(), 1);
        EXPECT_LT(List().GetCurSel(), List().GetCount() - 1);
    } else {
        EXPECT_EQ(SelectedCommand(), QString::fromLatin1(expected));
    }
    EXPECT_FALSE(EntryBox().toPlainText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Window, FreshWindowKey,
                         ::testing::Values(std::pair{int(Qt::Key_Down), "abs"}, std::pair{int(Qt::Key_Up), "abs"},
                                           std::pair{int(Qt::Key_Home), "abs"}, std::pair{int(Qt::Key_End), "zeta"},
                                           std::pair{int(Qt::Key_PageDown), "a page below the first"}),
                         [](const auto &info) {
                             switch (info.param.first) {
                             case Qt::Key_Down:
                                 return std::string("Down");
                             case Qt::Key_Up:
                                 return std::string("Up");
                             case Qt::Key_Home:
                                 return std::string("Home");
                             case Qt::Key_End:
                                 return std::string("End");
                             default:
                                 return std::string("PageDown");
                             }
                         });

} // namespace
} // namespace korva::app::testing
