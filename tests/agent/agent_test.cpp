// The agent on a simulated clock: when scheduler passes run, when they change the
// desktop, how failures are told, and the icon's life.
#include "agent/agent.h"
#include "agent/clock_face.h"
#include "agent_fakes.h"

#include "core/product.h"
#include "platform/registry.h"
#include "settings/options.h"
#include "support/temp_env.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using namespace agenttest;

// 10:00 on a day in 2025.
constexpr double kTen = 46000.0 + 10.0 / 24.0;

class AgentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        options = std::make_unique<TOptions>(store);
        host.options = options.get();
        options->LastDesktopChangeTime = clock.now - 1.0; // a day ago: due
        options->AutoChangeInterval = 1;
    }
    void TearDown() override
    {
        agentUnderTest.reset();
        options.reset();
    }

    TAgent& Start(QStringList arguments = {})
    {
        AgentSeams seams;
        seams.clock = std::shared_ptr<agent::Clock>(&clock, [](agent::Clock*) {});
        seams.timerIntervalMs = 3600 * 1000; // the test drives the ticks
        seams.tray = std::make_unique<FakeTray>(tray);
        seams.notifier = std::make_unique<RecordingNotifier>(notes);
        agentUnderTest = std::make_unique<TAgent>(host, *options, arguments, std::move(seams));
        started = clock.now;
        ticks = 0;
        return *agentUnderTest;
    }
    // The next timer tick: ticks fall every 15 seconds from the start, or at once
    // when a pass overran one (as a timer catches up).
    void Tick()
    {
        ++ticks;
        clock.now = std::max(clock.now, started + ticks * 15 * kSecond);
        agentUnderTest->OnTimerTick();
    }
    // Ticks until `seconds` after start have passed; returns the seconds after
    // start at which passes ran (a pass refreshes the icon).
    std::vector<int> RunFor(int seconds)
    {
        std::vector<int> passes;
        while ((ticks + 1) * 15 < seconds + 0.5) {
            const int before = tray.modifies;
            const double at = std::max(clock.now, started + (ticks + 1) * 15 * kSecond);
            Tick();
            if (tray.modifies != before)
                passes.push_back(static_cast<int>(std::lround((at - started) / kSecond)));
        }
        return passes;
    }
    int ChangesAfterStart(double from = 0) const
    {
        int n = 0;
        for (double t : host.changeTimes)
            n += (t - started) / kSecond >= from - 0.5;
        return n;
    }

    TempEnv env;
    TProduct product{env.ProgramDir() + "/"};
    platform::Registry store{env.Root() + "/registry.reg"};
    FakeClock clock{kTen};
    std::unique_ptr<TOptions> options;
    FakeHost host{clock};
    TrayLog tray;
    NotifierLog notes;
    std::unique_ptr<TAgent> agentUnderTest;
    double started = 0;
    int ticks = 0;
};

TEST_F(AgentTest, PassesRunHalfAMinuteAfterStartThenOnceAMinuteOrSo)
{
    options->AutoChangeEnabled = false;
    Start();
    const std::vector<int> passes = RunFor(600);
    ASSERT_GE(passes.size(), 8u);
    EXPECT_EQ(passes.front(), 30);
    for (size_t i = 1; i < passes.size(); ++i) {
        EXPECT_GE(passes[i] - passes[i - 1], 60);
        EXPECT_LE(passes[i] - passes[i - 1], 75);
    }
    // Automatic changing off: no change, but the clock keeps being refreshed.
    EXPECT_TRUE(host.changeTimes.empty());
    EXPECT_EQ(tray.modifies, static_cast<int>(passes.size()));
}

