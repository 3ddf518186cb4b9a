// SPDX-License-Identifier: MIT
#include "app/resource_ids.h"
#include "platform/code_page.h"
#include "test_support/test_support.h"
#include "window_fixture.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QShortcut>

namespace korva::app::testing {
namespace {

// The sample's command names in the list's order: case ignored, equal names in file order.
QStringList SampleNamesSorted()
{
    std::istringstream lines(korva::testing::ReadFileBytes(KORVA_SAMPLE_DATA));
    std::vector<std::u16string> names;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("# ", 0) == 0) {
            names.emplace_back(line.begin() + 2, line.end());
        }
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const auto &a, const auto &b) { return platform::CompareFolded(a, b) < 0; });
    QStringList sorted;
    for (const auto &name : names) {
        sorted << QString::fromStdU16String(name);
    }
    return sorted;
}

class SampleWindow : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        OpenWindow(KORVA_SAMPLE_DATA);
    }
};

TEST_F(SampleWindow, TitleAndEveryCommandInSortedOrder)
{
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Korva Command Reference"));
    const QStringList expected = SampleNamesSorted();
    EXPECT_GE(expected.size(), 60);
    EXPECT_EQ(ListTexts(), expected);
}

TEST_F(SampleWindow, OpensWithNothingSelectedAndTheListFocused)
{
    EXPECT_TRUE(List().hasFocus());
    EXPECT_EQ(List().GetCurSel(), -1);
    EXPECT_FALSE(List().selectionModel()->currentIndex().isValid());
    EXPECT_TRUE(EntryBox().toPlainText().isEmpty());
    EXPECT_EQ(SeeAlso().count(), 0);
    EXPECT_TRUE(SeeAlso().isEnabled());
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find"));
    EXPECT_EQ(CopyButton().text(), QStringLiteral("Copy"));
    // How to begin, as a hint only: the entry's text, which Copy and a screen reader take, stays empty. The hint goes
    // with the first command shown, and does not come back.
    EXPECT_FALSE(EntryBox().placeholderText().isEmpty());
    EXPECT_EQ(SearchText().placeholderText(), QStringLiteral("Search commands"));
    QTest::keyClick(&List(), Qt::Key_Down);
    EXPECT_FALSE(EntryBox().toPlainText().isEmpty());
    EXPECT_TRUE(EntryBox().placeholderText().isEmpty());
}

// Only the user's actions notify: whatever the program does to a control, itself or through the engine, no handler
// hears of it.
TEST_F(SampleWindow, ProgramMadeChangesReachNoHandler)
{
    int notifications = 0;
    const auto count = [&notifications] { ++notifications; };
    QObject::connect(&List(), &platform::qt::CommandListView::notify, count);
    QObject::connect(&Control<platform::qt::SeeAlsoComboBox>("IDC_SEE_ALSO"), &platform::qt::SeeAlsoComboBox::notify,
                     count);
    QObject::connect(&Control<platform::qt::SearchTextEdit>("IDC_SEARCH_TEXT"), &platform::qt::SearchTextEdit::notify,
                     count);
    for (const char *button : {"IDC_COPY", "IDC_FIND"}) {
        QObject::connect(&Control<platform::qt::DialogButton>(button), &platform::qt::DialogButton::notify, count);
    }

    // Every change the engine makes through the platform.
    platform::qt::QtWindow window(Dialog());
    for (const int id : {IDC_SEARCH_TEXT, IDC_ENTRY_TEXT, IDC_FIND, IDC_COPY}) {
        window.SetControlText(id, u"set by the program");
    }
    window.ListBoxById(IDC_COMMAND_LIST).SetCurSel(3);
    window.ComboBoxById(IDC_SEE_ALSO).AddString(u"added");
    window.ComboBoxById(IDC_SEE_ALSO).AddString(u"and another");
    window.ComboBoxById(IDC_SEE_ALSO).ResetContent();
    window.EnableControl(IDC_SEE_ALSO, false);
    window.EnableControl(IDC_SEE_ALSO, true);
    // And what the window does of its own: lookups handed over, back and forward, zoom.
    Dialog().ShowCommand(QStringLiteral("gcd"));
    Dialog().ShowCommand(QStringLiteral("no such command"));
    Dialog().ShowCommand(QStringLiteral("lcm"));
    Dialog().GoBack();
    Dialog().GoForward();
    Dialog().Zoom(2);
    EXPECT_EQ(notifications, 0);

    QTest::keyClick(&SearchText(), Qt::Key_A); // the user's edit notifies
    EXPECT_EQ(notifications, 1);
}

