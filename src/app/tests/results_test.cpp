// SPDX-License-Identifier: MIT
// The results as the user types: shown under the search text, moved in with the keys, chosen with Enter or a click,
// closed with Escape, and opened by a lookup that no command begins with.
#include "app/results_panel.h"
#include "app/translations.h"
#include "window_fixture.h"

#include <cstdlib>

#include <QAccessible>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QWheelEvent>

namespace korva::app::testing {
namespace {

class SampleResults : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        OpenWindow(KORVA_SAMPLE_DATA);
    }

    ResultsPanel &Results() { return Dialog().Results(); }

    // Types `text` into the search text and waits until its results are all there.
    void TypeAndWait(const QString &text)
    {
        TypeSearchText(text);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
        QCoreApplication::processEvents(); // the rows in view read their descriptions
    }

    // The names of the rows, top to bottom.
    QStringList Rows()
    {
        QStringList rows;
        for (int row = 0; row < Results().model()->rowCount(); ++row) {
            rows << Results().model()->index(row, 0).data().toString();
        }
        return rows;
    }

    QString CurrentRow() { return Results().currentIndex().data().toString(); }
};

TEST_F(SampleResults, TypingShowsRankedResultsRightUnderTheSearchText)
{
    EXPECT_FALSE(Results().IsOpen());
    TypeAndWait(QStringLiteral("coefficient"));
    ASSERT_TRUE(Results().IsOpen());
    EXPECT_EQ(Rows(), (QStringList{"coeff", "binomial", "collect"}));
    // The count right under the search text, the rows right under it, all of them and no empty row after them, and
    // never over the entry.
    const QRect search(SearchText().mapTo(&Dialog(), QPoint(0, 0)), SearchText().size());
    QLabel &count = Results().CountLine();
    EXPECT_TRUE(count.isVisible());
    EXPECT_EQ(count.text(), QStringLiteral("3 results"));
    EXPECT_EQ(count.geometry().top(), search.bottom() + 1);
    const QRect panel = Results().geometry();
    EXPECT_EQ(panel.top(), count.geometry().bottom() + 1);
    EXPECT_TRUE(Dialog().rect().contains(panel));
    EXPECT_EQ(Results().viewport()->height(), 3 * Results().sizeHintForRow(0));
    EXPECT_LE(panel.bottom(), List().mapTo(&Dialog(), QPoint(0, List().height())).y());

    // What a screen reader is told: the list's name, how many results, and each row by its command's name first.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&Results());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Results"));
    EXPECT_EQ(accessible->text(QAccessible::Description), QStringLiteral("3 results"));
    EXPECT_TRUE(Results()
                    .model()
                    ->index(1, 0)
                    .data(Qt::AccessibleTextRole)
                    .toString()
                    .startsWith(QStringLiteral("binomial, Binomial coefficient")));

    // Typo forgiven, accents ignored.
    TypeAndWait(QStringLiteral("slove"));
    EXPECT_EQ(Rows().value(0), QStringLiteral("solve"));
    TypeAndWait(QString::fromUtf8("M\xc3\xb6"
                                  "bius"));
    EXPECT_EQ(Rows().value(0), QStringLiteral("mobius"));
    TypeAndWait(QStringLiteral("qqqqzz"));
    EXPECT_TRUE(Results().IsOpen());
    EXPECT_EQ(count.text(), QStringLiteral("0 results"));
    EXPECT_FALSE(Results().isVisible()); // no row to show: the count alone
    TypeAndWait(QStringLiteral("determinant qqqqzz"));
    EXPECT_EQ(count.text(), QStringLiteral("No command holds all of these words; 1 closest"));
    EXPECT_EQ(Rows(), QStringList{"det"});

    // An empty search text shows no list, and no count.
    QTest::keyClick(&SearchText(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&SearchText(), Qt::Key_Backspace);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_FALSE(count.isVisible());
}

// In German, the window's own words are German, plural forms and all; the texts the documentation names, the title and
// the accessible names stay as they are, and so does what the toolkit is not asked to say.
class GermanResults : public SampleResults
{
protected:
    void SetUp() override
    {
        InstallTranslations(QLocale(QLocale::German, QLocale::Germany));
        SampleResults::SetUp();
    }
    void TearDown() override
    {
        SampleResults::TearDown();
        InstallTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    }
};

TEST_F(GermanResults, TheWindowsOwnWordsAreGerman)
{
    EXPECT_EQ(SearchText().placeholderText(), QStringLiteral("Befehle suchen"));
    EXPECT_EQ(SearchText().accessibleName(), QStringLiteral("Command"));
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Korva Command Reference"));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find"));
    TypeAndWait(QStringLiteral("coefficient"));
    EXPECT_EQ(Results().CountLine().text(), QStringLiteral("3 Ergebnisse"));
    EXPECT_EQ(Results().accessibleName(), QStringLiteral("Results"));
    TypeAndWait(QStringLiteral("qqqqzz"));
    EXPECT_EQ(Results().CountLine().text(), QStringLiteral("0 Ergebnisse"));
    TypeAndWait(QStringLiteral("determinant qqqqzz"));
    EXPECT_EQ(Results().CountLine().text(), QString::fromUtf8("Kein Befehl enth\xc3\xa4lt alle diese W\xc3\xb6rter; "
                                                              "1 n\xc3\xa4"
                                                              "chster"));
}

