// The Options page on an X server whose second output is switched off and on
// again with xrandr, as plugging a monitor out and in does: the "Monitors" list
// follows at once and every row stays in the box. Run by with_dummy_xorg.sh.
#include "ui/options_page.h"
#include "ui/pages/pages_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool Xrandr(const QStringList& args)
{
    QProcess xrandr;
    xrandr.start(QStringLiteral("xrandr"), args);
    return xrandr.waitForFinished(30000) && xrandr.exitCode() == 0;
}

void Shoot(QWidget& page, const char* name)
{
    const QString shots = qEnvironmentVariable("AMBIENCE_SCREENSHOTS");
    if (shots.isEmpty())
        return;
    QDir().mkpath(shots);
    page.grab().save(shots + QStringLiteral("/options_%1.png").arg(QLatin1String(name)));
}

TEST(OptionsPageOnRealOutputs, TheMonitorsListFollowsAnOutputSwitchedOffAndOn)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    pagestest::PagesEnv pages;
    pages.Store("BackgroundType", 2); // the colour rows shown too
    ui::TOptionsPage page(*pages.options);
    const double scale = page.OneLineScale(std::max(1.0, QFontMetrics(page.font()).height() / 13.0));
    page.resize(int(577 * scale), int(313 * scale));
    page.LayOut(scale);
    page.LoadOptionsPage();
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    auto shown = [&] { return page.MMC->isVisibleTo(&page); };
    auto fits = [&] {
        return !page.OSB->verticalScrollBar()->isVisible() && !page.OSB->horizontalScrollBar()->isVisible()
               && page.MMC->geometry().bottom() < page.OSB->height();
    };
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    EXPECT_TRUE(shown());
    EXPECT_TRUE(fits());
    Shoot(page, "two_monitors");

    ASSERT_TRUE(Xrandr({QStringLiteral("--output"), QStringLiteral("DUMMY1"), QStringLiteral("--off")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown(); }, 20000));
    Shoot(page, "one_monitor");

    ASSERT_TRUE(Xrandr({QStringLiteral("--output"), QStringLiteral("DUMMY1"), QStringLiteral("--mode"),
                        QStringLiteral("1080x1920"), QStringLiteral("--pos"), QStringLiteral("1920x0")}));
    EXPECT_TRUE(QTest::qWaitFor(shown, 20000));
    EXPECT_TRUE(fits());
    EXPECT_FALSE(page.OAB->isVisible()); // nothing was edited
    EXPECT_EQ(page.MMC->currentText(), QStringLiteral("each monitor its own picture"));
}

} // namespace