// A lookup handed over while "Search completed" waits for its OK brings the window to the front with the box in front
// of it: the window takes no key until the box is closed, so a box behind it would leave it frozen to the user.
TEST_F(SampleWindow, LookupHandedOverKeepsTheWaitingMessageBoxInFront)
{
    Dialog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog()));
    TypeSearchText(QStringLiteral("no entry holds this"));
    QString inFront; // the text of the message box active after the lookup
    QTimer lookup;
    QObject::connect(&lookup, &QTimer::timeout, &Dialog(), [this, &inFront, &lookup] {
        QWidget *box = QApplication::activeModalWidget();
        if (box == nullptr || box == &Dialog()) {
            return;
        }
        lookup.stop();
        Dialog().ShowCommand(QStringLiteral("gcd"));
        Dialog().BringToFront();
        QApplication::processEvents();
        if (auto *active = qobject_cast<QMessageBox *>(QApplication::activeWindow())) {
            inFront = active->text();
        }
        QTest::keyClick(box, Qt::Key_Enter);
    });
    lookup.start(10);
    QTest::mouseClick(&FindButton(), Qt::LeftButton);
    lookup.stop();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    EXPECT_EQ(inFront, QStringLiteral("Search completed"));
}

TEST_F(SampleWindow, NeitherButtonIsTheDefaultAndTheEntryTextCanBeEdited)
{
    EXPECT_FALSE(FindButton().isDefault());
    EXPECT_FALSE(CopyButton().isDefault());
    EXPECT_FALSE(EntryBox().isReadOnly());
    EXPECT_FALSE(SeeAlso().isEditable());
}

TEST_F(SampleWindow, TabOrderRunsFromTheListToTheSearchText)
{
    const std::vector<QWidget *> order = {&List(),       &EntryBox(),   &SeeAlso(),
                                          &CopyButton(), &FindButton(), &SearchText()};
    SeeAlso().setEnabled(true);
    for (std::size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << i;
    }
}

TEST_F(SampleWindow, IconHasItsSmallAndLargeSizes)
{
    const QIcon icon = Dialog().windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 32, 48, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
}

