// Keeping a museum pack fresh: when a renewal is due, with a made-up clock and
// network, and which works leave.
#include "museum/freshness.h"

#include <gtest/gtest.h>

namespace {

using museum::NetworkState;

TEST(Freshness, RenewalWaitsForItsDayAndAFreeNetwork)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC);
    museum::FreshSubscription on;
    on.enabled = true;
    on.everyDays = 7;
    museum::FreshSubscription off = on;
    off.enabled = false;
    struct Case {
        const char* name;
        museum::FreshSubscription subscription;
        QDateTime lastRenewal, lastAttempt;
        NetworkState network;
        bool fetch;
        QDateTime next; // invalid: none
    };
    const Case cases[] = {
        {"off", off, {}, {}, NetworkState::Online, false, {}},
        {"never renewed", on, {}, {}, NetworkState::Online, true, now.addDays(7)},
        {"renewed yesterday", on, now.addDays(-1), {}, NetworkState::Online, false, now.addDays(6)},
        {"due today", on, now.addDays(-7), {}, NetworkState::Online, true, now.addDays(7)},
        {"unknown network counts as up", on, now.addDays(-8), {}, NetworkState::Unknown, true, now.addDays(7)},
        {"due but offline", on, now.addDays(-8), {}, NetworkState::Offline, false, now.addSecs(1800)},
        {"due but metered", on, now.addDays(-8), {}, NetworkState::Metered, false, now.addSecs(1800)},
        {"failed an hour ago", on, now.addDays(-8), now.addSecs(-3600), NetworkState::Online, false,
         now.addSecs(5 * 3600)},
        {"failed long ago", on, now.addDays(-9), now.addDays(-1), NetworkState::Online, true, now.addDays(7)},
        {"clock set back", on, now.addDays(30), {}, NetworkState::Online, true, now.addDays(7)},
    };
    for (const Case& c : cases) {
        const museum::FreshDecision d = museum::DecideRenewal(c.subscription, c.lastRenewal, c.lastAttempt, now, c.network);
        EXPECT_EQ(d.fetchNow, c.fetch) << c.name << ": " << d.why.toStdString();
        EXPECT_EQ(d.nextCheck, c.next) << c.name;
        EXPECT_FALSE(d.why.isEmpty()) << c.name;
    }
}

TEST(Freshness, TheOldestLeaveForTheNew)
{
    EXPECT_EQ(museum::WorksToRenew(40), 10);
    EXPECT_EQ(museum::WorksToRenew(3), 1);
    EXPECT_EQ(museum::WorksToRenew(0), 1);
    EXPECT_EQ(museum::WorksToRetire(40, 40, 10), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(museum::WorksToRetire(25, 40, 10), (std::vector<std::size_t>{})); // room enough
    EXPECT_EQ(museum::WorksToRetire(33, 40, 10), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(museum::WorksToRetire(4, 4, 10).size(), 4u); // all leave when more come than the pack keeps
}

} // namespace
