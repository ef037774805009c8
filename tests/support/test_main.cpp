// Test entry: a QApplication (offscreen unless a platform was asked for) around
// GoogleTest, so tests may use fonts, painters and widgets.
//
// No test may reach the desktop of the person running it: every test hands its
// wallpapers to a recording setter of its own, and the variables through which programs find a desktop are
// cleared for this process and every child it starts. Only a test that brought
// up a desktop of its own (with_desktop.sh says so) keeps its display.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void ForgetTheDesktop()
{
    const bool ownDesktop = qEnvironmentVariableIsSet("AMBIENCE_OWN_DESKTOP");
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "XDG_SESSION_DESKTOP", "GDMSESSION",
                             "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "SWAYSOCK",
                             "HYPRLAND_INSTANCE_SIGNATURE"})
        unsetenv(name);
    if (!ownDesktop)
        unsetenv("DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    ForgetTheDesktop();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