TEST_F(SampleWindow, ClickingACommandShowsItsEntry)
{
    ClickCommand(QStringLiteral("gcd"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    EXPECT_EQ(EntryBox().toPlainText(),
              QStringLiteral("Greatest common divisor of integers or of polynomials; for polynomials the result is "
                             "monic.\n\nParams:gcd(a, b, ...)\n\nExamples:\ngcd(12, 18)  \u00bb 6\n"
                             "gcd(x^2 - 1, x^2 + 2*x + 1)  \u00bb x + 1\n"));
    EXPECT_EQ(SeeAlso().count(), 2);
    EXPECT_EQ(SeeAlso().itemText(0), QStringLiteral("factor"));
    EXPECT_EQ(SeeAlso().itemText(1), QStringLiteral("lcm"));
    EXPECT_EQ(SeeAlso().currentIndex(), -1);
    EXPECT_TRUE(SeeAlso().isEnabled());
}

TEST_F(SampleWindow, FirstDownArrowSelectsTheFirstCommandAndTypeAheadFindsOne)
{
    QTest::keyClick(&List(), Qt::Key_Down);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("abs"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Absolute value")));
    QTest::keyClicks(&List(), QStringLiteral("tay"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("taylor"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Taylor polynomial")));
}

TEST_F(SampleWindow, ChoosingASeeAlsoNameShowsThatCommand)
{
    ClickCommand(QStringLiteral("gcd"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down); // the closed list moves to its first name, "factor"
    EXPECT_EQ(SelectedCommand(), QStringLiteral("factor"));
    EXPECT_TRUE(List().visualRect(List().currentIndex()).intersects(List().viewport()->rect()));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Splits a polynomial")));
    EXPECT_EQ(SeeAlso().currentIndex(), -1);
    QStringList names;
    for (int i = 0; i < SeeAlso().count(); ++i) {
        names << SeeAlso().itemText(i);
    }
    EXPECT_EQ(names, (QStringList{"expand", "gcd", "ifactor", "roots"}));
}

TEST_F(SampleWindow, CopyPutsTheSelectionOnTheClipboardAndNothingWithoutOne)
{
    ClickCommand(QStringLiteral("lcm"));
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("held before"));
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), QStringLiteral("held before"));

    QTextCursor cursor = EntryBox().textCursor();
    cursor.setPosition(0);
    cursor.setPosition(42, QTextCursor::KeepAnchor); // across the blank line before "Params:"
    EntryBox().setTextCursor(cursor);
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), QStringLiteral("Least common multiple of integers or of po"));
    cursor.setPosition(30);
    cursor.setPosition(62, QTextCursor::KeepAnchor);
    EntryBox().setTextCursor(cursor);
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), QStringLiteral("ers or of polynomials.\n\nParams:l"));
}

TEST_F(SampleWindow, EditsAreGoneAtTheNextSelection)
{
    ClickCommand(QStringLiteral("lcm"));
    const QString shown = EntryBox().toPlainText();
    EntryBox().setFocus();
    QTest::keyClicks(&EntryBox(), QStringLiteral("my note"));
    EXPECT_NE(EntryBox().toPlainText(), shown);
    ClickCommand(QStringLiteral("gcd"));
    ClickCommand(QStringLiteral("lcm"));
    EXPECT_EQ(EntryBox().toPlainText(), shown);
}

