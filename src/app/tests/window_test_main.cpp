// SPDX-License-Identifier: MIT
// The window tests run the real window in one QApplication, on Qt's offscreen platform unless told otherwise, in
// English.
#include "app/translations.h"

#include <cstdlib>

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("korva-window-tests-runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
    }
    QApplication application(argc, argv);
    // The tests read the window's English words, whatever the machine's language.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    korva::app::InstallTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    return RUN_ALL_TESTS();
}
