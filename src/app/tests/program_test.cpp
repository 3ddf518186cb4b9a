// SPDX-License-Identifier: MIT
// The whole program as a user starts it: where it finds its data file, what it does without one, and how it ends.
#include "app/reference_app.h"
#include "window_fixture.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include <QFile>
#include <QPointer>
#include <QProcess>

namespace korva::app::testing {
namespace {

// The whole program, as a user starts it.
class Program : public ::testing::Test
{
protected:
    // Copies the program into a folder of its own, with `dataFile` beside it as "korvadoc" (none when empty).
    QString Install(const QString &dataFile)
    {
        QString program = folder_.filePath(QStringLiteral("korva-reference"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(KORVA_PROGRAM), program));
        if (!dataFile.isEmpty()) {
            EXPECT_TRUE(QFile::copy(dataFile, folder_.filePath(QStringLiteral("korvadoc"))));
        }
        return program;
    }

    QTemporaryDir folder_;
};

// Missing, or a folder, a named pipe (which once made the open wait for a writer for ever) or a device in its place.
TEST_F(Program, WithoutADataFileEndsSilentlyWithStatusZero)
{
    const QString program = Install(QString());
    const std::string korvadoc = folder_.filePath(QStringLiteral("korvadoc")).toStdString();
    for (const std::string instead : {"nothing", "a folder", "a named pipe", "a device"}) {
        SCOPED_TRACE(instead);
        std::filesystem::remove_all(korvadoc);
        if (instead == "a folder") {
            ASSERT_TRUE(std::filesystem::create_directory(korvadoc));
        } else if (instead == "a named pipe") {
            ASSERT_EQ(::mkfifo(korvadoc.c_str(), 0600), 0);
        } else if (instead == "a device") {
            std::filesystem::create_symlink("/dev/zero", korvadoc);
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // no window may ever be tried
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QDir::tempPath()); // the data file is looked for beside the program, not here
        process.start(program, {});
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(process.readAllStandardError().isEmpty());
    }
}

TEST_F(Program, DataFileIsLookedForInTheProgramsFolder)
{
    EXPECT_EQ(CReferenceApp::DataFilePath("/opt/korva/korva-reference"), "/opt/korva/korvadoc");
    EXPECT_EQ(CReferenceApp::DataFilePath("korva-reference"), "korvadoc");
}

// However the window closes, the start-up hook returns with the window gone and nothing left on screen.
TEST_F(Program, ClosingTheWindowLeavesNothingOnScreen)
{
    const QString program = Install(QStringLiteral(KORVA_SAMPLE_DATA));
    int argc = 1;
    char name[] = "korva-reference";
    char *argv[] = {name, nullptr};
    for (const auto &close : std::vector<std::function<void(QDialog &)>>{
             [](QDialog &window) { QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier); },
             [](QDialog &window) { QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier); },
             [](QDialog &window) { window.close(); }}) {
        QPointer<QDialog> shown;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->windowTitle(), QStringLiteral("Korva Command Reference"));
            EXPECT_GT(shown->findChild<QListView *>(QStringLiteral("IDC_COMMAND_LIST"))->model()->rowCount(), 60);
            QApplication::setActiveWindow(shown); // a window's shortcuts reach it while it is the active one
            EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
            close(*shown);
        });
        CReferenceApp app(argc, argv, program.toStdString());
        app.InitInstance();
        EXPECT_TRUE(shown.isNull()); // it was shown, and is gone
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(widget->isVisible()) << widget->metaObject()->className();
        }
    }
}

// --data: the program reads the named file, with every rule the file beside it follows.
TEST_F(Program, DataFileNamedOnTheCommandLine)
{
    const std::string path = folder_.filePath(QStringLiteral("my reference")).toStdString();
    std::ofstream(path, std::ios::binary) << SimpleEntry("alpha", "first") + SimpleEntry("beta", "second");
    CommandLine commandLine;
    commandLine.dataFile = path;
    commandLine.command = "BE";
    commandLine.newWindow = true;
    int argc = 1;
    char name[] = "korva-reference";
    char *argv[] = {name, nullptr};
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        seen << window->findChild<QPlainTextEdit *>()->toPlainText();
        window->close();
    });
    CReferenceApp app(argc, argv, "/nowhere/korva-reference", commandLine);
    app.InitInstance();
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_EQ(seen, QStringList{QStringLiteral("second\n\nParams:beta(x)")});
}

} // namespace
} // namespace korva::app::testing