TEST_F(SampleWindow, FindReportsEntriesThenSearchCompleted)
{
    SearchText().setFocus();
    QTest::keyClicks(&SearchText(), QStringLiteral("Euler"));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(FindButton().text(), QStringLiteral("Next"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_TRUE(EntryBox().toPlainText().contains(QStringLiteral("Euler")));

    QStringList reported{SelectedCommand()};
    for (int tap = 0; tap < 10; ++tap) {
        const QStringList messages = ClickAndCollectMessages(FindButton());
        if (!messages.isEmpty()) {
            EXPECT_EQ(messages, QStringList{QStringLiteral("Search completed")});
            break;
        }
        reported << SelectedCommand();
    }
    // In file order: Gamma's description names Euler, then gamma's (the Euler-Mascheroni constant), then totient's.
    // Each is shown as the entry that holds the text: gamma's by its own item, not by Gamma, which stands higher.
    EXPECT_EQ(reported, (QStringList{"Gamma", "gamma", "totient"}));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find"));
}

TEST_F(SampleWindow, TypingDuringAPassResetsTheCaption)
{
    SearchText().setFocus();
    QTest::keyClicks(&SearchText(), QStringLiteral("matrix"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(FindButton().text(), QStringLiteral("Next"));
    const QString first = SelectedCommand();
    ClickAndCollectMessages(FindButton());
    QTest::keyClick(&SearchText(), Qt::Key_Backspace);
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find"));
    ClickAndCollectMessages(FindButton());
    EXPECT_EQ(SelectedCommand(), first);
}

TEST_F(SampleWindow, CtrlFGoesToTheSearchTextAndF3TapsFind)
{
    QTest::keyClick(&List(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(SearchText().hasFocus());
    QTest::keyClicks(&SearchText(), QStringLiteral("Euler"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Next"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gamma")); // gamma's entry, shown as its own command
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("totient"));
}

// The window closes with Ctrl+W and Ctrl+Q, as a desktop window does (and with its close button and Alt+F4, which the
// desktop sends as a close).
TEST_F(SampleWindow, CtrlWAndCtrlQCloseTheWindow)
{
    for (const Qt::Key key : {Qt::Key_W, Qt::Key_Q}) {
        OpenWindow(KORVA_SAMPLE_DATA);
        QTest::keyClick(&List(), key, Qt::ControlModifier);
        EXPECT_FALSE(Dialog().isVisible()) << key;
        // From the entry too, where Enter in the list leads.
        OpenWindow(KORVA_SAMPLE_DATA);
        QTest::keyClick(&List(), Qt::Key_Down);
        QTest::keyClick(&List(), Qt::Key_Return);
        ASSERT_TRUE(EntryBox().hasFocus());
        QTest::keyClick(&EntryBox(), key, Qt::ControlModifier);
        EXPECT_FALSE(Dialog().isVisible()) << key;
    }
    // No key is two shortcuts' (the desktop's own Close and Quit may hold these keys): Qt runs neither of them then.
    OpenWindow(KORVA_SAMPLE_DATA);
    QList<QKeySequence> taken;
    for (const QShortcut *shortcut : Dialog().findChildren<QShortcut *>()) {
        for (const QKeySequence &keys : shortcut->keys()) {
            EXPECT_FALSE(taken.contains(keys)) << keys.toString().toStdString();
            taken.append(keys);
        }
    }
}

// Enter does what the control with the focus does: Find in the search text, on to the entry in the command list (the
// entry on show kept), a line break in the entry, which the user may edit for the moment.
TEST_F(SampleWindow, EnterDoesWhatTheFocusedControlDoes)
{
    TypeSearchText(QStringLiteral("Euler"));
    QTest::keyClick(&SearchText(), Qt::Key_Escape); // the results closed
    QTest::keyClick(&SearchText(), Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Next"));

    ClickCommand(QStringLiteral("gcd"));
    const QString entry = EntryBox().toPlainText();
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_TRUE(EntryBox().hasFocus());
    EXPECT_EQ(EntryBox().toPlainText(), entry);
    QTest::keyClick(&EntryBox(), Qt::Key_Return);
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("\n") + entry); // the caret stood at the start
}

TEST_F(SampleWindow, EnterOnAFocusedButtonClicksIt)
{
    TypeSearchText(QStringLiteral("Euler"));
    FindButton().setFocus();
    QTest::keyClick(&FindButton(), Qt::Key_Return);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
}

// A key typed dozens of times a day never ends the program: Enter and Escape leave the window open wherever the focus
// is, with the command on show.
class KeysThatNeverClose : public WindowTest, public ::testing::WithParamInterface<std::pair<const char *, int>>
{};

TEST_P(KeysThatNeverClose, LeaveTheWindowOpen)
{
    OpenWindow(KORVA_SAMPLE_DATA);
    ClickCommand(QStringLiteral("gcd"));
    const auto [focus, key] = GetParam();
    QWidget &target = Control<QWidget>(focus);
    target.setFocus();
    QTest::keyClick(&target, static_cast<Qt::Key>(key));
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key)); // and once more, wherever it went
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
}

INSTANTIATE_TEST_SUITE_P(
    Window, KeysThatNeverClose,
    ::testing::Values(std::pair{"IDC_COMMAND_LIST", Qt::Key_Escape}, std::pair{"IDC_COMMAND_LIST", Qt::Key_Return},
                      std::pair{"IDC_SEARCH_TEXT", Qt::Key_Return}, std::pair{"IDC_SEARCH_TEXT", Qt::Key_Enter},
                      std::pair{"IDC_SEARCH_TEXT", Qt::Key_Escape}, std::pair{"IDC_ENTRY_TEXT", Qt::Key_Return},
                      std::pair{"IDC_ENTRY_TEXT", Qt::Key_Escape}, std::pair{"IDC_SEE_ALSO", Qt::Key_Escape},
                      std::pair{"IDC_SEE_ALSO", Qt::Key_Return}),
    [](const auto &info) {
        const char *key = info.param.second == Qt::Key_Escape  ? "Escape"
                          : info.param.second == Qt::Key_Enter ? "KeypadEnter"
                                                               : "Return";
        return std::string(info.param.first + 4) + "_" + key; // without "IDC_"
    });

// A long list's view first hears of the rows a screen shows, so that its first frame lays out no more; every way of
// reaching a row past them (the program's selection, End, a page or a step down, typing a name) reaches it, and the
// rest come once the list has painted.
TEST(LongList, RowsPastTheFirstScreensAreReachedEveryWay)
{
    constexpr int kCount = 3000;
    const auto longList = [] {
        platform::SortedList items;
        for (int i = 0; i < kCount; ++i) {
            const std::string name = "c" + std::to_string(10000 + i);
            items.Add(std::u16string(name.begin(), name.end()), static_cast<std::uint32_t>(i + 1));
        }
        return items;
    };
    const std::vector<std::pair<const char *, std::function<void(platform::qt::CommandListView &)>>> ways = {
        {"selected by the program", [](auto &list) { list.SetCurSel(2500); }},
        {"End", [](auto &list) { QTest::keyClick(&list, Qt::Key_End); }},
        {"typed", [](auto &list) { list.keyboardSearch(QStringLiteral("c12500")); }},
        {"a step down from the last row told",
         [](auto &list) {
             list.SetCurSel(list.model()->rowCount() - 1);
             QTest::keyClick(&list, Qt::Key_Down);
         }},
    };
    for (const auto &[way, reach] : ways) {
        SCOPED_TRACE(way);
        platform::qt::CommandListView list;
        list.AdoptItems(longList());
        EXPECT_LT(list.model()->rowCount(), kCount);
        EXPECT_EQ(list.GetCount(), kCount);
        reach(list);
        EXPECT_EQ(list.model()->rowCount(), kCount);
        EXPECT_GE(list.GetCurSel(), 1024);
        EXPECT_EQ(list.currentIndex().row(), list.GetCurSel());
    }
    platform::qt::CommandListView painted;
    painted.AdoptItems(longList());
    painted.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return painted.model()->rowCount() == kCount; }, 5000));
    EXPECT_EQ(painted.GetCurSel(), platform::kNoItem); // nothing selected on the way
}

