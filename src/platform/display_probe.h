#pragma once
// Which Qt platform a program can really start: a display named in the
// environment may be gone (a stale DISPLAY or WAYLAND_DISPLAY), or Qt's plugin for
// it may not be installed, and Qt then aborts ("Reinstalling the application may
// fix this problem"). Probed before the application object is made.
#include <QByteArray>

namespace platform {

// An X server answers at $DISPLAY and Qt's xcb plugin is installed.
bool X11DisplayReachable();
// A Wayland compositor listens at $WAYLAND_DISPLAY and Qt's wayland plugin is installed.
bool WaylandDisplayReachable();

// The platform for QT_QPA_PLATFORM: the one asked for when it can start, else the
// other real one that can, else "offscreen". A program that needs no screen gets
// "offscreen" whatever was asked. `requested` is QT_QPA_PLATFORM as set (may be empty).
QByteArray ChooseQtPlatform(const QByteArray& requested, bool needsScreen);

} // namespace platform
