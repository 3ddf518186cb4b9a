// SPDX-License-Identifier: MIT
// The hand-over between windows: its messages, where its socket lives and what is checked there, and the serving
// window's turns; the launch's side runs on a thread of its own, as it runs in a process of its own.
#include "app/lookup_channel.h"
#include "test_support/test_support.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTest>

#include <gtest/gtest.h>

namespace korva::app {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

// A folder made with `mode`, as a user or the system would leave it.
fs::path MakeFolder(const fs::path &path, fs::perms mode)
{
    fs::create_directories(path);
    fs::permissions(path, mode);
    return path;
}

TEST(LookupMessage, OneLineOfUtf8WithoutControlCharactersAndBounded)
{
    EXPECT_EQ(LookupMessage(QStringLiteral("solve")), QByteArray("LOOKUP solve\n"));
    EXPECT_EQ(CommandOfMessage("LOOKUP solve\n"), QStringLiteral("solve"));
    EXPECT_EQ(CommandOfMessage(LookupMessage(QString::fromUtf8("M\xc3\xb6"
                                                               "bius"))),
              QString::fromUtf8("M\xc3\xb6"
                                "bius"));
    // What a window never acts on.
    for (const QByteArray &message :
         {QByteArray("LOOKUP solve"), QByteArray("LOOKUP a\nLOOKUP b\n"), QByteArray("lookup solve\n"),
          QByteArray("LOOKUP \xc3\x28\n"), QByteArray("LOOKUP a\x1b[2Jb\n"), QByteArray("LOOKUP \n")}) {
        EXPECT_TRUE(CommandOfMessage(message).isEmpty()) << message.toStdString();
    }
    // The longest command that fits in a message, and one more character.
    const int room = kMaxLookupMessage - static_cast<int>(sizeof("LOOKUP \n") - 1);
    EXPECT_EQ(LookupMessage(QString(room, QLatin1Char('x'))).size(), kMaxLookupMessage);
    EXPECT_TRUE(LookupMessage(QString(room + 1, QLatin1Char('x'))).isEmpty());
    EXPECT_TRUE(LookupMessage(QStringLiteral("a\tb")).isEmpty());
}

class LookupChannelPlace : public ::testing::Test
{
protected:
    const fs::path &Root() const { return folder_.Path(); }
    fs::path UserFolder(const fs::path &temporary) const
    {
        return temporary / ("korva-reference-" + std::to_string(platform::CurrentUser()));
    }