class SmallFileWindow : public WindowTest
{};

TEST_F(SmallFileWindow, EmptyDataFileOpensWithAnEmptyList)
{
    OpenWindowOnBytes("");
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(List().model()->rowCount(), 0);
    TypeSearchText(QStringLiteral("x"));
    EXPECT_EQ(ClickAndCollectMessages(FindButton()), QStringList{QStringLiteral("Search completed")});
}

TEST_F(SmallFileWindow, RefilledSeeAlsoListRunsNoHandler)
{
    OpenWindowOnBytes(SimpleEntry("alpha", "first", {"beta", "gamma"}) + SimpleEntry("beta", "second", {"alpha"}) +
                      SimpleEntry("gamma", "third"));
    // Every notification the see-also list raises would run its handler.
    int notifications = 0;
    QObject::connect(&Control<platform::qt::SeeAlsoComboBox>("IDC_SEE_ALSO"), &platform::qt::SeeAlsoComboBox::notify,
                     [&notifications] { ++notifications; });
    ClickCommand(QStringLiteral("alpha"));
    ASSERT_EQ(SeeAlso().count(), 2);
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(SeeAlso().currentIndex(), -1);
    // The user's choice notifies once, and its refill none.
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_EQ(SeeAlso().count(), 1);
}

// A jump to a command without related ones leaves the see-also list empty and disabled: the keys go on in the command
// list, which shows the command on show, by key and by mouse alike.
TEST_F(SmallFileWindow, SeeAlsoListLeftEmptyGivesTheKeysToTheCommandList)
{
    OpenWindowOnBytes(SimpleEntry("alpha", "first", {"beta", "gamma"}) + SimpleEntry("beta", "second") +
                      SimpleEntry("gamma", "third", {"alpha"}));
    ClickCommand(QStringLiteral("alpha"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_FALSE(SeeAlso().isEnabled());
    EXPECT_TRUE(List().hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gamma"));

    ClickCommand(QStringLiteral("alpha"));
    ChooseDroppedSeeAlso(0);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_TRUE(List().hasFocus());
}

TEST_F(SmallFileWindow, ListAndEntryTakeTheGrowth)
{
    OpenWindowOnBytes(SimpleEntry("alpha", "first"));
    const QSize list = List().size();
    const QSize entry = EntryBox().size();
    const QSize search = SearchText().size();
    Dialog().resize(Dialog().size() + QSize(200, 300));
    QApplication::processEvents();
    EXPECT_GT(List().height(), list.height() + 100);
    EXPECT_GT(EntryBox().height(), entry.height() + 100);
    EXPECT_GT(List().width(), list.width() + 150);
    EXPECT_EQ(SearchText().height(), search.height());
}

// The layout follows the primary screen's height; CTest runs this under screens of 240, 293, 294 and 800 pixels.
class Layout : public WindowTest
{};

TEST_F(Layout, FollowsTheScreensHeight)
{
    const int height = QGuiApplication::primaryScreen()->geometry().height();
    const bool compact = height < 294;
    EXPECT_EQ(CReferenceDlg::IsCompactScreen(), compact) << height;
    OpenWindow(KORVA_SAMPLE_DATA);
    EXPECT_EQ(Dialog().TemplateId(), compact ? IDD_REFERENCE_WIDE : IDD_REFERENCE);

    QList<QLabel *> labels = Dialog().findChildren<QLabel *>();
    labels.removeAll(&Dialog().Results().CountLine()); // the results', shown only with them
    const auto top = [](QWidget &widget) { return widget.mapTo(widget.window(), QPoint(0, 0)).y(); };
    const auto left = [](QWidget &widget) { return widget.mapTo(widget.window(), QPoint(0, 0)).x(); };
    if (compact) {
        EXPECT_TRUE(labels.isEmpty());
        // One row on top: Find, search text, see-also list, Copy; then the list, then the entry text.
        EXPECT_LT(left(FindButton()), left(SearchText()));
        EXPECT_LT(left(SearchText()), left(SeeAlso()));
        EXPECT_LT(left(SeeAlso()), left(CopyButton()));
        EXPECT_LT(top(CopyButton()), top(List()));
        // The row keeps its proportions, Find 26 : search text 56 : Also See 51 : Copy 26, the buttons as narrow as
        // their text allows.
        const double unit = (FindButton().width() + SearchText().width() + SeeAlso().width() + CopyButton().width()) /
                            (26.0 + 56 + 51 + 26);
        EXPECT_NEAR(SearchText().width() / unit, 56, 8);
        EXPECT_NEAR(SeeAlso().width() / unit, 51, 8);
        EXPECT_GT(SearchText().width(), FindButton().width());
        EXPECT_GT(SearchText().width(), CopyButton().width());
    } else {
        ASSERT_EQ(labels.size(), 2);
        for (QLabel *label : labels) {
            if (label->text() == QStringLiteral("Command:")) {
                EXPECT_EQ(label->buddy(), &SearchText());
            } else {
                EXPECT_EQ(label->text(), QStringLiteral("Also See:"));
                EXPECT_EQ(label->buddy(), &SeeAlso());
            }
        }
        // The search row on top, the list and the entry text, the see-also row at the bottom.
        EXPECT_LT(left(SearchText()), left(FindButton()));
        EXPECT_LT(top(FindButton()), top(List()));
        EXPECT_LT(top(List()), top(EntryBox()));
        EXPECT_LT(top(EntryBox()), top(SeeAlso()));
        EXPECT_LT(left(SeeAlso()), left(CopyButton()));
    }
    // The same tab order in both layouts.
    const std::vector<QWidget *> order = {&List(),       &EntryBox(),   &SeeAlso(),
                                          &CopyButton(), &FindButton(), &SearchText()};
    const auto nextTabStop = [](QWidget *widget) {
        do {
            widget = widget->nextInFocusChain();
        } while ((widget->focusPolicy() & Qt::TabFocus) == 0 || !widget->isVisible());
        return widget;
    };
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << i;
    }

    // What a screen reader is told of each control, in both layouts.
    const auto told = [](QWidget &widget) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&widget);
        return accessible == nullptr
                   ? QStringList()
                   : QStringList{accessible->text(QAccessible::Name), accessible->text(QAccessible::Description),
                                 QString::number(accessible->role())};
    };
    const QString none;
    EXPECT_EQ(told(List()), (QStringList{"Commands", none, QString::number(QAccessible::List)}));
    EXPECT_EQ(told(EntryBox()), (QStringList{"Entry", none, QString::number(QAccessible::EditableText)}));
    EXPECT_EQ(told(SeeAlso()), (QStringList{"Also See", "Also See", QString::number(QAccessible::ComboBox)}));
    EXPECT_EQ(told(CopyButton()), (QStringList{"Copy", none, QString::number(QAccessible::Button)}));
    EXPECT_EQ(told(FindButton()), (QStringList{"Find", none, QString::number(QAccessible::Button)}));
    // The search text's hint, which a screen reader hears after its name.
    EXPECT_EQ(told(SearchText()),
              (QStringList{"Command", "Search commands", QString::number(QAccessible::EditableText)}));

    // Wholly on the screen, frame and title bar included, and centred on it.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(available.contains(Dialog().frameGeometry()))
        << Dialog().frameGeometry().width() << "x" << Dialog().frameGeometry().height() << " on " << available.width()
        << "x" << available.height();
    EXPECT_NEAR(Dialog().frameGeometry().center().x(), available.center().x(), 2);

    // The results of a word typed: their count right under the search text, then the rows, inside the window and so
    // inside the screen, and at least one row whole.
    TypeSearchText(QStringLiteral("coefficient"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialog().Results().Searching(); }, 5000));
    const ResultsPanel &results = Dialog().Results();
    ASSERT_TRUE(results.IsOpen());
    EXPECT_EQ(Dialog().Results().CountLine().geometry().top(), top(SearchText()) + SearchText().height());
    EXPECT_EQ(results.geometry().top(), Dialog().Results().CountLine().geometry().bottom() + 1);
    EXPECT_TRUE(Dialog().rect().contains(results.geometry()));
    EXPECT_GE(results.viewport()->height(), results.sizeHintForRow(0));
}

