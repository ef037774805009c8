// The MATE way with the real caja drawing the desktop, on a private X display
// (tests/desktop/with_desktop.sh), session bus and dconf database.
#include "desktop/desktop_programs.h"
#include "platform/wallpaper.h"
#include "support/temp_env.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(MateDesktop, CajaShowsThePicture)
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
        ASSERT_TRUE(result.ok) << result.detail.toStdString();
        EXPECT_EQ(result.method, "mate");
        EXPECT_EQ(result.description, "Set as MATE's background");
        const ScreenMatch shown = WaitForScreen(beyondIcons, picture, QPoint(0, 0));
        EXPECT_TRUE(shown.Matches()) << "change " << change << ": " << shown.Describe().toStdString();
        SaveScreenshot(QStringLiteral("mate-caja-%1").arg(change));
    }
}

} // namespace
