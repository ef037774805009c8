// The shared date-time form: days since 30 December 1899, time of day as fraction.
#include "core/datetime.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {
QDateTime Local(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}
} // namespace

TEST(DateTime, KnownDatesAndFractions)
{
    EXPECT_EQ(DateTimeFromQDateTime(Local(1899, 12, 30)), 0.0);
    EXPECT_EQ(DateTimeFromQDateTime(Local(1900, 1, 1)), 2.0);
    EXPECT_EQ(DateTimeFromQDateTime(Local(2000, 1, 1)), 36526.0);
    EXPECT_EQ(DateTimeFromQDateTime(Local(2026, 12, 8)), 46364.0);
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(Local(1899, 12, 30, 12)), 0.5);
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(Local(2000, 1, 1, 6)), 36526.25);
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(Local(2000, 1, 1, 0, 1)), 36526.0 + 1.0 / 1440);
    EXPECT_NEAR(DateTimeFromQDateTime(Local(2000, 1, 1, 1)) - DateTimeFromQDateTime(Local(2000, 1, 1)), 1.0 / 24, 1e-9);
    // Before the epoch the whole part counts back while the fraction still counts
    // forward from midnight: -1.25 is 29 December 1899, 06:00.
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(Local(1899, 12, 29, 6)), -1.25);
    EXPECT_EQ(QDateTimeFromDateTime(-1.25), Local(1899, 12, 29, 6));
    EXPECT_EQ(QDateTimeFromDateTime(36526.75), Local(2000, 1, 1, 18));
    EXPECT_EQ(QDateTimeFromDateTime(0.0), Local(1899, 12, 30));
}

TEST(DateTime, RoundTripsToTheMillisecondAndRejectsNonsense)
{
    for (const QDateTime& t : {Local(1970, 1, 1, 0, 0, 0, 1), Local(2026, 2, 28, 23, 59, 59, 999),
                               Local(2024, 2, 29, 13, 14, 15, 16), Local(1850, 6, 1, 8, 30)}) {
        EXPECT_EQ(QDateTimeFromDateTime(DateTimeFromQDateTime(t)), t) << t.toString().toStdString();
    }
    // A fraction a hair below the next day rounds to its midnight, not to 24:00.
    EXPECT_EQ(QDateTimeFromDateTime(36526.9999999999), Local(2000, 1, 2));
    EXPECT_FALSE(QDateTimeFromDateTime(std::nan("")).isValid());
    EXPECT_FALSE(QDateTimeFromDateTime(INFINITY).isValid());
    EXPECT_FALSE(QDateTimeFromDateTime(1e300).isValid());
}

TEST(DateTime, NowIsTheCurrentLocalTime)
{
    const double before = DateTimeFromQDateTime(QDateTime::currentDateTime());
    const double now = Now();
    EXPECT_GE(now, before);
    EXPECT_LT(now - before, 1.0 / 1440); // well within a minute
}