// The text as a control holds it, cut to a buffer: never between the two halves of a surrogate pair.
TEST_F(SampleWindow, ControlTextIsCutBetweenCharacters)
{
    SearchText().setText(QString::fromUtf16(u"abc\U0001D400z"));
    platform::qt::QtWindow window(Dialog());
    std::array<char16_t, 5> buffer{};
    EXPECT_EQ(window.GetControlText(IDC_SEARCH_TEXT, buffer), 3u); // "abc": the pair would not fit whole
    EXPECT_EQ(std::u16string(buffer.data()), u"abc");
    std::array<char16_t, 6> room{};
    EXPECT_EQ(window.GetControlText(IDC_SEARCH_TEXT, room), 5u);
    EXPECT_EQ(std::u16string(room.data()), u"abc\U0001D400");
}

// A CR in the data file is text, not a line end: it breaks no line in the entry, and Copy carries none.
TEST_F(SmallFileWindow, CarriageReturnFromTheDataFileBreaksNoLine)
{
    OpenWindowOnBytes("# alpha\n1 a\n2 one\rtwo\r\n3 c\n0 alpha(x)\r\nalpha(1)\n\n");
    ClickCommand(QStringLiteral("alpha"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("onetwo\n\nParams:alpha(x)\n\nExamples:\nalpha(1)\n"));
    EntryBox().selectAll();
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), EntryBox().toPlainText());
}

