// The data file on a POSIX system.
#pragma once

#include "platform.h"

#include <string>

namespace korva::platform {

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

private:
    int fd_ = -1;
    std::uint32_t position_ = 0;
};

// The full path of the running program (the target of /proc/self/exe), or `fallback` when it cannot be read.
std::string ProgramPath(const std::string &fallback);

// The folder part of a program path, up to and including its last "/"; empty when the path holds none.
std::string ProgramFolder(const std::string &programPath);

} // namespace korva::platform