// The words of the query stand out where they stand in each row: underlined in the name, bold in the description.
TEST_F(SampleResults, RowsShowWhyTheyMatched)
{
    TypeAndWait(QStringLiteral("binomial coefficients"));
    ASSERT_EQ(Rows().value(0), QStringLiteral("binomial"));
    const ResultsModel::Row &row = Results().Rows().RowAt(0);
    ASSERT_TRUE(row.filled);
    EXPECT_EQ(row.nameMatches, (std::vector<platform::TextRange>{{0, 8}}));
    // "Binomial coefficient: ...": both words, the second in another form of it.
    EXPECT_EQ(row.descriptionMatches, (std::vector<platform::TextRange>{{0, 8}, {9, 11}}));
}

// A tab in a name or a description is a space in its row, which has no columns to line up; the matches stay where
// they were.
TEST_F(WindowTest, TabInARowIsASpace)
{
    OpenWindowOnBytes(SimpleEntry("tab\tbed", "has\ta\ttab"));
    TypeSearchText(QStringLiteral("tab"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialog().Results().Searching(); }, 5000));
    Dialog().Results().Rows().FillRows(0, 0);
    const ResultsModel::Row &row = Dialog().Results().Rows().RowAt(0);
    ASSERT_TRUE(row.filled);
    EXPECT_EQ(row.name, QStringLiteral("tab bed"));
    EXPECT_EQ(row.nameMatches, (std::vector<platform::TextRange>{{0, 3}}));
    EXPECT_EQ(row.description, QStringLiteral("has a tab"));
    EXPECT_EQ(row.descriptionMatches, (std::vector<platform::TextRange>{{6, 3}}));
}

// A row's text is cut where it reaches the edge as drawn, its bold words measured bold: every width from none to
// more than it needs takes whole characters and the ellipsis, or the whole text, and never runs past the edge.
TEST(FitToWidth, CutsAsDrawnWithItsBoldWords)
{
    const QString text = QStringLiteral("Binomial coefficient: the number of ways to choose k of n, and more words");
    QTextCharFormat strong;
    strong.setFontWeight(QFont::Bold);
    const QList<QTextLayout::FormatRange> formats = {{0, 8, strong}, {9, 11, strong}, {40, 33, strong}};
    QFont font;
    font.setPixelSize(13);
    for (int width = 0; width <= 800; width += 7) {
        const FittedText fitted = FitToWidth(text, font, formats, width);
        QTextLayout layout(fitted.text, font);
        layout.setFormats(fitted.formats);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(100000);
        layout.endLayout();
        if (fitted.text.isEmpty()) {
            continue;
        }
        EXPECT_LE(line.naturalTextWidth(), width) << fitted.text.toStdString();
        if (fitted.text != text) {
            EXPECT_TRUE(fitted.text.endsWith(QChar(0x2026)));
            EXPECT_TRUE(text.startsWith(fitted.text.chopped(1)));
            for (const QTextLayout::FormatRange &range : fitted.formats) {
                EXPECT_LE(range.start + range.length, fitted.text.size() - 1);
            }
        }
    }
    EXPECT_EQ(FitToWidth(text, font, formats, 100000).text, text);
}

