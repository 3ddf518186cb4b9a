// SPDX-License-Identifier: MIT
#include "reference_app.h"

#include "helpdata/format.h"
#include "helpdata/read_buffer.h"
#include "index_ahead.h"
#include "lookup_channel.h"
#include "platform/console.h"
#include "reference_dlg.h"
#include "translations.h"

#include <cstdlib>
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

// Why the window cannot open here, or empty: on a system whose windows need a display server, there is none to reach
// unless DISPLAY or WAYLAND_DISPLAY names one or the toolkit is told of another platform.
std::string DisplayProblem(int argc, char **argv)
{
#if defined(__APPLE__) || defined(_WIN32)
    return {};
#else
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return {};
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=") ||
            argument.starts_with("--platform=")) {
            return {};
        }
    }
    return "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open; "
           "--print, --list and --apropos work without one";
#endif
}

QtMessageHandler toolkitMessages = nullptr;

// The toolkit's own report when it cannot reach the display it was given, which it would end with an abort.
void ReportUnreachableDisplay(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (toolkitMessages != nullptr) {
            toolkitMessages(type, context, message);
        }
        return;
    }
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    std::cerr << "korva-reference: the display" << (display.isEmpty() ? "" : " ") << display.toLocal8Bit().toStdString()
              << " cannot be opened, so the window cannot open\n";
    std::cerr.flush();
    std::_Exit(1);
}

void StartToolkit(std::optional<QApplication> &application, int &argc, char **argv)
{
    toolkitMessages = qInstallMessageHandler(ReportUnreachableDisplay);
    application.emplace(argc, argv);
    qInstallMessageHandler(toolkitMessages);
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
            std::cerr << "korva-reference: " << platform::QuotedPath(path) << ": " << helpFile_.OpenFailure() << "\n";
            exitCode_ = 1;
        }
        return false; // the data file beside the program is missing: nothing to show, and nothing is said
    }

    // A folder that fails its check is never used, and the launch says why; a folder not made yet is no fault.
    const LookupChannel channel = LookupChannelFor(CanonicalPath(path));
    for (const QString &problem : channel.problems) {
        std::cerr << "korva-reference: "
                  << (channel.Usable() ? "a folder is not used for the hand-over between windows: "
                                       : "no hand-over between windows: ")
                  << platform::ShownArgument(problem.toStdString()) << "\n";
    }
    const QString command = QString::fromLocal8Bit(commandLine_.command);
    if (!command.isEmpty() && !commandLine_.newWindow && HandOverLookup(channel, command, kHandOverTimeoutMs)) {
        helpFile_.Close();
        return false; // the window open on this file shows it
    }

    // The index is built while the toolkit and the window start; the window takes it as it first shows, before it
    // takes any input. Until then the data file is that work's alone.
    std::future<platform::SortedList> index = BuildIndexAhead(helpFile_);
    auto buffer = std::make_unique<helpdata::ReadBuffer>();

    // The toolkit starts only once there is something to show, and only where there is a display to show it on.
    std::optional<QApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        if (const std::string problem = DisplayProblem(argc_, argv_); !problem.empty()) {
            std::cerr << "korva-reference: " << problem << "\n";
            exitCode_ = 1;
            return false;
        }
        StartToolkit(application, argc_, argv_);
    }
    QCoreApplication::setApplicationName(QStringLiteral("korva-reference"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVA_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Korva Command Reference"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korva.CommandReference"));
    InstallTranslations(QLocale());

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
        if (!server.Serve(channel) && !server.Problem().isEmpty()) {
            std::cerr << "korva-reference: no hand-over between windows: "
                      << platform::ShownArgument(server.Problem().toStdString()) << "\n";
        }
        dialog.exec();
    } // the window, and with it any index it never took, is gone before the file closes
    buffer.reset();
    helpFile_.Close();
    return false;
}

} // namespace korva::app
