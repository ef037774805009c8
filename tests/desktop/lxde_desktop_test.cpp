// The LXDE way on the real pcmanfm desktop with a fresh profile, on a private X
// display (tests/desktop/with_desktop.sh) and a private session bus.
#include "desktop/desktop_programs.h"
#include "platform/wallpaper.h"
#include "support/temp_env.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// key= of pcmanfm's desktop settings (one group, "[*]").
QString Setting(const QString& file, const char* key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString prefix = QLatin1String(key) + QLatin1Char('=');
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

TEST(LxdeDesktop, FreshProfileShowsThePictureAndKeepsIt)
{
    const QString missing = MissingPrograms({QStringLiteral("pcmanfm")});
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const QSize size = ScreenSize();
    if (size.isEmpty())
        GTEST_SKIP() << "needs an X display (tests/desktop/with_desktop.sh)";
    TempEnv home;
    PrivateSession session(home.Root());
    if (!session.Problem().isEmpty())
        GTEST_SKIP() << session.Problem().toStdString();
    EnvGuard env;
    env.Set("XDG_CURRENT_DESKTOP", "LXDE");

    DesktopProgram pcmanfm(QStringLiteral("pcmanfm"), {QStringLiteral("--desktop"), QStringLiteral("--profile=LXDE")},
                           home.Root());
    ASSERT_TRUE(pcmanfm.Running());
    ASSERT_TRUE(WaitUntil(&DesktopWindowShown)) << pcmanfm.Log().toStdString();

    // The fresh profile's desktop shows a Trash icon in the first column.
    const QRect beyondIcons(QPoint(160, 0), QSize(size.width() - 160, size.height()));
    const QString settings = home.ConfigHome() + QStringLiteral("/pcmanfm/LXDE/desktop-items-0.conf");
    for (int change = 1; change <= 2; ++change) {
        const QImage picture = CoarsePattern(size, change);
        const QString path = home.Root() + QStringLiteral("/expo.bmp");
        ASSERT_TRUE(picture.save(path, "BMP"));
        const auto result = platform::SetDesktopWallpaper(path);
        ASSERT_TRUE(result.ok()) << result.error().text;
        EXPECT_EQ(result->method, QStringLiteral("lxde"));
        EXPECT_EQ(result->description, QStringLiteral("Set on LXDE's desktop"));

        const ScreenMatch shown = WaitForScreen(beyondIcons, picture, QPoint(0, 0));
        EXPECT_TRUE(shown.Matches()) << "change " << change << ": " << shown.Describe().toStdString();
        SaveScreenshot(QStringLiteral("lxde-fresh-%1").arg(change));

        // The desktop stored the picture in its profile: it comes back after a login.
        EXPECT_EQ(Setting(settings, "wallpaper").toStdString(), result->file.toStdString()) << settings.toStdString();
        EXPECT_EQ(Setting(settings, "wallpaper_mode").toStdString(), "center");
    }
}

} // namespace