// Looking through the results: the highlight on the best; Down leads in and the entry shows what is highlighted,
// the list following; the results stay open. Escape brings back what the window showed before, and the history
// holds none of what was only looked at.
TEST_F(SampleResults, TheEntryFollowsTheResultsLookedThrough)
{
    ClickCommand(QStringLiteral("gcd"));
    const QString gcd = EntryBox().toPlainText();
    TypeAndWait(QStringLiteral("coefficient"));
    EXPECT_EQ(CurrentRow(), QStringLiteral("coeff"));    // the best, before any key
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd")); // typing never changes the entry
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    EXPECT_TRUE(Results().hasFocus());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("coeff"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Coefficient of")));
    QTest::keyClick(&Results(), Qt::Key_Down);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    EXPECT_TRUE(Results().IsOpen());
    EXPECT_TRUE(Results().hasFocus());
    QTest::keyClick(&Results(), Qt::Key_Escape);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    EXPECT_EQ(EntryBox().toPlainText(), gcd);
    EXPECT_FALSE(Dialog().BackAction().isEnabled()); // gcd alone was settled on
    // With the results closed, Escape does nothing.
    QTest::keyClick(&SearchText(), Qt::Key_Escape);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
}

// Escape brings the entry back as the user left it: scrolled as far, the caret and the selection where they stood, and
// a find's marks, in the entry's text and in Also See; the marks only while the text they were found by is typed.
TEST_F(SampleResults, EscapeBringsBackThePlaceInTheEntry)
{
    std::vector<std::string> examples;
    examples.reserve(40);
    for (int line = 0; line < 40; ++line) {
        examples.push_back("needle_at(" + std::to_string(line) + ")");
    }
    OpenWindowOnBytes(SimpleEntry("long", "a long entry", {"needles"}, examples) + SimpleEntry("needles", "needle"));
    TypeSearchText(QStringLiteral("needle"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("long"));
    auto &seeAlso = Control<platform::qt::SeeAlsoComboBox>("IDC_SEE_ALSO");
    ASSERT_EQ(seeAlso.FoundName(), QStringLiteral("needles"));
    QScrollBar &scroll = *EntryBox().verticalScrollBar();
    ASSERT_GT(scroll.maximum(), 0);
    scroll.setValue(scroll.maximum() / 2);
    QTextCursor selection = EntryBox().textCursor();
    selection.setPosition(20);
    selection.setPosition(26, QTextCursor::KeepAnchor);
    EntryBox().setTextCursor(selection);
    scroll.setValue(scroll.maximum() / 2);
    const int marks = static_cast<int>(EntryBox().extraSelections().size());
    ASSERT_EQ(marks, 40);

    enum class Leave
    {
        Escape,
        Back,
        TypeThenEscape
    };
    for (const Leave leave : {Leave::Escape, Leave::Back, Leave::TypeThenEscape}) {
        const bool typed = leave == Leave::TypeThenEscape;
        SearchText().setFocus();
        QTest::keyClick(&SearchText(), Qt::Key_Down); // the results again, the best shown
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
        ASSERT_EQ(SelectedCommand(), QStringLiteral("needles"));
        if (typed) {
            QTest::keyClick(&Results(), Qt::Key_S); // typing goes on in the search text: a new find
        }
        if (leave == Leave::Back) {
            QTest::keyClick(&Results(), Qt::Key_Left, Qt::AltModifier);
        } else {
            QTest::keyClick(typed ? static_cast<QWidget *>(&SearchText()) : &Results(), Qt::Key_Escape);
        }
        ASSERT_EQ(SelectedCommand(), QStringLiteral("long"));
        EXPECT_EQ(scroll.value(), scroll.maximum() / 2);
        EXPECT_EQ(EntryBox().textCursor().selectedText(), EntryBox().toPlainText().mid(20, 6));
        EXPECT_EQ(EntryBox().extraSelections().size(), typed ? 0 : marks);
        EXPECT_EQ(seeAlso.FoundName(), typed ? QString() : QStringLiteral("needles"));
    }
}

// Results closed any way come back with Down for the text still typed, and Escape then brings back the entry read
// just before they came back, not one from an earlier look through them.
TEST_F(SampleResults, DownBringsTheResultsBackAndEscapeKeepsThePlace)
{
    ClickCommand(QStringLiteral("gcd"));
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("coeff"));
    ClickCommand(QStringLiteral("cos")); // another control: the results go, the click shows cos
    ASSERT_FALSE(Results().IsOpen());
    ASSERT_EQ(SelectedCommand(), QStringLiteral("cos"));
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Escape);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("cos"));

    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown}) {
        ASSERT_TRUE(SearchText().hasFocus());
        QTest::keyClick(&SearchText(), key);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
        EXPECT_TRUE(Results().IsOpen());
        EXPECT_TRUE(Results().hasFocus());
        EXPECT_EQ(Rows(), (QStringList{"coeff", "binomial", "collect"}));
        EXPECT_EQ(SelectedCommand(), QStringLiteral("coeff"));
        QTest::keyClick(&Results(), Qt::Key_Escape);
        EXPECT_FALSE(Results().IsOpen());
        EXPECT_EQ(SelectedCommand(), QStringLiteral("cos"));
    }
    // Kept with Enter, then back again: Escape brings back the command kept.
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
    QTest::keyClick(&Results(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Return);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    SearchText().setFocus();
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Escape);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    // With nothing typed, Down brings nothing.
    QTest::keyClick(&SearchText(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&SearchText(), Qt::Key_Space);
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_TRUE(SearchText().hasFocus());
}