// A command named on the command line, or handed over to the open window, shows as the user's click would show it.
class CommandToShow : public WindowTest
{
protected:
    struct Shown
    {
        QString selected;
        QString entry;
        QStringList seeAlso;
        bool operator==(const Shown &) const = default;
    };
    Shown Showing()
    {
        QStringList names;
        for (int i = 0; i < SeeAlso().count(); ++i) {
            names << SeeAlso().itemText(i);
        }
        return {SelectedCommand(), EntryBox().toPlainText(), names};
    }
    // What a click on `name` shows, in a window of its own.
    Shown Clicked(const QString &name)
    {
        OpenWindow(KORVA_SAMPLE_DATA);
        ClickCommand(name);
        Shown shown = Showing();
        dialog_.reset();
        file_.Close();
        return shown;
    }
};

TEST_F(CommandToShow, ExactByPrefixAndInAnotherCaseAsAClickWould)
{
    for (const auto &[command, name] : std::vector<std::pair<QString, QString>>{
             {"gcd", "gcd"}, {"sol", "solve"}, {"GCD", "gcd"}, {"Eigenv", "eigenvals"}}) {
        SCOPED_TRACE(command.toStdString());
        const Shown clicked = Clicked(name);
        OpenWindow(KORVA_SAMPLE_DATA, command);
        EXPECT_EQ(Showing(), clicked);
        EXPECT_FALSE(clicked.entry.isEmpty());
        EXPECT_TRUE(SearchText().text().isEmpty());
        dialog_.reset();
        file_.Close();
    }
}

