// SPDX-License-Identifier: MIT
// The window on data files that are broken, huge, or change while it is open.
#include "window_fixture.h"

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>

namespace korva::app::testing {
namespace {

class DataFileWindow : public WindowTest
{
protected:
    std::string Path() { return folder_.filePath(QStringLiteral("korvadoc")).toStdString(); }
    void Rewrite(const std::string &bytes) { std::ofstream(Path(), std::ios::binary | std::ios::trunc) << bytes; }
};

TEST_F(DataFileWindow, FileThatShrinksWhileOpenShowsNoStaleBytes)
{
    const std::string first = DataEntry("alpha", "first entry", "-> beta\nalpha(1)\n");
    OpenWindowOnBytes(first + DataEntry("beta", "second entry") + DataEntry("gamma", "third entry"));
    ClickCommand(QStringLiteral("gamma"));
    const QString shown = EntryBox().toPlainText();

    Rewrite(first); // beta and gamma are gone
    ClickCommand(QStringLiteral("beta"));
    EXPECT_EQ(EntryBox().toPlainText(), shown); // nothing to show: the screen keeps what it had
    ClickCommand(QStringLiteral("alpha"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("first entry\n\nParams:alpha(x)\n\nExamples:\nalpha(1)\n"));

    SearchText().setText(QStringLiteral("entry"));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("alpha"));
    EXPECT_EQ(ClickAndCollectMessages(FindButton()), QStringList{QStringLiteral("Search completed")});
}

TEST_F(DataFileWindow, FileThatChangesWhileOpenIsReadAsItIsNow)
{
    OpenWindowOnBytes(DataEntry("alpha", "old text") + DataEntry("beta", "old text"));
    ClickCommand(QStringLiteral("alpha"));
    ASSERT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("old text")));
    // The same offsets, new words, a different length.
    Rewrite(DataEntry("alpha", "new text") + DataEntry("beta", "new text, longer") + DataEntry("delta", "added"));
    ClickCommand(QStringLiteral("beta"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("new text, longer")));

    SearchText().setText(QStringLiteral("added"));
    // delta was not in the file when the list was made: its entry is not reported, and the pass ends.
    EXPECT_EQ(ClickAndCollectMessages(FindButton()), QStringList{QStringLiteral("Search completed")});
}

TEST_F(DataFileWindow, SessionLeavesTheDataFileAsItWas)
{
    OpenWindow(KORVA_SAMPLE_DATA);
    struct stat before
    {};
    ASSERT_EQ(stat(KORVA_SAMPLE_DATA, &before), 0);
    std::ifstream original(KORVA_SAMPLE_DATA, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());

    ClickCommand(QStringLiteral("solve"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    EntryBox().selectAll();
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    QTest::keyClicks(&EntryBox(), QStringLiteral("an edit"));
    SearchText().setText(QStringLiteral("matrix"));
    for (int tap = 0; tap < 20 && ClickAndCollectMessages(FindButton()).isEmpty(); ++tap) {
    }
    ClickCommand(QStringLiteral("abs"));

    struct stat after
    {};
    ASSERT_EQ(stat(KORVA_SAMPLE_DATA, &after), 0);
    std::ifstream now(KORVA_SAMPLE_DATA, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(now)), std::istreambuf_iterator<char>()), bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_size, before.st_size);
}

// A sparse data file of more than 4 GiB: entries at its start, a hole, and entries beyond 4 GiB. Offsets are 32-bit:
// the window indexes nothing beyond, never wraps to the start, and stays usable.
TEST_F(DataFileWindow, SparseFileLargerThanFourGibibytes)
{
    const std::string head = DataEntry("alpha", "first", "-> beta\n") + DataEntry("beta", "second key");
    const std::string beyond = "\n\n" + DataEntry("omega", "beyond the limit key") + DataEntry("zeta", "key");
    {
        const int fd = ::open(Path().c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
        const off_t far = (off_t{1} << 32) + 100;
        const bool written = ::pwrite(fd, beyond.data(), beyond.size(), far) == static_cast<ssize_t>(beyond.size());
        ::close(fd);
        if (!written) {
            GTEST_SKIP() << "this file system holds no sparse file of more than 4 GiB";
        }
    }
    OpenWindow(Path());
    EXPECT_EQ(ListTexts(), (QStringList{"alpha", "beta"}));
    for (int row = 0; row < List().GetCount(); ++row) {
        EXPECT_LT(List().GetItemData(row), head.size());
    }
    ClickCommand(QStringLiteral("alpha"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    EXPECT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("second key")));

    SearchText().setText(QStringLiteral("key"));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_EQ(ClickAndCollectMessages(FindButton()), QStringList{QStringLiteral("Search completed")});
}

} // namespace
} // namespace korva::app::testing