    korva::testing::TemporaryFolder folder_;
};

TEST_F(LookupChannelPlace, RuntimeFolderOfTheUsersOwn)
{
    const fs::path runtime = MakeFolder(Root() / "run", fs::perms::owner_all);
    const LookupChannel channel = LookupChannelIn(Q(runtime), Q(Root() / "tmp"), QStringLiteral("/data/korvadoc"));
    ASSERT_TRUE(channel.Usable()) << channel.problems.join("; ").toStdString();
    EXPECT_EQ(channel.folder, Q(runtime));
    EXPECT_TRUE(channel.path.startsWith(Q(runtime / "korva-reference-")));
    EXPECT_EQ(channel.path.size(), Q(runtime / "korva-reference-").size() + 16); // 16 digits of the path's hash
    // One channel a data file, the same each time.
    EXPECT_EQ(LookupChannelIn(Q(runtime), QString(), QStringLiteral("/data/korvadoc")).path, channel.path);
    EXPECT_NE(LookupChannelIn(Q(runtime), QString(), QStringLiteral("/data/other")).path, channel.path);
}

// Without a runtime folder, or with one that others can reach, a folder of the user's own in the temporary folder.
TEST_F(LookupChannelPlace, FolderOfTheUsersOwnInTheTemporaryFolder)
{
    const fs::path temporary = MakeFolder(Root() / "tmp", fs::perms::all | fs::perms::sticky_bit);
    const fs::path open =
        MakeFolder(Root() / "open", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    for (const QString &runtime : {QString(), Q(open), Q(Root() / "missing")}) {
        const LookupChannel channel = LookupChannelIn(runtime, Q(temporary), QStringLiteral("/data/korvadoc"));
        ASSERT_TRUE(channel.Usable()) << runtime.toStdString() << ": " << channel.problems.join("; ").toStdString();
        EXPECT_EQ(channel.folder, Q(UserFolder(temporary)));
        EXPECT_EQ(fs::status(UserFolder(temporary)).permissions() & fs::perms::all, fs::perms::owner_all);
    }
}

// A folder in the temporary folder that is not the user's own, or not only theirs, is never used.
TEST_F(LookupChannelPlace, UserFolderThatFailsItsCheckIsNeverUsed)
{
    const fs::path temporary = MakeFolder(Root() / "tmp", fs::perms::all);
    const fs::path elsewhere = MakeFolder(Root() / "elsewhere", fs::perms::owner_all);
    const fs::path folder = UserFolder(temporary);
    struct Case
    {
        const char *what;
        std::function<void()> make;
        const char *problem;
    };
    const std::vector<Case> cases = {
        {"a link", [&] { fs::create_directory_symlink(elsewhere, folder); }, "is a symbolic link"},
        {"a file", [&] { std::ofstream(folder) << "x"; }, "is not a folder"},
        {"open to others", [&] { MakeFolder(folder, fs::perms::owner_all | fs::perms::others_all); },
         "is open to other users (mode 0707, not 0700)"},
    };
    for (const Case &made : cases) {
        fs::remove_all(folder);
        made.make();
        const LookupChannel channel = LookupChannelIn(QString(), Q(temporary), QStringLiteral("/data/korvadoc"));
        EXPECT_FALSE(channel.Usable()) << made.what;
        EXPECT_TRUE(channel.problems.join("; ").contains(QString::fromLatin1(made.problem)))
            << channel.problems.join("; ").toStdString();
    }
    // Another user's: the folder check tells owners apart.
    fs::remove_all(folder);
    MakeFolder(folder, fs::perms::owner_all);
    EXPECT_EQ(platform::PrivateFolderProblem(folder.string(), platform::CurrentUser() + 1),
              folder.string() + " belongs to another user (uid " + std::to_string(platform::CurrentUser()) + ")");
    EXPECT_EQ(platform::PrivateFolderProblem(folder.string(), platform::CurrentUser()), "");
    EXPECT_EQ(platform::PrivateFolderProblem((Root() / "missing").string(), platform::CurrentUser()),
              (Root() / "missing").string() + ": No such file or directory");
}

// The system's limit on a socket's path: the hash alone where the whole name does not fit, and a word of why where
// nothing fits.
TEST_F(LookupChannelPlace, LongFolderNamesGetTheShortNameOrAReason)
{
    const std::size_t limit = platform::MaxSocketPathBytes();
    const std::size_t base = Root().string().size() + 1;
    // A folder whose path leaves room for the hash alone (16 digits and a separator), not for the whole name.
    const fs::path runtime = MakeFolder(Root() / std::string(limit - base - 20, 'r'), fs::perms::owner_all);
    const LookupChannel shortName = LookupChannelIn(Q(runtime), QString(), QStringLiteral("/data/korvadoc"));
    ASSERT_TRUE(shortName.Usable()) << shortName.problems.join("; ").toStdString();
    EXPECT_EQ(shortName.path.size(), Q(runtime).size() + 17);
    EXPECT_LE(static_cast<std::size_t>(shortName.path.toUtf8().size()), limit);

    const fs::path deep = MakeFolder(Root() / std::string(limit - base, 'd'), fs::perms::all);
    const LookupChannel none = LookupChannelIn(QString(), Q(deep), QStringLiteral("/data/korvadoc"));
    EXPECT_FALSE(none.Usable());
    EXPECT_TRUE(
        none.problems.join("; ").contains(QStringLiteral("longer than the system's limit of %1 bytes").arg(limit)))
        << none.problems.join("; ").toStdString();
}

// A runtime folder made after a window opened: the window serves in the temporary folder, later launches find it
// there though they would serve in the runtime folder, and a later window does not serve beside it.
TEST_F(LookupChannelPlace, RuntimeFolderMadeLaterStillFindsTheWindowThatServes)
{
    const fs::path temporary = MakeFolder(Root() / "tmp", fs::perms::all | fs::perms::sticky_bit);
    const fs::path runtime = Root() / "run";
    const LookupChannel before = LookupChannelIn(Q(runtime), Q(temporary), QStringLiteral("/data/korvadoc"));
    ASSERT_TRUE(before.Usable());
    EXPECT_TRUE(before.problems.isEmpty()) << before.problems.join("; ").toStdString(); // not made yet: no fault
    EXPECT_EQ(before.folder, Q(UserFolder(temporary)));
    LookupServer first;
    ASSERT_TRUE(first.Serve(before));
    QString shown;
    QObject::connect(&first, &LookupServer::lookupRequested, [&shown](const QString &command) { shown = command; });

    MakeFolder(runtime, fs::perms::owner_all);
    const LookupChannel after = LookupChannelIn(Q(runtime), Q(temporary), QStringLiteral("/data/korvadoc"));
    ASSERT_EQ(after.folder, Q(runtime));
    ASSERT_EQ(after.elsewhere.size(), 1u);
    LookupServer second;
    EXPECT_FALSE(second.Serve(after)); // the first window serves, elsewhere
    std::future<bool> handed =
        std::async(std::launch::async, [&after] { return HandOverLookup(after, QStringLiteral("solve"), 2000); });
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000));
    EXPECT_TRUE(handed.get());
    EXPECT_EQ(shown, QStringLiteral("solve"));
}

// A serving window and launches that hand lookups to it, each launch on a thread of its own.
class LookupHandOver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::permissions(folder_.Path(), fs::perms::owner_all);
        channel_ = LookupChannelIn(Q(folder_.Path()), QString(), QStringLiteral("/data/korvadoc"));
        ASSERT_TRUE(channel_.Usable()) << channel_.problems.join("; ").toStdString();
    }

    // Launches a hand-over and lets the windows run until it has an answer.
    bool HandOver(const QString &command, platform::UserId trusted = platform::CurrentUser())
    {
        auto launch = std::async(std::launch::async,
                                 [this, command, trusted] { return HandOverLookup(channel_, command, 2000, trusted); });
        while (launch.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
            QCoreApplication::processEvents();
        }
        return launch.get();
    }

    // Collects the lookups `server` takes.
    QStringList &Taken(LookupServer &server)
    {
        QObject::connect(&server, &LookupServer::lookupRequested, &server,
                         [this](const QString &command) { taken_ << command; });
        return taken_;
    }

    korva::testing::TemporaryFolder folder_;
    LookupChannel channel_;
    QStringList taken_;
};

