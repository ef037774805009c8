// The scheduler's due test at its boundaries.
#include "agent/clock.h"
#include "agent/schedule.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using agent::IsDue;
using agent::kHour;
using agent::kMinute;

constexpr double kSecond = kMinute / 60.0;
constexpr double kBase = 46000.25; // a morning in 2025

TEST(IsDue, IntervalBoundaryIsInclusive)
{
    EXPECT_TRUE(IsDue(kBase + 1.5, kBase, 36 * kHour)); // exactly 36 hours
    EXPECT_FALSE(IsDue(kBase + 1.5 - kSecond / 1000, kBase, 36 * kHour));
    EXPECT_TRUE(IsDue(kBase + 2.0, kBase, 36 * kHour));
    // A fresh store's 0.0 lies long in the past.
    EXPECT_TRUE(IsDue(kBase, 0.0, 96 * kHour));
}

TEST(IsDue, StoredTimeInTheFuture)
{
    // Up to a minute ahead is clock jitter: not due. More means the clock was set back.
    EXPECT_FALSE(IsDue(kBase, kBase + 30 * kSecond, kHour));
    EXPECT_FALSE(IsDue(kBase, kBase + 59 * kSecond, kHour));
    EXPECT_TRUE(IsDue(kBase, kBase + 2 * kMinute, kHour));
    EXPECT_TRUE(IsDue(kBase, kBase + 400.0, kHour));
}

TEST(IsDue, StoredTimeThatIsNoNumberCountsAsLongPast)
{
    EXPECT_TRUE(IsDue(kBase, std::numeric_limits<double>::quiet_NaN(), kHour));
    EXPECT_TRUE(IsDue(kBase, std::numeric_limits<double>::infinity(), kHour));
}

TEST(SystemClock, ScaleShortensTheTickAndOnlyTakesSaneValues)
{
    EXPECT_EQ(agent::TimerIntervalMs(agent::SystemClock(1.0)), 15000);
    EXPECT_EQ(agent::TimerIntervalMs(agent::SystemClock(10.0)), 1500);

    for (const char* text : {"abc", "0", "-5", "0.5", "1e9", "nan"}) {
        qputenv("AMBIENCE_CLOCK_SCALE", QByteArray(text));
        EXPECT_EQ(agent::MakeSystemClock()->Scale(), 1.0) << text;
    }
    qputenv("AMBIENCE_CLOCK_SCALE", QByteArray("20"));
    const auto fast = agent::MakeSystemClock();
    EXPECT_EQ(fast->Scale(), 20.0);
    qunsetenv("AMBIENCE_CLOCK_SCALE");

    // A scaled clock starts at the real time.
    const agent::SystemClock real;
    EXPECT_NEAR(fast->Now(), real.Now(), 5 * kSecond);
}

} // namespace