// Back and Forward while the results are looked through close them: Back leads to the entry settled on last, which
// the look replaced, and Forward steps on from it. Escape then undoes nothing, and the keys are back in the search
// text.
TEST_F(SampleResults, BackAndForwardEndALookThroughTheResults)
{
    ClickCommand(QStringLiteral("cos"));
    ClickCommand(QStringLiteral("gcd"));
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("coeff"));
    Dialog().BackAction().trigger();
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_TRUE(SearchText().hasFocus());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    QTest::keyClick(&SearchText(), Qt::Key_Escape);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    Dialog().GoBack();
    ASSERT_EQ(SelectedCommand(), QStringLiteral("cos"));

    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
    ASSERT_EQ(SelectedCommand(), QStringLiteral("coeff"));
    Dialog().ForwardAction().trigger();
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    QTest::keyClick(&SearchText(), Qt::Key_Escape);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
}

// With nowhere to go back or forward to, Alt+Left and Alt+Right leave the look through the results where it is.
TEST_F(SampleResults, BackAndForwardWithNowhereToGoKeepTheLook)
{
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    ASSERT_FALSE(Dialog().BackAction().isEnabled());
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Right}) {
        QTest::keyClick(&Results(), key, Qt::AltModifier);
        EXPECT_TRUE(Results().IsOpen());
        EXPECT_TRUE(Results().hasFocus());
        EXPECT_EQ(CurrentRow(), QStringLiteral("binomial"));
        EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    }
}

