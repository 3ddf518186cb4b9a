// SPDX-License-Identifier: MIT
// The hand-over of a lookup between launches. A window open on a data file serves the lookups of later launches on
// the same file, by the same user, through a local socket; a launch with a COMMAND hands it over instead of opening a
// second window. A message is one line, "LOOKUP " and the command in UTF-8, of at most kMaxLookupMessage bytes; the
// window answers "OK" once it shows the command.
//
// The socket, and the lock that serialises claiming it, live in a folder only the user can reach: the runtime folder
// (XDG_RUNTIME_DIR) when it is there and the user's own, closed to others, otherwise korva-reference-UID in the
// temporary folder, made for the purpose. A launch looks in both, so that a window that opened before the runtime
// folder was made is found all the same. The folder is checked before every use, and both ends check that the other
// runs as the same user. Another local user can neither receive, answer nor block a lookup.
#pragma once

#include "platform/owner_only.h"

#include <vector>

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace korva::app {

inline constexpr int kMaxLookupMessage = 1024;

// A place where a window can serve the lookups: a socket in a folder only the user can reach.
struct LookupPlace
{
    QString folder;
    QString path;
};

// Where the lookups on one data file go, or why they cannot.
struct LookupChannel
{
    QString folder; // the folder only the user can reach, where a window opened now serves
    QString path;   // the socket in it; empty when there is no hand-over
    // The channel's other places, where a window that opened before the runtime folder was there serves: a launch
    // looks there too, and a window serves only while no other serves at any of them.
    std::vector<LookupPlace> elsewhere;
    // Why a folder is not used: one a line, each naming the folder.
    QStringList problems;
    bool Usable() const { return !path.isEmpty(); }
    // Every place, the channel's own first.
    std::vector<LookupPlace> Places() const
    {
        std::vector<LookupPlace> places{{folder, path}};
        places.insert(places.end(), elsewhere.begin(), elsewhere.end());
        return places;
    }
};

// The channel for a data file (its canonical path), one per user and file.
LookupChannel LookupChannelFor(const QString &canonicalDataFile);
// The same, with the runtime folder (empty when unset) and the temporary folder given.
LookupChannel LookupChannelIn(const QString &runtimeFolder, const QString &temporaryFolder,
                              const QString &canonicalDataFile);

// The message that hands `command` over; empty when it cannot be sent (too long, or holding a control character).
QByteArray LookupMessage(const QString &command);
// The command of a well-formed message (one line, "LOOKUP " and UTF-8 text without control characters); empty
// otherwise.
QString CommandOfMessage(const QByteArray &message);

// Hands `command` to the window that serves `channel`, when it runs as `trustedUser`. True when that window answered
// within `timeoutMs` that it shows the command; false when none serves, another user's does, it did not answer in
// time, or the command cannot be handed over.
bool HandOverLookup(const LookupChannel &channel, const QString &command, int timeoutMs,
                    platform::UserId trustedUser = platform::CurrentUser());

class LookupServer final : public QObject
{
    Q_OBJECT

public:
    // How often a window that does not serve looks whether the channel is free, so that it takes over when the
    // serving window closes or dies.
    static constexpr int kRetryIntervalMs = 1500;

    explicit LookupServer(QObject *parent = nullptr);

    // Serves `channel` unless a window already does; then tries again every retry interval until it serves. A socket
    // left behind by a window that was killed is removed first (one of this user's own, never another's). Launches
    // that start at the same moment take turns, so that two never both serve one channel. Yields whether this one
    // serves it now.
    bool Serve(const LookupChannel &channel);
    bool Serving() const { return server_.isListening(); }
    // Why the channel cannot be served at all (a file of another user's where the socket would be), once known.
    const QString &Problem() const { return problem_; }
    // Lookups are taken from `user`'s launches only: the program's own user unless a test says otherwise.
    void TrustUser(platform::UserId user) { trustedUser_ = user; }
    void SetRetryInterval(int milliseconds) { retry_.setInterval(milliseconds); }

signals:
    // A well-formed lookup arrived from a sender that still waits; the window shows `command` before the sender hears
    // back.
    void lookupRequested(const QString &command);

private:
    bool TryToServe();
    void Accept();
    // Shows the command of a well-formed lookup whose sender still waits, then replies that it is shown.
    void CarryOut(class QLocalSocket *socket, const QByteArray &message);

    QLocalServer server_;
    QTimer retry_;
    LookupChannel channel_;
    QString problem_;
    platform::UserId trustedUser_;
};

} // namespace korva::app
