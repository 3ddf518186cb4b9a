// SPDX-License-Identifier: MIT
// The window on data files that are broken, huge, or change while it is open.
#include "test_support/test_support.h"
#include "window_fixture.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

TEST_F(DataFileWindow, FileThatShrinksWhileOpenLosesItsGoneEntries)
{
    const std::string first = SimpleEntry("alpha", "first entry", {"beta"}, {"alpha(1)"});
    OpenWindowOnBytes(first + SimpleEntry("beta", "second entry") + SimpleEntry("gamma", "third entry"));
    ClickCommand(QStringLiteral("gamma"));
    ASSERT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("third entry")));

    Rewrite(first); // beta and gamma are gone
    ClickCommand(QStringLiteral("beta"));
    EXPECT_EQ(ListTexts(), QStringList{QStringLiteral("alpha")});
    EXPECT_EQ(List().GetCurSel(), -1);
    EXPECT_TRUE(EntryBox().toPlainText().isEmpty()); // nothing of gamma stays beside another name
    EXPECT_EQ(SeeAlso().count(), 0);
    ClickCommand(QStringLiteral("alpha"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("first entry\n\nParams:alpha(x)\n\nExamples:\nalpha(1)\n"));

    TypeSearchText(QStringLiteral("entry"));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("alpha"));
    EXPECT_EQ(ClickAndCollectMessages(FindButton()), QStringList{QStringLiteral("Search completed")});
}

// Replaced in place, as "cat other > korvadoc" does: every offset the list held points into other content.
TEST_F(DataFileWindow, FileReplacedWhileOpenIsIndexedAgainBeforeAnythingShows)
{
    OpenWindowOnBytes(SimpleEntry("alpha", "old alpha") + SimpleEntry("beta", "old beta") +
                      SimpleEntry("gamma", "old gamma"));
    ClickCommand(QStringLiteral("beta"));
    TypeSearchText(QStringLiteral("old"));
    ClickAndCollectMessages(FindButton());
    ASSERT_EQ(FindButton().text(), QStringLiteral("Next"));

    Rewrite(SimpleEntry("delta", "new delta, added first") + SimpleEntry("gamma", "new gamma") +
            SimpleEntry("beta", "new beta, longer than before") + SimpleEntry("alpha", "new alpha"));
    ClickCommand(QStringLiteral("gamma"));
    EXPECT_EQ(ListTexts(), (QStringList{"alpha", "beta", "delta", "gamma"}));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("gamma"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("new gamma\n\nParams:gamma(x)"));
    EXPECT_EQ(FindButton().text(), QStringLiteral("Find")); // the search starts afresh

    // Find on a changed file: the new content, from its start, each entry under its own name.
    Rewrite(SimpleEntry("alpha", "key in alpha") + SimpleEntry("omega", "and key in omega"));
    TypeSearchText(QStringLiteral("key"));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("alpha"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("key in alpha")));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("omega"));
    EXPECT_TRUE(EntryBox().toPlainText().startsWith(QStringLiteral("and key in omega")));
}

