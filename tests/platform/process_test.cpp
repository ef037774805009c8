// Process priority, opening addresses with the user's programs, and the screen
// size of a run without a display.
#include "platform/priority.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "stub_tools.h"
#include "support/temp_env.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

TEST(IdlePriority, LowersThreadsThatAlreadyRun)
{
    std::atomic<pid_t> workerTid {0};
    std::atomic<bool> done {false};
    std::thread worker([&] {
        workerTid = pid_t(::syscall(SYS_gettid));
        while (!done)
            std::this_thread::yield();
    });
    while (!workerTid)
        std::this_thread::yield();

    platform::SetIdlePriority();
    errno = 0;
    EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), 19);
    EXPECT_EQ(::getpriority(PRIO_PROCESS, id_t(workerTid.load())), 19);
    done = true;
    worker.join();
}

// Waits for the detached opener to have recorded its call.
std::vector<QStringList> WaitForCalls(const StubTools& tools, size_t count)
{
    QDeadlineTimer deadline(15000);
    auto calls = tools.Calls();
    while (calls.size() < count && !deadline.hasExpired()) {
        QThread::msleep(20);
        calls = tools.Calls();
    }
    return calls;
}

TEST(OpenWithShell, HandsAddressesToTheOpenerAndFoldersOpenTheirIndex)
{
    TempEnv home;
    EnvGuard env;
    StubTools tools(env);

    const QString site = home.Root() + QStringLiteral("/site");
    QDir().mkpath(site);
    QFile index(site + QStringLiteral("/index.html"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.close();

    EXPECT_TRUE(platform::OpenWithShell(QStringLiteral("https://example.org/art/")));
    EXPECT_TRUE(platform::OpenWithShell(QUrl::fromLocalFile(site).toString()));
    EXPECT_TRUE(platform::OpenWithShell(QStringLiteral("mailto:support@example.org")));
    EXPECT_TRUE(platform::OpenWithShell(site)); // a plain path is a local file
    // Not something the program links to: nothing is started.
    EXPECT_FALSE(platform::OpenWithShell(QStringLiteral("javascript:alert(1)")));
    EXPECT_FALSE(platform::OpenWithShell(QStringLiteral("")));

    auto calls = WaitForCalls(tools, 4);
    ASSERT_EQ(calls.size(), 4u);
    std::sort(calls.begin(), calls.end()); // detached: any order
    const QStringList front {"xdg-open", QUrl::fromLocalFile(index.fileName()).toString()};
    EXPECT_EQ(calls[0], front);
    EXPECT_EQ(calls[1], front);
    EXPECT_EQ(calls[2], (QStringList {"xdg-open", "https://example.org/art/"}));
    EXPECT_EQ(calls[3], (QStringList {"xdg-open", "mailto:support@example.org"}));
}

TEST(PrimaryScreen, HeadlessRunsGetTheGivenSize)
{
    // The tests run on Qt's offscreen platform, whose screen is made up.
    const auto info = platform::PrimaryScreen(QSize(1366, 768));
    EXPECT_EQ(info.size, QSize(1366, 768));
    EXPECT_EQ(info.workArea, QRect(0, 0, 1366, 768));
}

} // namespace
