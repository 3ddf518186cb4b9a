// SPDX-License-Identifier: MIT
#include "translations.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korva::app {

namespace {

// Where the program's translations are built into it.
constexpr auto kOwnTranslations = ":/i18n";

} // namespace

void InstallTranslations(const QLocale &locale)
{
    static std::unique_ptr<QTranslator> own;
    static std::unique_ptr<QTranslator> toolkit;
    for (std::unique_ptr<QTranslator> *installed : {&own, &toolkit}) {
        if (*installed != nullptr) {
            QCoreApplication::removeTranslator(installed->get());
            installed->reset();
        }
    }
    own = std::make_unique<QTranslator>();
    if (own->load(locale, QStringLiteral("korva-reference"), QStringLiteral("_"),
                  QString::fromLatin1(kOwnTranslations)) ||
        own->load(QStringLiteral("korva-reference_en"), QString::fromLatin1(kOwnTranslations))) {
        QCoreApplication::installTranslator(own.get());
    }
    toolkit = std::make_unique<QTranslator>();
    if (toolkit->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(toolkit.get());
    }
}

} // namespace korva::app
