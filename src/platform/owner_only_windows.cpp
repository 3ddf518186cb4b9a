// SPDX-License-Identifier: MIT
// The hand-over's system services on Windows, where they are not built yet. A channel there would be a named pipe,
// and a window that serves would have to be the pipe's first instance and check each peer's user by its SID; until
// that is built and tested there, the hand-over is unavailable, as it is where a folder fails its check: every
// window serves alone, and a launch says why.
#include "owner_only.h"
#include "windows_api.h"

namespace korva::platform {

namespace {

constexpr auto kUnavailable = "the hand-over between windows is not available on Windows yet: each window opens alone";

} // namespace

UserId CurrentUser()
{
    return 0;
}

std::string PrivateFolderProblem(const std::string & /*path*/, UserId /*user*/)
{
    return kUnavailable;
}

std::optional<std::string> UserFolderUnder(const std::string & /*base*/, UserId /*user*/, std::string &problem)
{
    problem = kUnavailable;
    return std::nullopt;
}

std::size_t MaxSocketPathBytes()
{
    return 256; // a pipe name's limit
}

bool IsSocketOwnedBy(const std::string & /*path*/, UserId /*user*/)
{
    return false;
}

std::optional<UserId> PeerUser(std::intptr_t /*socket*/)
{
    return std::nullopt; // no peer's user can be told: none is trusted
}

bool PeerStillWaits(std::intptr_t socket)
{
    DWORD available = 0;
    return ::PeekNamedPipe(reinterpret_cast<HANDLE>(socket), nullptr, 0, nullptr, &available, nullptr) != 0;
}

FileLock::FileLock(const std::string & /*path*/, int /*timeoutMilliseconds*/) {}

FileLock::~FileLock() = default;

} // namespace korva::platform
