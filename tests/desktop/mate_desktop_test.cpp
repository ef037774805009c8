// The MATE way with the real caja drawing the desktop, on a private X display
// (tests/desktop/with_desktop.sh), session bus and dconf database.
#include "desktop/desktop_programs.h"
#include "platform/wallpaper.h"
#include "support/temp_env.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(MateDesktop, CajaShowsThePictureAndWithoutItTheRootWindowDoes)
{
    const QString missing = MissingPrograms({QStringLiteral("caja"), QStringLiteral("gsettings")});
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    if (!QFile::exists(QStringLiteral("/usr/libexec/dconf-service")))
        GTEST_SKIP() << "dconf-service is not installed";
    const QSize size = ScreenSize();
    if (size.isEmpty())
        GTEST_SKIP() << "needs an X display (tests/desktop/with_desktop.sh)";
    TempEnv home;
    PrivateSession session(home.Root());
    if (!session.Problem().isEmpty())
        GTEST_SKIP() << session.Problem().toStdString();
    EnvGuard env;
    env.Set("XDG_CURRENT_DESKTOP", "MATE");

    // Nothing draws MATE's background yet: storing the key alone would change
    // nothing on the screen.
    const QRect screen(QPoint(0, 0), size);
    const QImage early = CoarsePattern(size, 9);
    ASSERT_TRUE(early.save(home.Root() + QStringLiteral("/early.bmp"), "BMP"));
    const auto rooted = platform::SetDesktopWallpaper(home.Root() + QStringLiteral("/early.bmp"));
    ASSERT_TRUE(rooted.ok()) << rooted.error().text;
    EXPECT_EQ(rooted->method, QStringLiteral("x11-root"));
    EXPECT_EQ(rooted->description, QStringLiteral("Neither caja, MATE's desktop program, nor mate-settings-daemon, its "
                                                 "settings daemon, is running, so the picture was put on the X root "
                                                 "window instead"));
    const ScreenMatch onRoot = WaitForScreen(screen, early, QPoint(0, 0));
    EXPECT_TRUE(onRoot.Matches(0)) << onRoot.Describe().toStdString();
    SaveScreenshot(QStringLiteral("mate-no-caja"));

    DesktopProgram caja(QStringLiteral("caja"), {QStringLiteral("--force-desktop"), QStringLiteral("--no-default-window")},
                        home.Root());
    ASSERT_TRUE(caja.Running());
    ASSERT_TRUE(WaitUntil(&DesktopWindowShown)) << caja.Log().toStdString();

    // caja's icons (Computer, Home, Trash) stand in the first column.
    const QRect beyondIcons(QPoint(160, 0), QSize(size.width() - 160, size.height()));
    for (int change = 1; change <= 2; ++change) {
        const QImage picture = CoarsePattern(size, change + 10);
        const QString path = home.Root() + QStringLiteral("/expo.bmp");
        ASSERT_TRUE(picture.save(path, "BMP"));
        const auto result = platform::SetDesktopWallpaper(path);
        ASSERT_TRUE(result.ok()) << result.error().text;
        EXPECT_EQ(result->method, QStringLiteral("mate"));
        EXPECT_EQ(result->description, QStringLiteral("Set as MATE's background"));
        const ScreenMatch shown = WaitForScreen(beyondIcons, picture, QPoint(0, 0));
        EXPECT_TRUE(shown.Matches()) << "change " << change << ": " << shown.Describe().toStdString();
        SaveScreenshot(QStringLiteral("mate-caja-%1").arg(change));
    }
}

} // namespace
