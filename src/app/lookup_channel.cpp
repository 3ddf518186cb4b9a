// SPDX-License-Identifier: MIT
#include "lookup_channel.h"

#include "platform/qt/controls.h"
#include "platform/unicode.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

namespace korva::app {

namespace {

const QByteArray kLookup = QByteArrayLiteral("LOOKUP ");
const QByteArray kShownReply = QByteArrayLiteral("OK\n");

// A sender gets this long to say what it wants; one that says nothing, or too little, is dropped.
constexpr int kSenderTimeoutMs = 1000;
// Claiming a channel takes no longer than this, however busy other launches are.
constexpr int kClaimTimeoutMs = 1000;
// A window that serves the channel accepts a connection at once: the system does it for it.
constexpr int kProbeTimeoutMs = 200;

// The lock that serialises claiming a channel, inside the user's own folder.
constexpr auto kLockName = "korva-reference.lock";

std::string Native(const QString &path)
{
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

QString FromNative(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The hex digits of the data file's hash a socket's name keeps: 64 bits, too many for two references to share by
// chance, and few enough to leave room within the system's limit on a socket's path.
constexpr int kSocketHashDigits = 16;

// The socket's name in its folder: the hash of the data file's path, after the program's name where the system's
// limit on a socket's path leaves room for it.
QString SocketPath(const QString &folder, const QString &canonicalDataFile)
{
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(canonicalDataFile.toUtf8(), QCryptographicHash::Sha256)
                                .toHex()
                                .left(kSocketHashDigits));
    for (const QString &name : {QStringLiteral("korva-reference-") + hash, hash}) {
        QString path = QDir(folder).filePath(name);
        if (static_cast<std::size_t>(QFile::encodeName(path).size()) <= platform::MaxSocketPathBytes()) {
            return path;
        }
    }
    return {};
}

// True when a window answers at `path`.
bool WindowListensAt(const QString &path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool answers = probe.waitForConnected(kProbeTimeoutMs);
    probe.abort();
    return answers;
}

} // namespace

LookupChannel LookupChannelFor(const QString &canonicalDataFile)
{
    return LookupChannelIn(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), canonicalDataFile);
}

LookupChannel LookupChannelIn(const QString &runtimeFolder, const QString &temporaryFolder,
                              const QString &canonicalDataFile)
{
    LookupChannel channel;
    const platform::UserId user = platform::CurrentUser();
    std::vector<LookupPlace> places;
    const auto placeIn = [&](const QString &folder) {
        const QString path = SocketPath(folder, canonicalDataFile);
        if (path.isEmpty()) {
            channel.problems << QStringLiteral("the socket's path in %1 would be longer than the system's limit of %2 "
                                               "bytes")
                                    .arg(folder)
                                    .arg(platform::MaxSocketPathBytes());
            return;
        }
        places.push_back({folder, path});
    };
    // The runtime folder when it is there and the user's own; a runtime folder not made yet is no fault.
    if (!runtimeFolder.isEmpty() && QFileInfo::exists(runtimeFolder)) {
        const std::string problem = platform::PrivateFolderProblem(Native(runtimeFolder), user);
        if (problem.empty()) {
            placeIn(runtimeFolder);
        } else {
            channel.problems << FromNative(problem);
        }
    }
    // The folder of the user's own in the temporary folder, always: where a window serves that started before the
    // runtime folder was made, and where every window serves without one.
    std::string problem;
    if (temporaryFolder.isEmpty()) {
        // No temporary folder given: the runtime folder alone.
    } else if (const auto folder = platform::UserFolderUnder(Native(temporaryFolder), user, problem)) {
        placeIn(FromNative(*folder));
    } else {
        channel.problems << FromNative(problem);
    }
    if (!places.empty()) {
        channel.folder = places.front().folder;
        channel.path = places.front().path;
        channel.elsewhere.assign(places.begin() + 1, places.end());
    }
    return channel;
}

QByteArray LookupMessage(const QString &command)
{
    const QByteArray message = kLookup + command.toUtf8() + '\n';
    return message.size() <= kMaxLookupMessage && !CommandOfMessage(message).isEmpty() ? message : QByteArray();
}

QString CommandOfMessage(const QByteArray &message)
{
    if (!message.startsWith(kLookup) || !message.endsWith('\n') || message.count('\n') != 1) {
        return {};
    }
    const QByteArray text = message.mid(kLookup.size(), message.size() - kLookup.size() - 1);
    const std::optional<std::u16string> decoded =
        platform::StrictUtf16OfUtf8(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!decoded) {
        return {};
    }
    QString command = platform::qt::ToQString(*decoded);
    for (const QChar c : std::as_const(command)) {
        if (c.category() == QChar::Other_Control) {
            return {};
        }
    }
    return command;
}

bool HandOverLookup(const LookupChannel &channel, const QString &command, int timeoutMs, platform::UserId trustedUser)
{
    const QByteArray message = LookupMessage(command);
    if (message.isEmpty() || !channel.Usable()) {
        return false;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    const auto left = [&] { return std::max(0, timeoutMs - static_cast<int>(elapsed.elapsed())); };

    // The place where a window of the user's serves: the channel's own, or where a window that opened before it
    // could not be used serves.
    QLocalSocket socket;
    bool connected = false;
    for (const LookupPlace &place : channel.Places()) {
        if (!platform::PrivateFolderProblem(Native(place.folder), trustedUser).empty()) {
            continue; // a folder that has changed hands is never used
        }
        socket.connectToServer(place.path);
        connected = socket.waitForConnected(std::min(left(), kProbeTimeoutMs));
        if (connected) {
            break;
        }
        socket.abort();
    }
    if (!connected) {
        return false;
    }
    if (platform::PeerUser(socket.socketDescriptor()) != trustedUser) {
        socket.abort(); // not the user's own window: it hears nothing
        return false;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(left())) {
        return false;
    }
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() <= kShownReply.size() && left() > 0) {
        if (!socket.waitForReadyRead(left())) {
            break;
        }
        answer += socket.readAll();
    }
    return answer == kShownReply;
}

LookupServer::LookupServer(QObject *parent) : QObject(parent), trustedUser_(platform::CurrentUser())
{
    connect(&server_, &QLocalServer::newConnection, this, &LookupServer::Accept);
    retry_.setInterval(kRetryIntervalMs);
    connect(&retry_, &QTimer::timeout, this, &LookupServer::TryToServe);
}

bool LookupServer::Serve(const LookupChannel &channel)
{
    retry_.stop();
    server_.close();
    channel_ = channel;
    if (!channel_.Usable()) {
        return false;
    }
    if (TryToServe()) {
        return true;
    }
    if (problem_.isEmpty()) {
        retry_.start();
    }
    return false;
}

bool LookupServer::TryToServe()
{
    // The folder is looked at again before every use: a folder that has changed hands is never used. A window of the
    // user's that serves at another of the channel's places keeps serving there: every launch looks there too.
    const std::string folder = Native(channel_.folder);
    const std::vector<LookupPlace> places = channel_.Places();
    if (!platform::PrivateFolderProblem(folder, platform::CurrentUser()).empty() ||
        std::any_of(places.begin(), places.end(), [](const LookupPlace &place) {
            return platform::PrivateFolderProblem(Native(place.folder), platform::CurrentUser()).empty() &&
                   WindowListensAt(place.path);
        })) {
        return false;
    }
    // One launch at a time looks at the channel and claims it: none ever removes a socket another has just made.
    const platform::FileLock lock(Native(QDir(channel_.folder).filePath(QString::fromLatin1(kLockName))),
                                  kClaimTimeoutMs);
    if (!lock.Held() || WindowListensAt(channel_.path)) {
        return false;
    }
    const std::string path = Native(channel_.path);
    if (QFileInfo::exists(channel_.path) || QFileInfo(channel_.path).isSymLink()) {
        if (!platform::IsSocketOwnedBy(path, platform::CurrentUser())) {
            problem_ = channel_.path + QStringLiteral(" is not a socket of this user's: it is left alone");
            retry_.stop();
            return false;
        }
        QFile::remove(channel_.path); // what a killed window left behind
    }
    server_.setSocketOptions(QLocalServer::NoOptions); // the folder keeps everyone else out
    const bool serving = server_.listen(channel_.path);
    if (serving) {
        retry_.stop();
    }
    return serving;
}

void LookupServer::Accept()
{
    while (QLocalSocket *socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (platform::PeerUser(socket->socketDescriptor()) != trustedUser_) {
            socket->abort(); // another user's launch: nothing it says is read
            continue;
        }
        // What the sender said so far; it lives as long as the connections to the socket do.
        auto message = std::make_shared<QByteArray>();
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, message, deadline] {
            *message += socket->readAll();
            if (message->size() > kMaxLookupMessage) {
                socket->abort();
                return;
            }
            if (!message->contains('\n')) {
                return; // more to come, or the deadline
            }
            deadline->stop();
            socket->disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
            CarryOut(socket, *message);
        });
        deadline->start(kSenderTimeoutMs);
    }
}

void LookupServer::CarryOut(QLocalSocket *socket, const QByteArray &message)
{
    const QString command = CommandOfMessage(message);
    // A sender that gave up waiting has opened a window of its own: acting on its lookup would show it twice.
    if (command.isEmpty() || socket->state() != QLocalSocket::ConnectedState ||
        !platform::PeerStillWaits(socket->socketDescriptor())) {
        socket->abort();
        return;
    }
    emit lookupRequested(command);
    socket->write(kShownReply);
    socket->disconnectFromServer();
}

} // namespace korva::app
