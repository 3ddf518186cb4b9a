// SPDX-License-Identifier: MIT
// Files on a POSIX system.
#include "system_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace korva::platform {

namespace {

int Descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

// What a path that is not a regular file names, in the words a user knows.
std::string DescribeKind(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "is a folder";
    }
    if (S_ISFIFO(mode)) {
        return "is a named pipe (FIFO)";
    }
    if (S_ISCHR(mode)) {
        return "is a character device";
    }
    if (S_ISBLK(mode)) {
        return "is a block device";
    }
    if (S_ISSOCK(mode)) {
        return "is a socket";
    }
    return "is not a regular file";
}

FileIdentity IdentityOfStatus(const struct stat &status)
{
#if defined(__APPLE__)
    const auto &modified = status.st_mtimespec;
#else
    const auto &modified = status.st_mtim;
#endif
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_size < 0 ? 0 : status.st_size),
            static_cast<std::int64_t>(modified.tv_sec) * 1000000000 + static_cast<std::int64_t>(modified.tv_nsec)};
}

} // namespace

bool SystemFile::Open(const std::string &path, std::string *reason)
{
    Close();
    // Without O_NONBLOCK, opening a named pipe waits for a writer, for ever if none comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (reason != nullptr) {
            *reason = std::strerror(errno);
        }
        return false;
    }
    struct stat status
    {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (reason != nullptr) {
            *reason = DescribeKind(status.st_mode);
        }
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle_ = fd;
    ownsHandle_ = true;
    return true;
}

void SystemFile::OpenStandardInput()
{
    Close();
    handle_ = STDIN_FILENO;
    ownsHandle_ = false;
}

void SystemFile::Close()
{
    if (handle_ != kNoHandle && ownsHandle_) {
        ::close(Descriptor(handle_));
    }
    handle_ = kNoHandle;
}

std::size_t SystemFile::ReadAt(std::uint64_t offset, std::span<char> buffer) const
{
    if (handle_ == kNoHandle) {
        return 0;
    }
    std::size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t count =
            ::pread(Descriptor(handle_), buffer.data() + got, buffer.size() - got, static_cast<off_t>(offset + got));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        got += static_cast<std::size_t>(count);
    }
    return got;
}

std::optional<std::size_t> SystemFile::Read(std::span<char> buffer, std::string *reason)
{
    if (handle_ == kNoHandle) {
        return 0;
    }
    for (;;) {
        const ssize_t count = ::read(Descriptor(handle_), buffer.data(), buffer.size());
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            if (reason != nullptr) {
                *reason = std::strerror(errno);
            }
            return std::nullopt;
        }
    }
}

FileIdentity SystemFile::Identity() const
{
    struct stat status
    {};
    if (handle_ == kNoHandle || ::fstat(Descriptor(handle_), &status) != 0) {
        return {};
    }
    return IdentityOfStatus(status);
}

std::optional<FileIdentity> SystemFile::IdentityOf(const std::string &path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return IdentityOfStatus(status);
}

std::string ProgramPath(const std::string &fallback)
{
#if defined(__APPLE__)
    char path[4096];
    std::uint32_t size = sizeof path;
    if (_NSGetExecutablePath(path, &size) == 0) {
        std::error_code error;
        const auto resolved = std::filesystem::canonical(path, error);
        return error ? std::string(path) : resolved.string();
    }
    return fallback;
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? fallback : path.string();
#endif
}

void UseBinaryStandardStreams() {}

std::string ProgramFolder(const std::string &programPath)
{
    const auto separator = programPath.rfind('/');
    return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

} // namespace korva::platform
