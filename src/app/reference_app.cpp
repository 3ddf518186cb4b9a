// SPDX-License-Identifier: MIT
#include "reference_app.h"

#include "helpdata/format.h"
#include "helpdata/read_buffer.h"
#include "index_ahead.h"
#include "lookup_channel.h"
#include "reference_dlg.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>

#include <QApplication>

namespace korva::app {

namespace {

QString CanonicalPath(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(std::filesystem::u8path(path), error);
    const std::u8string text =
        (error ? std::filesystem::absolute(std::filesystem::u8path(path)) : canonical).u8string();
    return QString::fromUtf8(reinterpret_cast<const char *>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace

CReferenceApp::CReferenceApp(int &argc, char **argv, std::string programPath, CommandLine commandLine)
    : argc_(argc), argv_(argv), programPath_(std::move(programPath)), commandLine_(std::move(commandLine))
{}

CReferenceApp::~CReferenceApp() = default;

std::string CReferenceApp::DataFilePath(const std::string &programPath)
{
    return platform::ProgramFolder(programPath) + std::string(helpdata::kDataFileName);
}

bool CReferenceApp::InitInstance()
{
    const bool named = !commandLine_.dataFile.empty();
    const std::string path = named ? commandLine_.dataFile : DataFilePath(programPath_);
    if (!helpFile_.Open(path)) {
        if (named) {
            std::cerr << "korva-reference: " << path << ": " << helpFile_.OpenFailure() << "\n";
            exitCode_ = 1;
        }
        return false; // the data file beside the program is missing: nothing to show, and nothing is said
    }

    const QString channel = LookupChannelName(CanonicalPath(path));
    const QString command = QString::fromLocal8Bit(commandLine_.command);
    if (!command.isEmpty() && !commandLine_.newWindow && HandOverLookup(channel, command, kHandOverTimeoutMs)) {
        helpFile_.Close();
        return false; // the window open on this file shows it
    }

    // The index is built while the toolkit and the window start; the window takes it as it first shows, before it
    // takes any input. Until then the data file is that work's alone.
    std::future<platform::SortedList> index = BuildIndexAhead(helpFile_);
    auto buffer = std::make_unique<helpdata::ReadBuffer>();

    // The toolkit starts only once there is something to show.
    std::optional<QApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        application.emplace(argc_, argv_);
    }
    QCoreApplication::setApplicationName(QStringLiteral("korva-reference"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVA_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Korva Command Reference"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korva.CommandReference"));

    {
        CReferenceDlg dialog(helpFile_, *buffer);
        dialog.TakeIndexWhenOpen(std::move(index));
        if (!command.isEmpty()) {
            dialog.ShowCommandWhenOpen(command);
        }
        LookupServer server;
        QObject::connect(&server, &LookupServer::lookupRequested, &dialog, [&dialog](const QString &requested) {
            dialog.ShowCommand(requested);
            dialog.BringToFront();
        });
        server.Serve(channel);
        dialog.exec();
    } // the window, and with it any index it never took, is gone before the file closes
    buffer.reset();
    helpFile_.Close();
    return false;
}

} // namespace korva::app
