// SPDX-License-Identifier: MIT
#include "reference_app.h"

#include "helpdata/format.h"
#include "helpdata/read_buffer.h"
#include "reference_dlg.h"

#include <memory>
#include <optional>

#include <QApplication>

namespace korva::app {

CReferenceApp::CReferenceApp(int &argc, char **argv, std::string programPath)
    : argc_(argc), argv_(argv), programPath_(std::move(programPath))
{}

CReferenceApp::~CReferenceApp() = default;

std::string CReferenceApp::DataFilePath(const std::string &programPath)
{
    return platform::ProgramFolder(programPath) + std::string(helpdata::kDataFileName);
}

bool CReferenceApp::InitInstance()
{
    if (!helpFile_.Open(DataFilePath(programPath_))) {
        return false; // no data file: nothing to show, and nothing is said
    }
    auto buffer = std::make_unique<helpdata::ReadBuffer>();

    // The toolkit starts only once there is something to show.
    std::optional<QApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        application.emplace(argc_, argv_);
    }
    QCoreApplication::setApplicationName(QStringLiteral("korva-reference"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Korva Command Reference"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korva.CommandReference"));

    {
        CReferenceDlg dialog(helpFile_, *buffer);
        dialog.exec();
        buffer.reset();
        helpFile_.Close();
    }
    return false;
}

} // namespace korva::app