// Enter keeps the command highlighted, and notes it in the history; hovering only shows where the mouse is.
TEST_F(SampleResults, EnterKeepsTheHighlightedCommand)
{
    ClickCommand(QStringLiteral("gcd"));
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::mouseMove(Results().viewport(), Results().visualRect(Results().model()->index(2, 0)).center());
    EXPECT_EQ(CurrentRow(), QStringLiteral("coeff"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Return);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Binomial coefficient")));
    EXPECT_TRUE(List().hasFocus());
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd")); // coeff, only looked at, is no place of the history
    // Enter in the search text keeps the best.
    TypeAndWait(QStringLiteral("determinant"));
    QTest::keyClick(&SearchText(), Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("det"));
}

TEST_F(SampleResults, TypingInTheResultsGoesOnInTheSearchText)
{
    TypeAndWait(QStringLiteral("sol"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_TRUE(Results().hasFocus());
    QTest::keyClicks(&Results(), QStringLiteral("ve"));
    EXPECT_TRUE(SearchText().hasFocus());
    EXPECT_EQ(SearchText().text(), QStringLiteral("solve"));
}

TEST_F(SampleResults, ClickOnARowShowsThatCommand)
{
    TypeAndWait(QStringLiteral("coefficient"));
    const QModelIndex collect = Results().model()->index(2, 0);
    // Another button moves no highlight off what the entry would show.
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(Results().viewport(), button, {}, Results().visualRect(collect).center());
        EXPECT_TRUE(Results().IsOpen());
        EXPECT_EQ(CurrentRow(), QStringLiteral("coeff"));
    }
    const QPoint place = Results().visualRect(collect).center();
    QTest::mouseClick(Results().viewport(), Qt::LeftButton, {}, place);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("collect"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Gathers the terms")));
    // Clicked twice: the second click, which lands on the list the row leaves uncovered, selects nothing else there.
    const QPoint onList = List().viewport()->mapFromGlobal(Results().viewport()->mapToGlobal(place));
    for (const QEvent::Type type : {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent half(type, onList, List().viewport()->mapToGlobal(onList), Qt::LeftButton,
                         type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &half);
    }
    EXPECT_EQ(SelectedCommand(), QStringLiteral("collect"));
    // A click of its own on the list acts as ever.
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, onList);
    EXPECT_NE(SelectedCommand(), QStringLiteral("collect"));
}

// F3 and Find keep running Find/Next on the same text, capitals counting; the results make way for it.
TEST_F(SampleResults, FindAndF3KeepToFindNext)
{
    TypeAndWait(QStringLiteral("Euler"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Next"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gamma"));
}

// A text that no command holds a word of leaves no result to keep: Enter finds it, as with no results open.
TEST_F(SampleResults, EnterWithNoResultToKeepFinds)
{
    TypeAndWait(QStringLiteral("\u00bb")); // the sign between an example and its result
    ASSERT_TRUE(Results().IsOpen());
    ASSERT_EQ(Results().model()->rowCount(), 0);
    QTest::keyClick(&SearchText(), Qt::Key_Return);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_EQ(FindButton().text(), QStringLiteral("Next"));
    EXPECT_TRUE(EntryBox().toPlainText().contains(QStringLiteral("\u00bb")));
}

// A lookup that a command begins with selects it as ever; one that none begins with opens its results. A name given
// in one case finds the command of that case first, as --print does.
TEST_F(SampleResults, LookupThatNoCommandBeginsWithOpensItsResults)
{
    Dialog().ShowCommand(QStringLiteral("sol"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("solve"));
    EXPECT_FALSE(Results().IsOpen());
    Dialog().ShowCommand(QStringLiteral("gamma"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gamma"));
    Dialog().ShowCommand(QStringLiteral("Gamma"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma"));

    Dialog().ShowCommand(QStringLiteral("determinant"));
    EXPECT_EQ(SearchText().text(), QStringLiteral("determinant"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
    EXPECT_TRUE(Results().IsOpen());
    EXPECT_EQ(Rows().value(0), QStringLiteral("det"));
    QTest::keyClick(&SearchText(), Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("det"));

    // A lookup while results are looked through ends the look: Escape then undoes nothing.
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("coeff"));
    Dialog().ShowCommand(QStringLiteral("gcd"));
    EXPECT_FALSE(Results().IsOpen());
    QTest::keyClick(&SearchText(), Qt::Key_Escape);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    // The keys go on from the command shown, as after a launch with it: Down is the next command of the list.
    EXPECT_TRUE(List().hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("identity"));
}

// Enter pressed while the entries' text is still being ranked opens the best once it is known: the same command
// however fast the user typed, and one even when no name held the words. Down pressed then, with no row to move onto
// yet, moves onto the best once it is known.
TEST_F(WindowTest, KeysDuringTheSearchActOnTheBestOnceKnown)
{
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
        bytes += SimpleEntry("c" + std::to_string(i), i == 2500 ? "the prime factors" : "holds a prime number");
    }
    OpenWindowOnBytes(bytes + SimpleEntry("primes", "lists the primes"));
    ResultsPanel &results = Dialog().Results();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Down}) {
        TypeSearchText(QStringLiteral("prime factor"));
        ASSERT_TRUE(results.Searching());
        EXPECT_EQ(results.CountLine().text().left(12), QStringLiteral("Searching..."));
        QTest::keyClick(&SearchText(), key);
        EXPECT_TRUE(results.IsOpen()); // it keeps running, and says so
        EXPECT_TRUE(SearchText().hasFocus());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !results.Searching() && !SearchText().hasFocus(); }, 10000));
        EXPECT_EQ(results.IsOpen(), key == Qt::Key_Down);
        EXPECT_EQ(results.hasFocus(), key == Qt::Key_Down);
        EXPECT_EQ(SelectedCommand(), QStringLiteral("c2500"));
    }
}

// Find, a chosen result, a see-also jump and Back show the command in the middle of the list where the list allows.
TEST_F(WindowTest, JumpsShowTheCommandInTheMiddleOfTheList)
{
    std::string bytes;
    for (int i = 0; i < 400; ++i) {
        bytes += SimpleEntry("c" + std::to_string(1000 + i), i == 300 ? "holds the key" : "d", {"c1350"});
    }
    OpenWindowOnBytes(bytes);
    const auto middle = [this] {
        const QRect row = List().visualRect(List().currentIndex());
        return std::abs(row.center().y() - List().viewport()->height() / 2) <= row.height();
    };
    TypeSearchText(QStringLiteral("key"));
    QTest::keyClick(&SearchText(), Qt::Key_F3);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("c1300"));
    EXPECT_TRUE(middle());
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down); // the related command
    EXPECT_EQ(SelectedCommand(), QStringLiteral("c1350"));
    EXPECT_TRUE(middle());
    List().scrollToTop();
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("c1300"));
    EXPECT_TRUE(middle());
}

