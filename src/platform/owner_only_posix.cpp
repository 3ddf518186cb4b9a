// SPDX-License-Identifier: MIT
// The hand-over's system services on a POSIX system.
#include "owner_only.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace korva::platform {

namespace {

// The folder's permission bits that let anyone but its owner in.
constexpr mode_t kOpenToOthers = S_IRWXG | S_IRWXO;
// How often a launch waiting for the lock tries it again: the work the lock guards takes a few milliseconds.
constexpr auto kLockRetry = std::chrono::milliseconds(2);

} // namespace

UserId CurrentUser()
{
    return static_cast<UserId>(::geteuid());
}

std::string PrivateFolderProblem(const std::string &path, UserId user)
{
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) != 0) {
        return path + ": " + std::strerror(errno);
    }
    if (S_ISLNK(status.st_mode)) {
        return path + " is a symbolic link";
    }
    if (!S_ISDIR(status.st_mode)) {
        return path + " is not a folder";
    }
    if (static_cast<UserId>(status.st_uid) != user) {
        return path + " belongs to another user (uid " + std::to_string(status.st_uid) + ")";
    }
    if ((status.st_mode & kOpenToOthers) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        return path + " is open to other users (mode " + mode + ", not 0700)";
    }
    return {};
}

std::optional<std::string> UserFolderUnder(const std::string &base, UserId user, std::string &problem)
{
    const std::string folder =
        (base.empty() || base.back() == '/' ? base : base + "/") + "korva-reference-" + std::to_string(user);
    // mkdir never follows a link at the last component, and fails on anything already there: what is there is
    // checked below, whoever made it.
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        problem = folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    problem = PrivateFolderProblem(folder, user);
    if (!problem.empty()) {
        return std::nullopt;
    }
    return folder;
}

std::size_t MaxSocketPathBytes()
{
    return sizeof(sockaddr_un::sun_path) - 1; // its terminating NUL
}

bool IsSocketOwnedBy(const std::string &path, UserId user)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) &&
           static_cast<UserId>(status.st_uid) == user;
}

std::optional<UserId> PeerUser(std::intptr_t socket)
{
    const int fd = static_cast<int>(socket);
    if (fd < 0) {
        return std::nullopt;
    }
#if defined(SO_PEERCRED)
    struct ucred credentials
    {};
    socklen_t size = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials) {
        return std::nullopt;
    }
    return static_cast<UserId>(credentials.uid);
#else
    uid_t peer = 0;
    gid_t group = 0;
    if (::getpeereid(fd, &peer, &group) != 0) {
        return std::nullopt;
    }
    return static_cast<UserId>(peer);
#endif
}

bool PeerStillWaits(std::intptr_t socket)
{
    const int fd = static_cast<int>(socket);
    if (fd < 0) {
        return false;
    }
#if defined(POLLRDHUP)
    pollfd watched{fd, POLLRDHUP, 0};
    if (::poll(&watched, 1, 0) < 0) {
        return false;
    }
    return (watched.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) == 0;
#else
    // Without POLLRDHUP: a peer that closed reads as the end of the stream once the bytes it sent are read.
    pollfd watched{fd, POLLIN, 0};
    if (::poll(&watched, 1, 0) < 0 || (watched.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return false;
    }
    char byte = 0;
    return (watched.revents & POLLIN) == 0 || ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0;
#endif
}

FileLock::FileLock(const std::string &path, int timeoutMilliseconds)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return;
    }
    handle_ = fd;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!(held_ = ::flock(fd, LOCK_EX | LOCK_NB) == 0) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kLockRetry);
    }
}

FileLock::~FileLock()
{
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_)); // drops the lock with it
    }
}

} // namespace korva::platform
