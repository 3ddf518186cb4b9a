// SPDX-License-Identifier: MIT
#include "lookup_channel.h"

#include "platform/system_file.h"

#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QTimer>

namespace korva::app {

namespace {

const QByteArray kLookup = QByteArrayLiteral("LOOKUP ");
const QByteArray kAnswer = QByteArrayLiteral("OK\n");

// A sender gets this long to say what it wants; one that says nothing, or too little, is dropped.
constexpr int kSenderTimeoutMs = 1000;
// Claiming a channel takes no longer than this, however busy other launches are.
constexpr int kClaimTimeoutMs = 1000;
// A window that serves the channel accepts a connection at once: the system does it for it.
constexpr int kProbeTimeoutMs = 200;

QString RuntimeFolder()
{
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

// The command of a well-formed message (one line, "LOOKUP " and UTF-8 text without control characters); empty
// otherwise.
QString CommandOf(const QByteArray &message)
{
    if (!message.startsWith(kLookup) || !message.endsWith('\n') || message.count('\n') != 1) {
        return {};
    }
    const QByteArray text = message.mid(kLookup.size(), message.size() - kLookup.size() - 1);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString command = decoder.decode(text);
    if (decoder.hasError()) {
        return {};
    }
    for (const QChar c : command) {
        if (c.category() == QChar::Other_Control) {
            return {};
        }
    }
    return command;
}

} // namespace

QString LookupChannelName(const QString &canonicalDataFile)
{
    const QByteArray key = (QDir::homePath() + QLatin1Char('\n') + canonicalDataFile).toUtf8();
    const QString name =
        QStringLiteral("korva-reference-") +
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
    const QString runtime = RuntimeFolder();
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

bool HandOverLookup(const QString &channel, const QString &command, int timeoutMs)
{
    const QByteArray message = kLookup + command.toUtf8() + '\n';
    if (message.size() > kMaxLookupMessage || CommandOf(message).isEmpty()) {
        return false;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    const auto left = [&] { return std::max(0, timeoutMs - static_cast<int>(elapsed.elapsed())); };

    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(left())) {
        return false;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(left())) {
        return false;
    }
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() <= kAnswer.size() && left() > 0) {
        if (!socket.waitForReadyRead(left())) {
            break;
        }
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

LookupServer::LookupServer(QObject *parent) : QObject(parent)
{
    connect(&server_, &QLocalServer::newConnection, this, &LookupServer::Accept);
}

bool LookupServer::Serve(const QString &channel)
{
    // In the runtime folder only its user reaches the socket; in the temporary folder the socket itself is made so.
    const bool path = QFileInfo(channel).isAbsolute();
    server_.setSocketOptions(path ? QLocalServer::NoOptions : QLocalServer::UserAccessOption);
    const QString folder = path ? QFileInfo(channel).absolutePath() : QDir::tempPath();

    // One launch at a time looks at the channel and claims it: none ever removes a socket another has just made.
    const platform::FolderLock lock(QDir::toNativeSeparators(folder).toStdString(), kClaimTimeoutMs);
    if (!lock.Held()) {
        return false;
    }
    QLocalSocket probe;
    probe.connectToServer(channel);
    if (probe.waitForConnected(kProbeTimeoutMs)) {
        probe.abort();
        return false; // a window serves it
    }
    QLocalServer::removeServer(channel); // what a killed window left behind, if anything
    return server_.listen(channel);
}

void LookupServer::Accept()
{
    while (QLocalSocket *socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        // What the sender said so far; it lives as long as the connections to the socket do.
        auto message = std::make_shared<QByteArray>();
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, message, deadline] {
            *message += socket->readAll();
            if (message->size() > kMaxLookupMessage) {
                socket->abort();
                return;
            }
            if (!message->contains('\n')) {
                return; // more to come, or the deadline
            }
            const QString command = CommandOf(*message);
            if (command.isEmpty()) {
                socket->abort();
                return;
            }
            deadline->stop();
            socket->disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
            emit lookupRequested(command);
            socket->write(kAnswer);
            socket->disconnectFromServer();
        });
        deadline->start(kSenderTimeoutMs);
    }
}

} // namespace korva::app