// The results' rows follow the window's zoom, as the list and the entry do, and the row looked at stays highlighted:
// Enter keeps the command the entry shows.
TEST_F(SampleResults, RowsFollowTheZoom)
{
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Down);
    ASSERT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    const int before = Results().sizeHintForRow(0);
    const int countBefore = Results().CountLine().sizeHint().height();
    QTest::keyClick(&Results(), Qt::Key_Plus, Qt::ControlModifier);
    QWheelEvent wheel(QPointF(5, 5), Results().viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Results().viewport(), &wheel); // over the rows as over the list
    EXPECT_DOUBLE_EQ(Dialog().ZoomFactor(), 1.25);
    QCoreApplication::processEvents();
    EXPECT_GT(Results().sizeHintForRow(0), before);
    EXPECT_EQ(Results().visualRect(Results().model()->index(1, 0)).top(), Results().sizeHintForRow(0));
    EXPECT_GT(Results().CountLine().sizeHint().height(), countBefore);
    EXPECT_EQ(Results().font().pointSizeF(), List().font().pointSizeF());
    EXPECT_EQ(Results().geometry().top(), Results().CountLine().geometry().bottom() + 1);
    EXPECT_TRUE(Results().hasFocus());
    EXPECT_EQ(CurrentRow(), QStringLiteral("binomial"));
    QTest::keyClick(&Results(), Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
}

// The rows stay above the entry when the bar between the list and the entry is dragged up, and fill the room again
// when it goes back down.
TEST_F(SampleResults, RowsStayAboveTheEntryAsTheBarMoves)
{
    TypeAndWait(QStringLiteral("the"));
    ASSERT_GE(Results().model()->rowCount(), ResultsPanel::kMaxVisibleRows);
    auto *splitter = Dialog().findChild<QSplitter *>();
    ASSERT_NE(splitter, nullptr);
    const QList<int> sizes = splitter->sizes();
    const auto rowsShown = [this] { return Results().viewport()->height() / Results().sizeHintForRow(0); };
    const int shown = rowsShown();
    const auto listBottom = [this] { return List().mapTo(&Dialog(), QPoint(0, List().height())).y(); };
    for (const int listHeight : {sizes[0] / 2, 4 * Results().sizeHintForRow(0), sizes[0]}) {
        splitter->setSizes({listHeight, sizes[0] + sizes[1] - listHeight});
        QCoreApplication::processEvents();
        EXPECT_LE(Results().geometry().bottom(), listBottom()) << listHeight;
        EXPECT_GE(rowsShown(), 1);
    }
    EXPECT_EQ(rowsShown(), shown);
}

