#pragma once
// Size and work area of the primary screen, in physical pixels.
#include <QRect>
#include <QSize>

namespace platform {

struct ScreenInfo {
    QSize size;     // the whole screen
    QRect workArea; // the screen less panels and docks; the whole screen when unknown
};

// From the running Qt GUI application's primary screen (geometry times the device
// pixel ratio). Without a screen: fallback with a work area of the whole of it.
ScreenInfo PrimaryScreen(QSize fallback = QSize(1920, 1080));

} // namespace platform
