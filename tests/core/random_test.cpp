// The one process-wide generator behind every random choice.
#include "core/random.h"

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <set>
#include <vector>

TEST(Random, RandomBelowStaysInRangeAndReachesEveryValue)
{
    SeedRandom(1);
    EXPECT_EQ(RandomBelow(0), 0);
    EXPECT_EQ(RandomBelow(-3), 0);
    EXPECT_EQ(RandomBelow(1), 0);
    std::vector<int> counts(7);
    for (int i = 0; i < 7000; ++i) {
        const int v = RandomBelow(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
        ++counts[v];
    }
    for (int c : counts)
        EXPECT_GT(c, 700); // about 1000 each
    for (int i = 0; i < 1000; ++i) {
        const int v = RandomBelow(2147483647);
        ASSERT_GE(v, 0);
    }
}

TEST(Random, SameSeedSameSequence)
{
    std::vector<int> first, second;
    SeedRandom(12345);
    for (int i = 0; i < 50; ++i)
        first.push_back(RandomBelow(1000));
    SeedRandom(12345);
    for (int i = 0; i < 50; ++i)
        second.push_back(RandomBelow(1000));
    EXPECT_EQ(first, second);
    SeedRandom(54321);
    std::vector<int> third;
    for (int i = 0; i < 50; ++i)
        third.push_back(RandomBelow(1000));
    EXPECT_NE(first, third);

    // AMBIENCE_SEED forces the seed; anything but a number is ignored.
    qputenv("AMBIENCE_SEED", "12345");
    RandomizeFromEnvironmentOrClock();
    std::vector<int> forced;
    for (int i = 0; i < 50; ++i)
        forced.push_back(RandomBelow(1000));
    EXPECT_EQ(forced, first);
    qputenv("AMBIENCE_SEED", "12345x");
    RandomizeFromEnvironmentOrClock();
    std::vector<int> clock;
    for (int i = 0; i < 50; ++i)
        clock.push_back(RandomBelow(1000));
    EXPECT_NE(clock, first);
    qunsetenv("AMBIENCE_SEED");
}
