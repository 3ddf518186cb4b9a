// SPDX-License-Identifier: MIT
// The hand-over's system services on Windows, where a channel is a named pipe rather than a file in a folder: the
// toolkit makes the pipe with an access list for its user alone, so there is no folder to check and no peer but the
// user's own to tell apart.
#include "owner_only.h"
#include "windows_api.h"

namespace korva::platform {

UserId CurrentUser()
{
    return 0;
}

std::string PrivateFolderProblem(const std::string & /*path*/, UserId /*user*/)
{
    return {};
}

std::optional<std::string> UserFolderUnder(const std::string &base, UserId /*user*/, std::string &problem)
{
    problem.clear();
    return base;
}

std::size_t MaxSocketPathBytes()
{
    return 256; // a pipe name's limit
}

bool IsSocketOwnedBy(const std::string & /*path*/, UserId /*user*/)
{
    return false; // a pipe leaves nothing behind to remove
}

std::optional<UserId> PeerUser(std::intptr_t /*socket*/)
{
    return CurrentUser();
}

bool PeerStillWaits(std::intptr_t socket)
{
    DWORD available = 0;
    return ::PeekNamedPipe(reinterpret_cast<HANDLE>(socket), nullptr, 0, nullptr, &available, nullptr) != 0;
}

FileLock::FileLock(const std::string & /*path*/, int /*timeoutMilliseconds*/) : held_(true) {}

FileLock::~FileLock() = default;

} // namespace korva::platform
