#pragma once
// Which desktop the user runs, from the session's environment.
#include <QString>

namespace platform {

enum class DesktopFamily {
    Unknown,  // a plain window manager or something we do not know
    Gnome,    // GNOME, Unity, Pantheon, GNOME Flashback/Classic: org.gnome.desktop.background
    Budgie,   // Budgie: the GNOME keys
    Cinnamon,
    Mate,
    Xfce,
    Kde,      // Plasma 5 and 6
    Lxqt,
    Lxde,
    Wlroots,  // sway, Hyprland, river, Wayfire, labwc, niri and friends
};

// XDG_CURRENT_DESKTOP is a colon-separated list, most specific first
// ("ubuntu:GNOME", "Budgie:GNOME"); the first entry we know wins. DESKTOP_SESSION
// (a session name, sometimes a path to its .desktop file) is the fall-back.
DesktopFamily DetectDesktop(const QString& currentDesktop, const QString& desktopSession);

// The same, from this process's environment.
DesktopFamily DetectDesktop();

// True when the session is a Wayland one: an X11 root window is then not what the
// user sees.
bool IsWaylandSession();

QString DesktopName(DesktopFamily family);

} // namespace platform
