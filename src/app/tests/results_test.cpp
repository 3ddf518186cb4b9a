// SPDX-License-Identifier: MIT
// The results as the user types: shown under the search text, moved in with the keys, chosen with Enter or a click,
// closed with Escape, and opened by a lookup that no command begins with.
#include "app/results_panel.h"
#include "window_fixture.h"

#include <QAccessible>

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
    // The descriptions that hold the word whole, the shorter name first; then one that holds it inside a word.
    EXPECT_EQ(Rows(), (QStringList{"coeff", "binomial", "collect"}));
    const QRect search(SearchText().mapTo(&Dialog(), QPoint(0, 0)), SearchText().size());
    const QRect panel = Results().geometry();
    EXPECT_EQ(panel.top(), search.bottom() + 1);
    EXPECT_TRUE(Dialog().rect().contains(panel));
    EXPECT_GE(Results().viewport()->height(), 3 * Results().sizeHintForRow(0)); // every row shows

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
    EXPECT_EQ(Results().accessibleDescription(), QStringLiteral("No results"));

    // An empty search text shows no list.
    QTest::keyClick(&SearchText(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&SearchText(), Qt::Key_Backspace);
    EXPECT_FALSE(Results().IsOpen());
}

TEST_F(SampleResults, KeysMoveInTheResultsAndEnterShowsTheCommand)
{
    TypeAndWait(QStringLiteral("coefficient"));
    QTest::keyClick(&SearchText(), Qt::Key_Down); // into the results, at the first
    EXPECT_TRUE(Results().hasFocus());
    EXPECT_EQ(CurrentRow(), QStringLiteral("coeff"));
    QTest::keyClick(&Results(), Qt::Key_Down);
    EXPECT_EQ(CurrentRow(), QStringLiteral("binomial"));
    QTest::keyClick(&Results(), Qt::Key_PageDown);
    EXPECT_EQ(CurrentRow(), QStringLiteral("collect"));
    QTest::keyClick(&Results(), Qt::Key_PageUp);
    EXPECT_EQ(CurrentRow(), QStringLiteral("coeff"));
    QTest::keyClick(&Results(), Qt::Key_Up); // back up into the search text, the results still open
    EXPECT_TRUE(SearchText().hasFocus());
    EXPECT_TRUE(Results().IsOpen());
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Return);

    // Shown as a selection in the command list would show it, and recorded as a place to come back to.
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Binomial coefficient")));
    EXPECT_EQ(SeeAlso().count(), 2);
    EXPECT_TRUE(List().hasFocus());
    TypeAndWait(QStringLiteral("determinant"));
    QTest::keyClick(&SearchText(), Qt::Key_Return); // Enter in the search text chooses the best result
    EXPECT_EQ(SelectedCommand(), QStringLiteral("det"));
    Dialog().GoBack();
    EXPECT_EQ(SelectedCommand(), QStringLiteral("binomial"));
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

// Escape with the results open closes them and nothing else; with them closed, Escape closes the window as ever.
TEST_F(SampleResults, EscapeClosesTheResultsFirst)
{
    ClickCommand(QStringLiteral("gcd"));
    TypeAndWait(QStringLiteral("prime"));
    const QString entry = EntryBox().toPlainText();
    QTest::keyClick(&SearchText(), Qt::Key_Escape);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(SearchText().text(), QStringLiteral("prime"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gcd"));
    EXPECT_EQ(EntryBox().toPlainText(), entry);

    QTest::keyClick(&SearchText(), Qt::Key_X); // open again, and closed from inside
    QTest::keyClick(&SearchText(), Qt::Key_Down);
    QTest::keyClick(&Results(), Qt::Key_Escape);
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_TRUE(Dialog().isVisible());
    QTest::keyClick(&SearchText(), Qt::Key_Escape);
    EXPECT_FALSE(Dialog().isVisible());
}

TEST_F(SampleResults, ClickOnARowShowsThatCommand)
{
    TypeAndWait(QStringLiteral("coefficient"));
    const QModelIndex collect = Results().model()->index(2, 0);
    QTest::mouseClick(Results().viewport(), Qt::LeftButton, {}, Results().visualRect(collect).center());
    EXPECT_FALSE(Results().IsOpen());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("collect"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("Gathers the terms")));
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
    EXPECT_EQ(SelectedCommand(), QStringLiteral("Gamma")); // gamma's entry, shown as Gamma
}

// A lookup that a command begins with selects it as ever; one that none begins with opens its results.
TEST_F(SampleResults, LookupThatNoCommandBeginsWithOpensItsResults)
{
    Dialog().ShowCommand(QStringLiteral("sol"));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("solve"));
    EXPECT_FALSE(Results().IsOpen());

    Dialog().ShowCommand(QStringLiteral("determinant"));
    EXPECT_EQ(SearchText().text(), QStringLiteral("determinant"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Results().Searching(); }, 5000));
    EXPECT_TRUE(Results().IsOpen());
    EXPECT_EQ(Rows().value(0), QStringLiteral("det"));
    QTest::keyClick(&SearchText(), Qt::Key_Return);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("det"));
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