TEST_F(AgentTest, ChangesOnlyWhileTheWindowIsHidden)
{
    host.visible = true;
    Start();
    RunFor(300);
    EXPECT_TRUE(host.changeTimes.empty());

    // Hidden: the change that fell due meanwhile comes at the next pass.
    host.visible = false;
    const std::vector<int> passes = RunFor(400);
    ASSERT_EQ(host.changeTimes.size(), 1u);
    EXPECT_NEAR((host.changeTimes[0] - started) / kSecond, passes.front(), 0.5);
    EXPECT_LE(passes.front(), 300 + 75);
    // The change reset the interval of an hour: nothing more for now.
    RunFor(1800);
    EXPECT_EQ(host.changeTimes.size(), 1u);
    // A hand-edited interval of 0 or less counts as an hour, not as "at every pass".
    options->AutoChangeInterval = -3;
    RunFor(3000);
    EXPECT_EQ(host.changeTimes.size(), 1u);
    RunFor(4100);
    EXPECT_EQ(host.changeTimes.size(), 2u);
}

TEST_F(AgentTest, FreshSettingsChangeTheDesktopAtTheFirstPass)
{
    options->LastDesktopChangeTime = 0.0;
    options->AutoChangeInterval = 36;
    Start({"/startup"});
    RunFor(30);
    ASSERT_EQ(host.changeTimes.size(), 1u);
    EXPECT_NEAR((host.changeTimes[0] - started) / kSecond, 30, 0.5);
    // A pass that composed pushes the next one back: composing took 2 seconds.
    const std::vector<int> passes = RunFor(200);
    EXPECT_EQ(passes.front(), 105);
}

TEST_F(AgentTest, AManualChangePostponesTheNextAutomaticOne)
{
    // Refresh by hand at 10:00 with an interval of an hour: the next automatic change
    // is the first pass at or after 11:00.
    options->LastDesktopChangeTime = kTen;
    Start();
    RunFor(3540);
    EXPECT_TRUE(host.changeTimes.empty());
    RunFor(3700);
    ASSERT_EQ(host.changeTimes.size(), 1u);
    const double after = (host.changeTimes[0] - kTen) / kSecond;
    EXPECT_GE(after, 3600);
    EXPECT_LE(after, 3600 + 75);
}

TEST_F(AgentTest, NoChangeWhileBusyButTheIconIsRefreshed)
{
    host.enabled = false;
    Start();
    const std::vector<int> passes = RunFor(300);
    EXPECT_TRUE(host.changeTimes.empty());
    EXPECT_EQ(tray.modifies, static_cast<int>(passes.size()));
    EXPECT_GE(passes.size(), 4u);
    // The pass still ended: the next one is a minute away.
    EXPECT_NEAR((agentUnderTest->LastTick - started) / kSecond, passes.back(), 0.5);

    host.enabled = true;
    RunFor(400);
    EXPECT_EQ(host.changeTimes.size(), 1u);
}

TEST_F(AgentTest, ClockSetBackRunsAPassAtOnce)
{
    options->AutoChangeEnabled = false;
    Start();
    RunFor(100);
    const int before = tray.modifies;
    clock.Advance(-3600);
    clock.Advance(15);
    agentUnderTest->OnAgentTimer();
    EXPECT_EQ(tray.modifies, before + 1);
    // And normal spacing resumes from there.
    clock.Advance(15);
    agentUnderTest->OnAgentTimer();
    EXPECT_EQ(tray.modifies, before + 1);
}

TEST_F(AgentTest, AFailedChangeIsToldOnceAndTriedAgainAtTheNextDuePass)
{
    host.failWith = QStringLiteral("the data folder cannot be written");
    // While the box is open its event loop keeps ticking; nothing may start then.
    int nestedAttempts = 0;
    host.whileErrorShown = [&] {
        const size_t before = host.changeTimes.size();
        for (int i = 0; i < 10; ++i)
            Tick();
        nestedAttempts += static_cast<int>(host.changeTimes.size() - before);
    };
    Start();
    RunFor(30);
    ASSERT_EQ(host.changeTimes.size(), 1u);
    ASSERT_EQ(host.errors.size(), 1);
    EXPECT_TRUE(host.errors[0].contains(host.failWith));
    EXPECT_EQ(nestedAttempts, 0);

    // The pass ended all the same: the next attempt a pass later, told no more.
    const size_t attempts = host.changeTimes.size();
    RunFor(clock.now / kSecond - started / kSecond + 300);
    EXPECT_GT(host.changeTimes.size(), attempts);
    EXPECT_EQ(host.errors.size(), 1);
    const double lastAttempt = host.changeTimes.back();
    EXPECT_LT((clock.now - lastAttempt) / kSecond, 76);

    // After a success, a new failure is worth telling again.
    host.failWith.clear();
    options->LastDesktopChangeTime = 0.0;
    RunFor((clock.now - started) / kSecond + 80);
    host.failWith = QStringLiteral("disk full");
    options->LastDesktopChangeTime = 0.0;
    RunFor((clock.now - started) / kSecond + 80);
    EXPECT_EQ(host.errors.size(), 2);
}

