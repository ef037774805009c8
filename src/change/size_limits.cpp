#include "change/size_limits.h"

#include <algorithm>

namespace change {
namespace {

bool TooLarge(QSize size)
{
    return size.width() > kLargestSide || size.height() > kLargestSide
           || qint64(size.width()) * size.height() > kLargestPixels;
}

QString Dimensions(QSize size) { return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()); }

QString TooLargeText(const QString& what, QSize size)
{
    return QStringLiteral("%1 would be %2 pixels, more than the %3 pixels on a side or %4 megapixels a picture "
                          "may have; nothing was changed.")
        .arg(what, Dimensions(size))
        .arg(kLargestSide)
        .arg(kLargestPixels / 1'000'000);
}

} // namespace

std::optional<QString> SizeProblem(QSize canvas, const std::vector<platform::Monitor>& monitors, bool wallpaper)
{
    if (canvas.width() <= 0 || canvas.height() <= 0)
        return QStringLiteral("The size %1 is no picture size; nothing was changed.").arg(Dimensions(canvas));
    if (TooLarge(canvas))
        return TooLargeText(QStringLiteral("The exposition"), canvas);
    if (!wallpaper)
        return std::nullopt;
    for (const platform::Monitor& monitor : monitors)
        if (TooLarge(monitor.geometry.size()))
            return TooLargeText(QStringLiteral("The exposition of the monitor %1").arg(monitor.name),
                                monitor.geometry.size());
    if (monitors.size() > 1)
        if (const QSize span = platform::MonitorBounds(monitors).size(); TooLarge(span))
            return TooLargeText(QStringLiteral("The picture spanning the monitors"), span);
    return std::nullopt;
}

std::optional<QString> TypedWallpaperSizeProblem(QSize canvas, const std::vector<platform::Monitor>& monitors)
{
    std::vector<QSize> sizes {canvas};
    for (const platform::Monitor& monitor : monitors)
        sizes.push_back(monitor.geometry.size());
    for (const QSize size : sizes)
        // Either way up: an upright monitor is as large as a lying one.
        if (std::max(size.width(), size.height()) < kSmallestWallpaperWidth
            || std::min(size.width(), size.height()) < kSmallestWallpaperHeight)
            return QStringLiteral("A wallpaper must be at least %1 x %2 pixels, not %3; nothing was changed "
                                  "(export makes a picture of any size).")
                .arg(kSmallestWallpaperWidth)
                .arg(kSmallestWallpaperHeight)
                .arg(Dimensions(size));
    return std::nullopt;
}

} // namespace change
