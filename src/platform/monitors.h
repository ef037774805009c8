#pragma once
// The monitors of the desktop: their names, places and work areas in physical
// pixels. Several monitors each get an exposition of their own size and shape.
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace platform {

struct Monitor {
    QString name;   // the connector ("HDMI-1", "eDP-1"), as the desktop names it
    QRect geometry; // physical pixels, in the coordinates of the whole desktop
    QRect workArea; // the part not covered by panels and docks, same coordinates
    double scale = 1.0;
    bool primary = false;
};

// The monitors in their order for pictures: the primary first, then the others
// from left to right and top to bottom. From the running Qt GUI application's
// screens (RandR monitors on X11, outputs on Wayland); without a real screen
// (no GUI, the offscreen platform) one monitor of the fallback size.
std::vector<Monitor> DesktopMonitors(QSize fallback = QSize(1920, 1080));

// Puts monitors in the order above.
void SortMonitors(std::vector<Monitor>& monitors);

// "1920x1080+0+0,1080x1920+1920+0", each item optionally named ("DP-2=1080x1920+1920+0");
// the first is the primary. Unnamed ones are called "monitor1", "monitor2", ...
// False with error set for anything else, overlapping monitors among it.
bool ParseMonitorList(const QString& text, std::vector<Monitor>& monitors, QString& error);

// The smallest rectangle holding every monitor.
QRect MonitorBounds(const std::vector<Monitor>& monitors);

// A monitor's work area relative to its own top-left corner: what an exposition
// of that monitor's size takes as its work area.
QRect LocalWorkArea(const Monitor& monitor);

} // namespace platform
