// SPDX-License-Identifier: MIT
// What the hand-over between windows needs of the system to stay the user's own on a shared machine: a folder only
// the user can reach, a lock inside it, and the user at the other end of a local socket. One implementation per
// system (owner_only_posix.cpp, owner_only_windows.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korva::platform {

using UserId = std::uint32_t;

// The user the program runs as.
UserId CurrentUser();

// Why `path` is no folder that only `user` can reach, or empty when it is one: looked at without following a link,
// it must be a folder (not a link to one), owned by `user`, with no permission for its group or anyone else.
std::string PrivateFolderProblem(const std::string &path, UserId user);

// The folder of `user`'s own under the shared folder `base` (`base`/korva-reference-UID): made with mode 0700 when
// missing, then checked as PrivateFolderProblem checks it. Nothing, and in `problem` why, when it cannot be made or
// fails the check; it is never used then.
std::optional<std::string> UserFolderUnder(const std::string &base, UserId user, std::string &problem);

// The system's longest path of a local socket, in bytes.
std::size_t MaxSocketPathBytes();

// True when `path` names, without following a link, a socket that `user` owns: the only kind of file the program
// ever removes from a channel folder.
bool IsSocketOwnedBy(const std::string &path, UserId user);

// The user at the other end of the connected local socket `socket` (a descriptor); nothing when it cannot be told.
std::optional<UserId> PeerUser(std::intptr_t socket);

// True while the other end of the connected local socket `socket` has not closed or shut down its side: a sender that
// still waits for an answer.
bool PeerStillWaits(std::intptr_t socket);

// An exclusive lock on the file `path`, made with mode 0600 when missing and never through a link, among the programs
// that take it; held until it is dropped or the program ends. The work it guards is short, so taking it gives up
// after a time.
class FileLock
{
public:
    FileLock(const std::string &path, int timeoutMilliseconds);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool Held() const { return held_; }

private:
    std::intptr_t handle_ = -1;
    bool held_ = false;
};

} // namespace korva::platform
