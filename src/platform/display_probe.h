#pragma once
// Whether the desktop program has a display to show itself on, asked before a
// QApplication exists: Qt ends the process with a note about reinstalling when its
// platform plugin cannot connect, which tells a user nothing about the cause.
namespace platform {

// True when the platform Qt would use can be reached: an X server named by DISPLAY
// that accepts a connection, or a Wayland compositor's socket named by
// WAYLAND_DISPLAY (inside XDG_RUNTIME_DIR unless a full path) that accepts one. A
// QT_QPA_PLATFORM naming neither (offscreen, vnc, ...) needs no display: true.
bool DisplayReachable();

} // namespace platform
