// SPDX-License-Identifier: MIT
// The data file on a POSIX system.
#pragma once

#include "platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korva::platform {

// Reads are served from a read-ahead window of kReadAhead bytes, so that the readers' 2000-byte chunks cost one
// system call per window rather than one per chunk. A reader starts each read of the file with Seek, and continues
// it with sequential reads and SeekBack; Seek checks the file's identity, size and modification time and drops the
// window when any of them changed, so no reader ever starts on bytes older than the file.
class PosixHelpFile final : public HelpFile
{
public:
    PosixHelpFile() = default;
    ~PosixHelpFile() override;
    PosixHelpFile(const PosixHelpFile &) = delete;
    PosixHelpFile &operator=(const PosixHelpFile &) = delete;

    bool Open(const std::string &path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    void Seek(std::uint32_t offset) override;
    void SeekBack(std::uint32_t count) override;
    std::uint32_t Read(std::span<char> buffer) override;
    std::uint32_t Position() const override { return position_; }
    std::uint32_t Length() const override;

    static constexpr std::size_t kReadAhead = std::size_t{64} * 1024;

private:
    struct Identity
    {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = -1;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Identity &) const = default;
    };
    Identity CurrentIdentity() const;
    void DropWindow();

    int fd_ = -1;
    std::uint32_t position_ = 0;
    // The read-ahead window: bytes [windowStart_, windowStart_ + window_.size()) of the file as it was when read.
    std::vector<char> window_;
    std::uint32_t windowStart_ = 0;
    Identity windowIdentity_;
};

// The full path of the running program (the target of /proc/self/exe), or `fallback` when it cannot be read.
std::string ProgramPath(const std::string &fallback);

// The folder part of a program path, up to and including its last "/"; empty when the path holds none.
std::string ProgramFolder(const std::string &programPath);

} // namespace korva::platform
