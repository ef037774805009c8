#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

ScreenInfo PrimaryScreen(QSize fallback)
{
    ScreenInfo info {fallback, QRect(QPoint(0, 0), fallback)};
    // The offscreen and minimal platforms invent a screen; a headless run uses
    // the size it was given instead.
    if (!qGuiApp)
        return info;
    const QString platformName = QGuiApplication::platformName();
    if (platformName == u"offscreen" || platformName == u"minimal")
        return info;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return info;

    const qreal dpr = screen->devicePixelRatio();
    const QRect geometry = screen->geometry();
    if (geometry.isEmpty())
        return info;
    const QSize size(qRound(geometry.width() * dpr), qRound(geometry.height() * dpr));
    info.size = size;
    info.workArea = QRect(QPoint(0, 0), size);

    // The work area relative to the screen's own top-left corner, in pixels.
    const QRect available = screen->availableGeometry();
    const QPoint offset = available.topLeft() - geometry.topLeft();
    const QRect work(QPoint(qRound(offset.x() * dpr), qRound(offset.y() * dpr)),
                     QSize(qRound(available.width() * dpr), qRound(available.height() * dpr)));
    const QRect clipped = work & info.workArea;
    if (!clipped.isEmpty())
        info.workArea = clipped;
    return info;
}

} // namespace platform
