// Monitors given on the command line, their order, and the work area an
// exposition of one monitor's size takes.
#include "platform/monitors.h"
#include "settings/settings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Parsed {
    const char* text;
    // name@WxH+X+Y of each monitor in picture order, the primary first; empty: refused
    const char* expected;
};

QString Describe(const std::vector<platform::Monitor>& monitors)
{
    QStringList parts;
    for (const auto& m : monitors)
        parts << QStringLiteral("%1%2@%3x%4+%5+%6")
                     .arg(m.primary ? QStringLiteral("*") : QString(), m.name)
                     .arg(m.geometry.width())
                     .arg(m.geometry.height())
                     .arg(m.geometry.x())
                     .arg(m.geometry.y());
    return parts.join(QLatin1Char(' '));
}

TEST(Monitors, ListsAreReadInPictureOrderAndBadOnesRefused)
{
    const Parsed rows[] = {
        {"1920x1080+0+0", "*monitor1@1920x1080+0+0"},
        // The first is the primary even when it is not the leftmost; the others follow left to right.
        {"1920x1080+1080+0,1080x1920+0+0,800x600+3000+0",
         "*monitor1@1920x1080+1080+0 monitor2@1080x1920+0+0 monitor3@800x600+3000+0"},
        {"DP-2=1080x1920+1920+0, HDMI-1=1920x1080+0+0", "*DP-2@1080x1920+1920+0 HDMI-1@1920x1080+0+0"},
        {"1280x1024+0+-1024,1920x1080+0+0", "*monitor1@1280x1024+0+-1024 monitor2@1920x1080+0+0"},
        {"", ""},
        {"1920x1080", ""},
        {"1920x1080+0+0,", ""},
        {"0x1080+0+0", ""},
        {"1920x1080+0+0,1920x1080+1000+0", ""}, // overlapping
        {"A=10x10+0+0,A=10x10+10+0", ""},        // one name twice
        {"40000x10+0+0", ""},
        {"bad name=10x10+0+0", ""},
    };
    for (const Parsed& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<platform::Monitor> monitors;
        QString error;
        const bool ok = platform::ParseMonitorList(QString::fromLatin1(row.text), monitors, error);
        EXPECT_EQ(ok, *row.expected != '\0') << error.toStdString();
        if (ok)
            EXPECT_EQ(Describe(monitors), QString::fromLatin1(row.expected));
        else
            EXPECT_FALSE(error.isEmpty());
    }
}

TEST(Monitors, WorkAreaIsTakenRelativeToTheMonitorAndBoundsHoldThemAll)
{
    platform::Monitor right;
    right.geometry = QRect(1920, 0, 1080, 1920);
    right.workArea = QRect(1920, 32, 1080, 1888); // a panel along its top
    EXPECT_EQ(platform::LocalWorkArea(right), QRect(0, 32, 1080, 1888));
    right.workArea = QRect(); // unknown: all of it
    EXPECT_EQ(platform::LocalWorkArea(right), QRect(0, 0, 1080, 1920));
    right.workArea = QRect(1800, 0, 1300, 1920); // reaching past the monitor is cut to it
    EXPECT_EQ(platform::LocalWorkArea(right), QRect(0, 0, 1080, 1920));

    platform::Monitor left;
    left.geometry = QRect(0, 200, 1920, 1080);
    EXPECT_EQ(platform::MonitorBounds({left, right}), QRect(0, 0, 3000, 1920));
}

TEST(Monitors, ModeNeverChosenFollowsTheNumberOfMonitors)
{
    namespace Mode = settings::MonitorMode;
    struct Row {
        std::int32_t chosen;
        int monitors;
        std::int32_t inForce;
    };
    const Row rows[] = {
        {Mode::ByMonitorCount, 1, Mode::Primary}, {Mode::ByMonitorCount, 2, Mode::EachOwn},
        {Mode::Same, 1, Mode::Same},              {Mode::Primary, 3, Mode::Primary},
        {7, 2, Mode::EachOwn},                    {-5, 1, Mode::Primary}, // hand-edited values
    };
    for (const Row& row : rows)
        EXPECT_EQ(settings::EffectiveMonitorMode(row.chosen, row.monitors), row.inForce)
            << row.chosen << " with " << row.monitors;
}

} // namespace
