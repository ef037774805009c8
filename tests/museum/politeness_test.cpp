// The rate limits (a sliding window, a token bucket) and the delays before retries.
#include "museum/museums.h"
#include "museum/politeness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(MuseumPoliteness, RateLimitKeepsEveryWindowWithinTheLimit)
{
    const museum::RateLimit perMinute{60, 60000};
    const museum::RateLimit threePerSecond{3, 1000};
    struct Case {
        std::deque<std::int64_t> sent;
        museum::RateLimit limit;
        std::int64_t now;
        std::int64_t next;
    };
    const Case cases[] = {
        {{}, threePerSecond, 500, 500},
        {{0, 10}, threePerSecond, 20, 20},                 // room left in the window
        {{0, 10, 20}, threePerSecond, 30, 1000},           // the first must leave the window
        {{0, 10, 20}, threePerSecond, 1500, 1500},         // it has
        {{100, 900, 950, 960}, threePerSecond, 970, 1900}, // counts from the third last
        {{0}, {1, 1000}, 0, 1000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(museum::NextSendTime(c.sent, c.limit, c.now), c.next);

    // Sixty-one requests sent as fast as allowed: no minute holds more than sixty.
    std::deque<std::int64_t> sent;
    std::int64_t now = 0;
    for (int i = 0; i < 130; ++i) {
        now = museum::NextSendTime(sent, perMinute, now);
        sent.push_back(now);
    }
    for (std::size_t i = 60; i < sent.size(); ++i)
        EXPECT_GE(sent[i] - sent[i - 60], 60000);
}

TEST(MuseumPoliteness, RetryAfterInSecondsOrAsADate)
{
    const QDateTime now = QDateTime::fromString("2026-12-09T10:00:00Z", Qt::ISODate);
    EXPECT_EQ(museum::RetryAfterMs("7", now), 7000);
    EXPECT_EQ(museum::RetryAfterMs(" 0 ", now), 0);
    EXPECT_EQ(museum::RetryAfterMs("Wed, 09 Dec 2026 10:00:30 GMT", now), 30000);
    EXPECT_EQ(museum::RetryAfterMs("Wed, 09 Dec 2026 09:00:00 GMT", now), 0); // past
    EXPECT_EQ(museum::RetryAfterMs("", now), std::nullopt);
    EXPECT_EQ(museum::RetryAfterMs("soon", now), std::nullopt);
    EXPECT_EQ(museum::RetryAfterMs("-5", now), std::nullopt);
}

TEST(MuseumPoliteness, RetryDelaysGrowAndHonourTheServer)
{
    EXPECT_EQ(museum::RetryDelayMs(1, std::nullopt, 1000, 120000), 1000);
    EXPECT_EQ(museum::RetryDelayMs(2, std::nullopt, 1000, 120000), 2000);
    EXPECT_EQ(museum::RetryDelayMs(3, std::nullopt, 1000, 120000), 4000);
    EXPECT_EQ(museum::RetryDelayMs(30, std::nullopt, 1000, 120000), 120000);
    EXPECT_EQ(museum::RetryDelayMs(1, 9000, 1000, 120000), 9000);   // the server asks for longer
    EXPECT_EQ(museum::RetryDelayMs(3, 100, 1000, 120000), 4000);    // never shorter than ours
    EXPECT_EQ(museum::RetryDelayMs(1, 3600000, 1000, 120000), 120000);
    for (int status : {429, 500, 502, 503, 504})
        EXPECT_TRUE(museum::RetriableStatus(status)) << status;
    for (int status : {200, 301, 400, 403, 404, 501})
        EXPECT_FALSE(museum::RetriableStatus(status)) << status;
}

// A whole Met fetch (a search page and up to 180 object records, sent as fast as
// the limit lets them) stays under the firewall that blocks after about 30 quick
// requests: a burst of twenty at the start, then one a second. In any T seconds
// no more than 20 + T go, and no second burst comes while the requests keep coming
// (a window of twenty in twenty seconds would send twenty more at once every
// twenty seconds).
TEST(MuseumPoliteness, TheMetsPaceStaysUnderItsFirewall)
{
    museum::SendPace pace(museum::Info(museum::Source::Met).rate);
    std::vector<std::int64_t> sent;
    std::int64_t now = 0;
    for (int i = 0; i < 181; ++i) {
        now = pace.Next(now);
        sent.push_back(now);
        pace.Sent(now);
    }
    EXPECT_EQ(sent[19], 0); // the burst
    for (std::size_t i = 0; i < sent.size(); ++i)
        for (std::size_t j = i; j < sent.size(); ++j)
            ASSERT_LE(static_cast<std::int64_t>(j - i + 1), 20 + (sent[j] - sent[i]) / 1000) << i << ".." << j;
    for (std::size_t i = 21; i < sent.size(); ++i)
        EXPECT_GE(sent[i] - sent[i - 1], 1000) << "request " << i;
    EXPECT_GE(sent.back() - sent[20], 160 * 1000 - 1000); // the rest at about one a second
    // A minute without requests fills the bucket again, to twenty and no more.
    now += 60000;
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(pace.Next(now), now) << i;
        pace.Sent(now);
    }
    EXPECT_EQ(pace.Next(now), now + 1000);
}

} // namespace