// An editor's save: a new file renamed over the old one. The window reads the new file.
TEST_F(DataFileWindow, FileSavedAsANewFileIsReadFromThen)
{
    OpenWindowOnBytes(SimpleEntry("alpha", "old alpha") + SimpleEntry("beta", "old beta"));
    const std::string saved = folder_.filePath(QStringLiteral("korvadoc.new")).toStdString();
    std::ofstream(saved, std::ios::binary) << SimpleEntry("beta", "new beta") + SimpleEntry("alpha", "new alpha");
    ASSERT_EQ(std::rename(saved.c_str(), Path().c_str()), 0);
    ClickCommand(QStringLiteral("alpha"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("new alpha\n\nParams:alpha(x)"));
}

// The program builds the index on a thread of its own while the window starts. On any file, that index must be the
// one the window builds itself: the same names, in the same order, each leading to its own entry.
TEST_F(DataFileWindow, IndexBuiltAheadIsTheOneTheWindowBuildsItself)
{
    const std::string malformed = "text before the first entry\n" + SimpleEntry("Beta", "upper beta") + "#" +
                                  std::string(2100, 'x') + "\n\n" + SimpleEntry("beta", "lower beta") +
                                  SimpleEntry("caf\xe9", "with an e acute") +
                                  std::string("# na\0me\n1\n2 nul\n\n# last, no LF", 30);
    for (const std::string &bytes : {korva::testing::ReadFileBytes(KORVA_SAMPLE_DATA), malformed, std::string()}) {
        Rewrite(bytes);
        OpenWindow(Path());
        const QStringList texts = ListTexts();
        std::vector<std::uint32_t> offsets;
        offsets.reserve(static_cast<std::size_t>(List().GetCount()));
        for (int row = 0; row < List().GetCount(); ++row) {
            offsets.push_back(List().GetItemData(row));
        }
        CloseWindow();

        OpenWindowIndexedAhead(Path());
        ASSERT_EQ(ListTexts(), texts);
        for (int row = 0; row < List().GetCount(); ++row) {
            EXPECT_EQ(List().GetItemData(row), offsets[static_cast<std::size_t>(row)]) << row;
        }
        EXPECT_EQ(List().GetCurSel(), -1);
        if (!texts.isEmpty()) {
            ClickCommand(texts.back());
            EXPECT_EQ(SelectedCommand(), texts.back());
            EXPECT_FALSE(EntryBox().toPlainText().isEmpty());
        }
        CloseWindow();
    }
}

// Changed after the index was built ahead and before the window showed: the window reads the file as it is now.
TEST_F(DataFileWindow, FileChangedWhileIndexedAheadIsIndexedAgainBeforeAnythingShows)
{
    Rewrite(SimpleEntry("alpha", "old alpha") + SimpleEntry("beta", "old beta"));
    OpenWindowIndexedAhead(Path(), [this] {
        Rewrite(SimpleEntry("gamma", "new gamma, first now") + SimpleEntry("beta", "new beta") +
                SimpleEntry("alpha", "new alpha"));
    });
    ClickCommand(QStringLiteral("beta"));
    EXPECT_EQ(ListTexts(), (QStringList{"alpha", "beta", "gamma"}));
    EXPECT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_EQ(EntryBox().toPlainText(), QStringLiteral("new beta\n\nParams:beta(x)"));
}

TEST_F(DataFileWindow, SessionLeavesTheDataFileAsItWas)
{
    OpenWindow(KORVA_SAMPLE_DATA);
    struct stat before
    {};
    ASSERT_EQ(stat(KORVA_SAMPLE_DATA, &before), 0);
    const std::string bytes = korva::testing::ReadFileBytes(KORVA_SAMPLE_DATA);

    ClickCommand(QStringLiteral("solve"));
    SeeAlso().setFocus();
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    QTest::keyClick(&SeeAlso(), Qt::Key_Down);
    EntryBox().selectAll();
    QTest::mouseClick(&CopyButton(), Qt::LeftButton);
    QTest::keyClicks(&EntryBox(), QStringLiteral("an edit"));
    TypeSearchText(QStringLiteral("matrix"));
    for (int tap = 0; tap < 20 && ClickAndCollectMessages(FindButton()).isEmpty(); ++tap) {
    }
    ClickCommand(QStringLiteral("abs"));

    struct stat after
    {};
    ASSERT_EQ(stat(KORVA_SAMPLE_DATA, &after), 0);
    EXPECT_EQ(korva::testing::ReadFileBytes(KORVA_SAMPLE_DATA), bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_size, before.st_size);
}

// A sparse data file of more than 4 GiB: entries at its start, a hole, and entries beyond 4 GiB. Offsets are 32-bit:
// the window indexes nothing beyond, never wraps to the start, and stays usable.
TEST_F(DataFileWindow, SparseFileLargerThanFourGibibytes)
{
    const std::string head = SimpleEntry("alpha", "first", {"beta"}) + SimpleEntry("beta", "second key");
    const std::string beyond = "\n\n" + SimpleEntry("omega", "beyond the limit key") + SimpleEntry("zeta", "key");
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

    TypeSearchText(QStringLiteral("key"));
    EXPECT_TRUE(ClickAndCollectMessages(FindButton()).isEmpty());
    EXPECT_EQ(SelectedCommand(), QStringLiteral("beta"));
    EXPECT_EQ(ClickAndCollectMessages(FindButton()), QStringList{QStringLiteral("Search completed")});
}

} // namespace
} // namespace korva::app::testing
