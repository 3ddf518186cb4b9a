// SPDX-License-Identifier: MIT
// What every system's files share; the rest is in system_file_posix.cpp and system_file_windows.cpp.
#include "system_file.h"

namespace korva::platform {

SystemFile::~SystemFile()
{
    Close();
}

SystemFile::SystemFile(SystemFile &&other) noexcept : handle_(other.handle_), ownsHandle_(other.ownsHandle_)
{
    other.handle_ = kNoHandle;
}

SystemFile &SystemFile::operator=(SystemFile &&other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        ownsHandle_ = other.ownsHandle_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

} // namespace korva::platform