TEST_F(LookupHandOver, ServingWindowTakesTheLookupAndAnswers)
{
    LookupServer server;
    Taken(server);
    ASSERT_TRUE(server.Serve(channel_));
    EXPECT_TRUE(HandOver(QStringLiteral("gcd")));
    EXPECT_TRUE(HandOver(QStringLiteral("lcm")));
    EXPECT_EQ(taken_, (QStringList{QStringLiteral("gcd"), QStringLiteral("lcm")}));
}

// Both ends run as the same user or do not talk: a window of another user's hears nothing, and a launch of another
// user's is not listened to.
TEST_F(LookupHandOver, BothEndsCheckTheOtherRunsAsTheSameUser)
{
    LookupServer server;
    Taken(server);
    ASSERT_TRUE(server.Serve(channel_));
    EXPECT_FALSE(HandOver(QStringLiteral("gcd"), platform::CurrentUser() + 1)); // the window is not that user's
    server.TrustUser(platform::CurrentUser() + 1);
    EXPECT_FALSE(HandOver(QStringLiteral("lcm"))); // the launch is not the window's user
    QTest::qWait(50);
    EXPECT_TRUE(taken_.isEmpty());
}

// A launch that gave up waiting has opened its own window: the lookup it left behind is not carried out.
TEST_F(LookupHandOver, LookupGivenUpOnIsNotCarriedOut)
{
    LookupServer server;
    Taken(server);
    ASSERT_TRUE(server.Serve(channel_));
    {
        // The window does not run while the launch sends and gives up, as if it were stopped.
        QLocalSocket launch;
        launch.connectToServer(channel_.path);
        ASSERT_TRUE(launch.waitForConnected(1000));
        launch.write(LookupMessage(QStringLiteral("gcd")));
        ASSERT_TRUE(launch.waitForBytesWritten(1000));
        launch.abort();
    }
    QTest::qWait(100);
    EXPECT_TRUE(taken_.isEmpty());
    EXPECT_TRUE(HandOver(QStringLiteral("lcm")));
    EXPECT_EQ(taken_, QStringList{QStringLiteral("lcm")});
}

// When the serving window closes, or dies, a window already open takes over the channel.
TEST_F(LookupHandOver, SecondWindowTakesOverWhenTheFirstCloses)
{
    auto first = std::make_unique<LookupServer>();
    ASSERT_TRUE(first->Serve(channel_));
    LookupServer second;
    second.SetRetryInterval(20);
    Taken(second);
    EXPECT_FALSE(second.Serve(channel_));
    QTest::qWait(60);
    EXPECT_FALSE(second.Serving());
    first.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.Serving(); }, 2000));
    EXPECT_TRUE(HandOver(QStringLiteral("abs")));
    EXPECT_EQ(taken_, QStringList{QStringLiteral("abs")});
}

// A killed window leaves its socket behind: the next window removes it and serves. Anything else at that name, the
// program never removes.
TEST_F(LookupHandOver, StaleSocketIsRemovedButNothingElse)
{
    const std::string path = channel_.path.toStdString();
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd); // bound, never listened on, never removed: as a killed window leaves it
    }
    auto server = std::make_unique<LookupServer>();
    EXPECT_TRUE(server->Serve(channel_));
    server.reset();

    folder_.Write(fs::path(path).filename().string(), "not a socket");
    LookupServer refused;
    EXPECT_FALSE(refused.Serve(channel_));
    EXPECT_TRUE(refused.Problem().contains(QStringLiteral("is not a socket of this user's")));
    EXPECT_EQ(korva::testing::ReadFileBytes(path), "not a socket");
}

// As another user, where the tests run as the superuser: that user can neither reach the channel nor its lock.
TEST_F(LookupHandOver, AnotherUserCanNeitherReachTheSocketNorTakeTheLock)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs the superuser to run a part of the test as another user";
    }
    LookupServer server;
    Taken(server);
    ASSERT_TRUE(server.Serve(channel_));
    // What the other user does, made ready before it runs: after the fork, system calls only.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    channel_.path.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
    const std::string lock = (folder_.Path() / "korva-reference.lock").string();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(10);
        }
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        const bool opened = ::open(lock.c_str(), O_RDWR | O_CREAT, 0600) >= 0;
        ::_exit((connected ? 1 : 0) | (opened ? 2 : 0));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: it reached the socket, 2: it reached the lock";
    EXPECT_TRUE(HandOver(QStringLiteral("gcd")));
    EXPECT_EQ(taken_, QStringList{QStringLiteral("gcd")});
}

} // namespace
} // namespace korva::app
