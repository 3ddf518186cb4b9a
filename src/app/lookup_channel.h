// SPDX-License-Identifier: MIT
// The hand-over of a lookup between launches. A window open on a data file serves the lookups of later launches on
// the same file, by the same user, through a local socket; a launch with a COMMAND hands it over instead of opening a
// second window. A message is one line, "LOOKUP " and the command in UTF-8, of at most kMaxLookupMessage bytes; the
// window answers "OK" once it shows the command.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace korva::app {

inline constexpr int kMaxLookupMessage = 1024;

// The channel for a data file, one per user and file: in the user's runtime folder where there is one (a path),
// otherwise a name the toolkit places in the temporary folder.
QString LookupChannelName(const QString &canonicalDataFile);

// Hands `command` to the window that serves `channel`. True when that window answered within `timeoutMs` that it
// shows the command; false when none serves, it did not answer in time, or the command is too long to hand over.
bool HandOverLookup(const QString &channel, const QString &command, int timeoutMs);

class LookupServer final : public QObject
{
    Q_OBJECT

public:
    explicit LookupServer(QObject *parent = nullptr);

    // Serves `channel` unless a window already does. A socket left behind by a window that was killed is removed
    // first. Launches that start at the same moment take turns, so that two never both serve one channel. Yields
    // whether this one now serves it.
    bool Serve(const QString &channel);

signals:
    // A well-formed lookup arrived; the window shows `command` before the sender hears back.
    void lookupRequested(const QString &command);

private:
    void Accept();

    QLocalServer server_;
};

} // namespace korva::app
