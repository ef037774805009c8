// Desktop detection from the session's variables, and the quoting the wallpaper
// methods use when they hand paths to other programs.
#include "platform/desktop_detect.h"
#include "platform/wallpaper_methods.h"

#include <gtest/gtest.h>

namespace {

using platform::DesktopFamily;

TEST(DetectDesktop, FirstKnownEntryWinsThenTheSessionName)
{
    struct Case {
        const char* current;
        const char* session;
        DesktopFamily expected;
    };
    const Case cases[] = {
        {"ubuntu:GNOME", "", DesktopFamily::Gnome},
        {"Budgie:GNOME", "", DesktopFamily::Budgie},     // the specific entry comes first
        {"X-Cinnamon", "cinnamon", DesktopFamily::Cinnamon},
        {"MATE", "", DesktopFamily::Mate},
        {"XFCE", "", DesktopFamily::Xfce},
        {"KDE", "plasma", DesktopFamily::Kde},
        {"LXQt", "", DesktopFamily::Lxqt},
        {"sway", "", DesktopFamily::Wlroots},
        {"Hyprland", "", DesktopFamily::Wlroots},
        {"Unity:Unity7:ubuntu", "", DesktopFamily::Gnome},
        {"Custom:KDE", "", DesktopFamily::Kde},          // unknown entries are skipped
        {"", "/usr/share/xsessions/plasma.desktop", DesktopFamily::Kde},
        {"", "gnome-xorg", DesktopFamily::Gnome},
        {"", "xfce4-session", DesktopFamily::Xfce},
        {"", "LXDE", DesktopFamily::Lxde},
        {"i3", "i3", DesktopFamily::Unknown},
        {"", "", DesktopFamily::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::DetectDesktop(QString::fromUtf8(c.current), QString::fromUtf8(c.session)), c.expected)
            << c.current << " / " << c.session;
}

TEST(WallpaperQuoting, GVariantTextsRoundTrip)
{
    const QString nasty = QStringLiteral("/home/o'brien/a \\ b/\"x\".bmp");
    const QString literal = platform::GVariantString(nasty);
    EXPECT_EQ(literal, QStringLiteral("'/home/o\\'brien/a \\\\ b/\"x\".bmp'"));
    EXPECT_EQ(platform::ParseGVariantString(literal + QLatin1Char('\n')), nasty);
    // gsettings prints strings holding a single quote in double quotes.
    EXPECT_EQ(platform::ParseGVariantString(QStringLiteral("\"it's\"")), QStringLiteral("it's"));
    EXPECT_EQ(platform::ParseGVariantString(QStringLiteral("''")), QString());
    EXPECT_EQ(platform::ParseGVariantString(QStringLiteral("unquoted")), QString());

    EXPECT_EQ(platform::JsString(QStringLiteral("a'b\\c\nd")), QStringLiteral("'a\\'b\\\\c\\nd'"));
}

} // namespace
