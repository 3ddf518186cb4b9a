// SPDX-License-Identifier: MIT
#include "posix_help_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace korva::platform {

namespace {

// No byte at or beyond this offset is ever shown: offsets are 32-bit.
constexpr std::uint64_t kOffsetLimit = std::numeric_limits<std::uint32_t>::max();

} // namespace

PosixHelpFile::~PosixHelpFile()
{
    Close();
}

bool PosixHelpFile::Open(const std::string &path)
{
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status
    {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) { // a folder of that name is no data file
        ::close(fd);
        return false;
    }
    fd_ = fd;
    position_ = 0;
    return true;
}

void PosixHelpFile::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    position_ = 0;
    DropWindow();
}

PosixHelpFile::Identity PosixHelpFile::CurrentIdentity() const
{
    struct stat status
    {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
        return {};
    }
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_size), static_cast<std::int64_t>(status.st_mtim.tv_sec),
            static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

void PosixHelpFile::DropWindow()
{
    window_.clear();
    windowStart_ = 0;
}

void PosixHelpFile::Seek(std::uint32_t offset)
{
    position_ = offset;
    if (!window_.empty() && CurrentIdentity() != windowIdentity_) {
        DropWindow();
    }
}

void PosixHelpFile::SeekBack(std::uint32_t count)
{
    position_ = count < position_ ? position_ - count : 0; // a continuation: the window stays
}

std::uint32_t PosixHelpFile::Read(std::span<char> buffer)
{
    if (fd_ < 0) {
        return 0;
    }
    const std::uint64_t room = kOffsetLimit - position_;
    const std::size_t wanted = buffer.size() < room ? buffer.size() : static_cast<std::size_t>(room);

    const std::uint64_t windowEnd = std::uint64_t{windowStart_} + window_.size();
    if (position_ < windowStart_ || position_ + std::uint64_t{wanted} > windowEnd) {
        // Refill the window from the position; a window that ends short marks the end of the file.
        windowIdentity_ = CurrentIdentity();
        const std::size_t size = std::min<std::uint64_t>(std::max(kReadAhead, wanted), kOffsetLimit - position_);
        window_.resize(size);
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::pread(fd_, window_.data() + got, size - got, static_cast<off_t>(position_ + got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        window_.resize(got);
        windowStart_ = position_;
    }
    const std::size_t from = position_ - windowStart_;
    const std::size_t count = std::min(wanted, window_.size() - from);
    std::copy_n(window_.data() + from, count, buffer.data());
    position_ += static_cast<std::uint32_t>(count);
    return static_cast<std::uint32_t>(count);
}

std::uint32_t PosixHelpFile::Length() const
{
    struct stat status
    {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0 || status.st_size < 0) {
        return 0;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    return static_cast<std::uint32_t>(size < kOffsetLimit ? size : kOffsetLimit);
}

std::string ProgramPath(const std::string &fallback)
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? fallback : path.string();
}

std::string ProgramFolder(const std::string &programPath)
{
    const auto separator = programPath.rfind('/');
    return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

} // namespace korva::platform
