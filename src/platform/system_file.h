// SPDX-License-Identifier: MIT
// Files on the system the program runs on: a read-only handle and the program's own path. One implementation per
// system, chosen when the program is built (system_file_posix.cpp, system_file_windows.cpp); nothing above this
// header calls the system's file functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace korva::platform {

// What tells one state of a file from another: which file it is, its size and when it was last written.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t file = 0; // inode, or the file index within the volume
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds, or the system's own unit
    bool operator==(const FileIdentity &) const = default;
    bool SameFile(const FileIdentity &other) const { return device == other.device && file == other.file; }
};

// A file opened for reading only.
class SystemFile
{
public:
    SystemFile() = default;
    ~SystemFile();
    SystemFile(SystemFile &&other) noexcept;
    SystemFile &operator=(SystemFile &&other) noexcept;
    SystemFile(const SystemFile &) = delete;
    SystemFile &operator=(const SystemFile &) = delete;

    // Opens the regular file at `path` (UTF-8). It never waits: a named pipe, a device or a folder is refused at
    // once. On failure yields false and, in `reason`, what is wrong ("No such file or directory", "is a folder",
    // "is a named pipe (FIFO)"...).
    bool Open(const std::string &path, std::string *reason = nullptr);
    // Takes the program's standard input, whatever it is, for sequential reads.
    void OpenStandardInput();
    bool IsOpen() const { return handle_ != kNoHandle; }
    void Close();

    // Reads up to `buffer.size()` bytes from `offset`; yields the count, 0 at the end or on a failing read.
    std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) const;
    // Reads the next bytes; yields the count, 0 at the end, nothing on a failing read (then `reason` says why).
    std::optional<std::size_t> Read(std::span<char> buffer, std::string *reason = nullptr);

    // The open file as it is now; a default identity when it cannot be told.
    FileIdentity Identity() const;
    // What `path` names now, if it names a file.
    static std::optional<FileIdentity> IdentityOf(const std::string &path);

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle; // a file descriptor or a HANDLE
    bool ownsHandle_ = true;
};

// The full path of the running program, or `fallback` when the system cannot tell it.
std::string ProgramPath(const std::string &fallback);

// Makes the standard streams carry bytes as they are, where the system would otherwise turn LF into CR LF.
void UseBinaryStandardStreams();

// The folder part of a program path, up to and including its last separator ("/", and "\" on Windows); empty when
// the path holds none.
std::string ProgramFolder(const std::string &programPath);

} // namespace korva::platform