TEST_F(AgentTest, ANoticeAboutAChangeIsToldOnce)
{
    host.notice = QStringLiteral("no desktop took the picture");
    options->AutoChangeInterval = 1;
    Start();
    RunFor(30 + 3 * 3600);
    EXPECT_EQ(host.changeTimes.size(), 3u);
    ASSERT_EQ(host.notices.size(), 1);
    EXPECT_TRUE(host.notices[0].contains(host.notice)) << host.notices[0].toStdString();
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(AgentTest, StartupSwitchDecidesTheIcon)
{
    struct Case {
        QStringList arguments;
        int iconSetting;
        bool shown;
    };
    const Case cases[] = {
        {{"/startup"}, 0, false}, {{"/startup"}, 1, true}, {{"/startup"}, 2, true},
        {{}, 0, true},            {{"/STARTUP"}, 0, true}, {{"x", "/startup"}, 0, true},
    };
    for (const Case& c : cases) {
        options->AutoChangeIcon = c.iconSetting;
        tray = TrayLog{};
        TAgent& agent = Start(c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString() + " icon " + std::to_string(c.iconSetting));
        EXPECT_EQ(agent.IconShown(), c.shown);
        EXPECT_EQ(tray.visible, c.shown);
        EXPECT_EQ(tray.menu, &host.menu);
        agentUnderTest.reset();
        EXPECT_FALSE(tray.visible); // gone with the agent
    }
}

TEST_F(AgentTest, ClicksToggleTheWindowAndTheTipIsTheTitle)
{
    Start();
    EXPECT_EQ(tray.tip, product.ProductTitle);
    ASSERT_TRUE(tray.click);
    tray.click();
    EXPECT_TRUE(host.visible);
    EXPECT_EQ(host.shows, 1);
    tray.click();
    EXPECT_FALSE(host.visible);
    EXPECT_EQ(host.minimises, 1);
}

TEST_F(AgentTest, IconFollowsTheTrayAndTheWindow)
{
    options->AutoChangeIcon = 0;
    TAgent& agent = Start();
    ASSERT_TRUE(agent.IconShown());

    // The notification area goes and comes back: the icon is put back.
    tray.available = false;
    Tick();
    const int adds = tray.adds;
    tray.available = true;
    Tick();
    EXPECT_EQ(tray.adds, adds + 1);

    // Closing with "no icon" removes it; a tray coming back then leaves it away.
    agent.WindowHiddenByClose();
    EXPECT_FALSE(agent.IconShown());
    EXPECT_FALSE(tray.visible);
    tray.available = false;
    Tick();
    tray.available = true;
    Tick();
    EXPECT_FALSE(tray.visible);
    // A second start brings it back whatever the setting.
    agent.ShowInstance();
    EXPECT_TRUE(tray.visible);
    EXPECT_TRUE(host.notices.isEmpty());

    // No icon while absent is refreshed.
    agent.NotifyIcon(TAgent::IconAction::Delete);
    const int modifies = tray.modifies;
    agent.UpdateIcon();
    EXPECT_EQ(tray.modifies, modifies);

    agent.Quit();
    EXPECT_FALSE(tray.visible);
    EXPECT_EQ(host.closes, 1);
}

// A tray service that comes up after the program (Plasma's at login) gets the
// icon as soon as it is there, not at the next tick.
TEST_F(AgentTest, ANotificationAreaThatAppearsLaterGetsTheIconAtOnce)
{
    tray.available = false;
    Start();
    ASSERT_TRUE(tray.availabilityChanged);
    const int adds = tray.adds;
    tray.available = true;
    tray.availabilityChanged();
    EXPECT_EQ(tray.adds, adds + 1);
    EXPECT_TRUE(tray.visible);
}

TEST_F(AgentTest, WithoutANotificationAreaTheUserIsToldOnce)
{
    tray.available = false;
    TAgent& agent = Start();
    agent.WindowHiddenByClose();
    agent.WindowHiddenByClose();
    QCoreApplication::processEvents(); // told once the close has run its course
    ASSERT_EQ(host.notices.size(), 1);
    EXPECT_TRUE(host.notices[0].contains("start Ambience again"));
    // Automatic changes go on without an icon.
    RunFor(100);
    EXPECT_EQ(host.changeTimes.size(), 1u);
}

TEST_F(AgentTest, ClockIconShowsTheClocksTime)
{
    options->AutoChangeIcon = 2;
    clock.now = 46000.0 + 3.0 / 24.0 + 20 * kSecond; // 3:00:20
    TAgent& agent = Start();
    EXPECT_EQ(agent.MakeIconImage(), agent::MakeIconImage(2, 3, 0));
    options->AutoChangeIcon = 1;
    EXPECT_EQ(agent.MakeIconImage(), agent::MakeIconImage(1, 0, 0));
}


gallery::WallEntry OnWall(const QString& title)
{
    gallery::WallEntry e;
    e.packFile = QStringLiteral("masters.zip");
    e.entry = title + QStringLiteral(".jpg");
    e.title = title;
    e.year = QStringLiteral("1890");
    e.author = QStringLiteral("Painter");
    return e;
}

TEST_F(AgentTest, TheTipNamesThePictureOnTheWallAfterEachPass)
{
    host.onWall = OnWall("Irises");
    Start();
    EXPECT_EQ(tray.tip, product.ProductTitle + "\nIrises (1890, Painter)");
    // Another process changed the wall: the next pass reads the record again.
    host.onWall = OnWall("Poppies");
    RunFor(30);
    EXPECT_EQ(tray.tip, product.ProductTitle + "\nPoppies (1890, Painter)");
    host.onWall.reset();
    RunFor(120);
    EXPECT_EQ(tray.tip, product.ProductTitle);
}

TEST_F(AgentTest, AnAutomaticChangeIsAnnouncedOnlyWhenAskedForAndOnlyWhenMade)
{
    const struct {
        bool notify;
        QString failWith;
        QString notice; // the desktop did not take it
        std::size_t sent;
    } cases[] = {
        {false, {}, {}, 0},
        {true, {}, {}, 1},
        {true, "no picture", {}, 0},
        {true, {}, "no desktop", 0},
    };
    for (const auto& c : cases) {
        notes = {};
        options->NotifyAutomaticChange = c.notify;
        options->LastDesktopChangeTime = clock.now - 1.0;
        host.failWith = c.failWith;
        host.notice = c.notice;
        host.onWall = OnWall("Irises");
        Start();
        RunFor(30);
        ASSERT_EQ(notes.sent.size(), c.sent) << c.notify << " " << c.failWith.toStdString();
        agentUnderTest.reset();
    }
}

TEST_F(AgentTest, TheAnnouncementNamesTheChangesOwnPictureNotALaterOne)
{
    options->NotifyAutomaticChange = true;
    options->LastDesktopChangeTime = clock.now - 1.0;
    // Another program changed the wall after the automatic change was recorded.
    host.changeRecorded = 7;
    host.recordedChanges[7] = OnWall("Irises");
    host.onWall = OnWall("Poppies");
    Start();
    RunFor(30);
    ASSERT_EQ(notes.sent.size(), 1u);
    EXPECT_TRUE(notes.sent[0].summary.contains(QStringLiteral("Irises"))) << notes.sent[0].summary.toStdString();
}

} // namespace
