// SPDX-License-Identifier: MIT
// Files on Windows. Paths are UTF-8 in the program and UTF-16 for the system.
#include "system_file.h"
#include "windows_api.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace korva::platform {

namespace {

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::wstring Wide(const std::string &utf8)
{
    if (utf8.empty()) {
        return {};
    }
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Utf8(const std::wstring &wide)
{
    if (wide.empty()) {
        return {};
    }
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

// The system's error in the words the POSIX build uses for the common ones.
std::string DescribeError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return "No such file or directory";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    default:
        break;
    }
    wchar_t *text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : Utf8(message);
}

FileIdentity IdentityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) {
        return {};
    }
    return {information.dwVolumeSerialNumber,
            (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
            (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow,
            static_cast<std::int64_t>((std::uint64_t{information.ftLastWriteTime.dwHighDateTime} << 32) |
                                      information.ftLastWriteTime.dwLowDateTime)};
}

// Others may write, replace or delete the file while the program reads it, as on any other system.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

bool SystemFile::Open(const std::string &path, std::string *reason)
{
    Close();
    const std::wstring wide = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (reason != nullptr) {
            *reason = "is a folder";
        }
        return false;
    }
    const HANDLE handle =
        ::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (reason != nullptr) {
            *reason = DescribeError(::GetLastError());
        }
        return false;
    }
    const DWORD type = ::GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
        if (reason != nullptr) {
            *reason = type == FILE_TYPE_PIPE   ? "is a named pipe"
                      : type == FILE_TYPE_CHAR ? "is a character device"
                                               : "is not a regular file";
        }
        ::CloseHandle(handle);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    ownsHandle_ = true;
    return true;
}

void SystemFile::OpenStandardInput()
{
    Close();
    handle_ = reinterpret_cast<std::intptr_t>(::GetStdHandle(STD_INPUT_HANDLE));
    ownsHandle_ = false;
}

void SystemFile::Close()
{
    if (handle_ != kNoHandle && ownsHandle_) {
        ::CloseHandle(Handle(handle_));
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
        OVERLAPPED at{};
        const std::uint64_t position = offset + got;
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - got, 1u << 30));
        DWORD count = 0;
        if (!::ReadFile(Handle(handle_), buffer.data() + got, wanted, &count, &at) || count == 0) {
            break;
        }
        got += count;
    }
    return got;
}

std::optional<std::size_t> SystemFile::Read(std::span<char> buffer, std::string *reason)
{
    if (handle_ == kNoHandle) {
        return 0;
    }
    DWORD count = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
    if (!::ReadFile(Handle(handle_), buffer.data(), wanted, &count, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
            return 0; // the writer of a pipe has gone: the end
        }
        if (reason != nullptr) {
            *reason = DescribeError(error);
        }
        return std::nullopt;
    }
    return count;
}

FileIdentity SystemFile::Identity() const
{
    return handle_ == kNoHandle ? FileIdentity{} : IdentityOfHandle(Handle(handle_));
}

std::optional<FileIdentity> SystemFile::IdentityOf(const std::string &path)
{
    const HANDLE handle =
        ::CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const FileIdentity identity = IdentityOfHandle(handle);
    ::CloseHandle(handle);
    return identity;
}

std::string ProgramPath(const std::string &fallback)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return fallback;
        }
        if (length < path.size()) {
            path.resize(length);
            return Utf8(path);
        }
        path.resize(path.size() * 2);
    }
}

void UseBinaryStandardStreams()
{
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::_setmode(::_fileno(stdin), _O_BINARY);
}

std::string ProgramFolder(const std::string &programPath)
{
    const auto separator = programPath.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

} // namespace korva::platform
