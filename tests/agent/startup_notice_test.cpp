// The notice a start at login gives on a desktop without a notification area:
// what it offers, where its actions lead, and that a login hears it once.
#include "agent/startup_notice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Sent {
    std::vector<agent::DesktopNotification> notifications;
    std::function<void(quint32, const QString&)> act;
    bool refuse = false;
};

class FakeNotifier : public agent::DesktopNotifier {
public:
    explicit FakeNotifier(Sent& sent) : sent_(sent) {}
    core::Result<quint32> Notify(const agent::DesktopNotification& n) override
    {
        if (sent_.refuse)
            return core::MakeError(1, "no notification service");
        sent_.notifications.push_back(n);
        sent_.act = onAction;
        return quint32(40 + sent_.notifications.size());
    }

private:
    Sent& sent_;
};

TEST(StartupNotice, SaysItRunsAndOffersTheWindowAndAWayToStop)
{
    Sent sent;
    int opened = 0, stopped = 0;
    agent::StartupNotice notice(std::make_unique<FakeNotifier>(sent), [&] { ++opened; }, [&] { ++stopped; });
    ASSERT_TRUE(notice.Tell(36).ok());
    ASSERT_EQ(sent.notifications.size(), 1u);
    const agent::DesktopNotification& n = sent.notifications[0];
    EXPECT_EQ(n.summary, "Ambience is running");
    EXPECT_TRUE(n.body.contains("every 36 hours")) << n.body.toStdString();
    EXPECT_EQ(n.actions.size(), 4);
    EXPECT_EQ(n.actions.value(0), agent::StartupNotice::kOpenAction);
    EXPECT_EQ(n.actions.value(2), agent::StartupNotice::kTurnOffAction);

    // Each action of this notification does its own thing; another program's
    // notification and an unknown key do nothing.
    const struct {
        quint32 id;
        const char* action;
        int opened, stopped;
    } steps[] = {{41, "open", 1, 0}, {99, "open", 1, 0}, {41, "default", 1, 0}, {41, "turn-off", 1, 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.action);
        sent.act(step.id, QLatin1String(step.action));
        EXPECT_EQ(opened, step.opened);
        EXPECT_EQ(stopped, step.stopped);
    }
    EXPECT_TRUE(agent::StartupNotice::Text(1).body.contains("every hour"));
}

TEST(StartupNotice, ANotificationServiceThatRefusesIsAnError)
{
    Sent sent;
    sent.refuse = true;
    agent::StartupNotice notice(std::make_unique<FakeNotifier>(sent), [] {}, [] {});
    const core::Result<void> told = notice.Tell(2);
    ASSERT_FALSE(told.ok());
    EXPECT_FALSE(told.error().text.empty());
}

TEST(StartupNotice, ALoginIsToldOnce)
{
    QTemporaryDir run;
    ASSERT_TRUE(run.isValid());
    EXPECT_TRUE(agent::FirstTimeThisLogin(run.path(), QStringLiteral("told")));
    EXPECT_FALSE(agent::FirstTimeThisLogin(run.path(), QStringLiteral("told")));
    // A new login has a new runtime folder; without one every start is told.
    QTemporaryDir next;
    EXPECT_TRUE(agent::FirstTimeThisLogin(next.path(), QStringLiteral("told")));
    EXPECT_TRUE(agent::FirstTimeThisLogin(QString(), QStringLiteral("told")));
    EXPECT_TRUE(agent::FirstTimeThisLogin(QString(), QStringLiteral("told")));
}

} // namespace