TEST_F(CommandToShow, NoCommandBeginningWithItLeavesItInTheSearchTextReadyForFind)
{
    OpenWindow(KORVA_SAMPLE_DATA, QStringLiteral("Euler"));
    EXPECT_EQ(List().GetCurSel(), -1);
    EXPECT_TRUE(EntryBox().toPlainText().isEmpty());
    EXPECT_EQ(SearchText().text(), QStringLiteral("Euler"));
    EXPECT_TRUE(SearchText().hasFocus());
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Next"));
}

// A lookup handed to a window in use: it shows the command however the window stood, and a pass under way ends.
TEST_F(CommandToShow, HandedOverToAWindowInUse)
{
    const Shown clicked = Clicked(QStringLiteral("lcm"));
    OpenWindow(KORVA_SAMPLE_DATA);
    ClickCommand(QStringLiteral("abs"));
    Dialog().ShowCommand(QStringLiteral("lcm"));
    EXPECT_EQ(Showing(), clicked);
    Dialog().ShowCommand(QStringLiteral("Euler"));
    EXPECT_EQ(List().GetCurSel(), -1);
    EXPECT_TRUE(EntryBox().toPlainText().isEmpty());
    EXPECT_EQ(SeeAlso().count(), 0);
    EXPECT_EQ(SearchText().text(), QStringLiteral("Euler"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    ASSERT_EQ(FindButton().text(), QStringLiteral("Next"));
    Dialog().ShowCommand(QStringLiteral("Eul")); // again no command: a new search for the new text
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find"));
}

} // namespace
} // namespace korva::app::testing
