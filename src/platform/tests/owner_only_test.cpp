// SPDX-License-Identifier: MIT
// What the hand-over asks of the system, on each system the core is built for: on POSIX systems a folder of the
// user's own, a lock in it and the user at a socket's other end; on Windows, where none of it is built yet, a plain
// "unavailable" that every launch says, and nothing that could be trusted.
#include "platform/owner_only.h"
#include "test_support/test_support.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

#if defined(_WIN32)
TEST(OwnerOnly, WindowsReportsTheHandOverUnavailable)
{
    const korva::testing::TemporaryFolder folder;
    std::string problem;
    EXPECT_FALSE(UserFolderUnder(folder.Path().string(), CurrentUser(), problem).has_value());
    EXPECT_EQ(problem, "the hand-over between windows is not available on Windows yet: each window opens alone");
    EXPECT_EQ(PrivateFolderProblem(folder.Path().string(), CurrentUser()), problem);
    EXPECT_FALSE(PeerUser(0).has_value()); // no peer is taken for the user's own
    EXPECT_FALSE(FileLock((folder.Path() / "lock").string(), 10).Held());
}
#else
TEST(OwnerOnly, FolderOfTheUsersOwnIsMadeClosedToOthers)
{
    const korva::testing::TemporaryFolder folder;
    std::string problem;
    const auto made = UserFolderUnder(folder.Path().string(), CurrentUser(), problem);
    ASSERT_TRUE(made.has_value()) << problem;
    EXPECT_EQ(std::filesystem::status(*made).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    EXPECT_EQ(PrivateFolderProblem(*made, CurrentUser()), "");
    const FileLock lock(*made + "/lock", 10);
    EXPECT_TRUE(lock.Held());
}
#endif

} // namespace
} // namespace korva::platform