// A file rewritten while its results are open: the results are made anew, and a command chosen shows its own entry.
TEST_F(WindowTest, ResultsFollowAFileChangedUnderThem)
{
    const std::string path = folder_.filePath(QStringLiteral("korvadoc")).toStdString();
    OpenWindowOnBytes(SimpleEntry("alpha", "holds the key") + SimpleEntry("beta", "holds nothing"));
    TypeSearchText(QStringLiteral("key"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialog().Results().Searching(); }, 5000));
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << SimpleEntry("beta", "now holds the key, and more words than before") + SimpleEntry("alpha", "nothing");
    QTest::keyClick(&SearchText(), Qt::Key_Space); // the user types on: the list is built again
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialog().Results().Searching(); }, 5000));
    ASSERT_EQ(Dialog().Results().model()->rowCount(), 1);
    EXPECT_EQ(Dialog().Results().model()->index(0, 0).data().toString(), QStringLiteral("beta"));
    QTest::keyClick(&SearchText(), Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("now holds the key")));
}

// A file rewritten while the user looks through its results: the results are made anew as soon as the list is built
// again (here by the entry of the row moved onto), each row with its own name; the keys stay in them and the highlight
// on the command the entry shows, which Enter keeps.
TEST_F(WindowTest, LookingThroughResultsOfAFileChangedUnderThem)
{
    const std::string path = folder_.filePath(QStringLiteral("korvadoc")).toStdString();
    const std::string beta = SimpleEntry("beta", "the key, and the key again");
    const std::string gamma = SimpleEntry("gamma", "one key");
    OpenWindowOnBytes(SimpleEntry("alpha", "holds the key and the key and the key") + beta + gamma);
    TypeSearchText(QStringLiteral("key"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialog().Results().Searching(); }, 5000));
    ResultsPanel &results = Dialog().Results();
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    const QString first = SelectedCommand();
    QTest::keyClick(&results, Qt::Key_Down);
    ASSERT_NE(SelectedCommand(), first);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << SimpleEntry("aardvark", "holds the key once") + SimpleEntry("alpha", "no longer") + beta + gamma;
    QTest::keyClick(&results, Qt::Key_Up);
    ASSERT_EQ(SelectedCommand(), first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.ResultCount() == 3 && !results.Searching(); }, 5000));
    QCoreApplication::processEvents();
    QStringList names;
    for (int row = 0; row < results.model()->rowCount(); ++row) {
        names << results.model()->index(row, 0).data().toString();
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"aardvark", "beta", "gamma"}));
    EXPECT_TRUE(results.hasFocus());
    EXPECT_EQ(results.currentIndex().data().toString(), first);
    QTest::keyClick(&results, Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), first);
    EXPECT_FALSE(results.IsOpen());
    // Rewritten again with the word nowhere: no row is left to be on, and the keys go back to the search text.
    SearchText().setFocus();
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results.Searching(); }, 5000));
    ASSERT_TRUE(results.hasFocus());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << SimpleEntry("beta", "nothing");
    QTest::keyClick(&results, Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.ResultCount() == 0 && !results.Searching(); }, 5000));
    EXPECT_TRUE(SearchText().hasFocus());
    EXPECT_EQ(results.CountLine().text(), QStringLiteral("0 results"));
}

// The names a running search reads are made anew when the file changes before the window's first paint: the search
// keeps reading the names it holds, never freed ones, and starts over on the list built anew.
TEST_F(WindowTest, FileChangedBetweenALookupAndTheFirstPaint)
{
    const std::string path = folder_.filePath(QStringLiteral("korvadoc")).toStdString();
    std::string before;
    for (int i = 0; i < 200; ++i) {
        before += SimpleEntry("c" + std::to_string(i), i == 7 ? "holds the key" : "holds nothing");
    }
    OpenWindowOnBytes(before);
    TypeSearchText(QStringLiteral("key"));
    ASSERT_TRUE(Dialog().Results().Searching()); // the entries' text is still to be read
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << SimpleEntry("other", "holds nothing") + SimpleEntry("keeper", "the key is here, in a longer entry");
    Dialog().Results().Prepare(); // as the first paint does: the names are made anew
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialog().Results().Searching(); }, 5000));
    ASSERT_EQ(Dialog().Results().model()->rowCount(), 1);
    EXPECT_EQ(Dialog().Results().model()->index(0, 0).data().toString(), QStringLiteral("keeper"));
}

} // namespace
} // namespace korva::app::testing
