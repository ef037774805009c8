#include "agent/clock_face.h"

#include "settings/settings.h"
#include <cmath>
#include <cstdlib>
#include <numbers>

// The pictures are compiled into the static resources library, whose resources must
// be registered by name before first use; Q_INIT_RESOURCE works only outside any
// namespace.
static void RegisterTrayResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tray);
        return true;
    }();
    (void)done;
}

namespace agent {

namespace {

constexpr int kIconSize = 16;
constexpr double kHourHandLength = 4.0;
constexpr double kMinuteHandLength = 4.5;

void Plot(QImage& bitmap, int x, int y, QRgb colour)
{
    if (x >= 0 && y >= 0 && x < bitmap.width() && y < bitmap.height())
        bitmap.setPixel(x, y, colour);
}

} // namespace

int RoundHalfUp(double value)
{
    return static_cast<int>(std::floor(value + 0.5));
}

QPoint HandCentre(const QImage& bitmap)
{
    return {bitmap.width() / 2 - 1, bitmap.height() / 2};
}

QPoint HandEnd(const QImage& bitmap, double fraction, double length)
{
    // Counted counter-clockwise from the top, the way the hand's original form
    // computes it; the same point as turning clockwise by fraction, and rounding
    // noise at the halves falls the same way.
    const QPoint centre = HandCentre(bitmap);
    const double angle = (1.0 - fraction) * 2.0 * std::numbers::pi;
    return {RoundHalfUp(centre.x() - length * std::sin(angle)), RoundHalfUp(centre.y() - length * std::cos(angle))};
}

void DrawLine(QImage& bitmap, QPoint from, QPoint to, QRgb colour)
{
    // Bresenham over all octants with an integer error term.
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1;
    const int sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        Plot(bitmap, x, y, colour);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void DrawHand(QImage& bitmap, double fraction, double length)
{
    const QPoint end = HandEnd(bitmap, fraction, length);
    DrawLine(bitmap, HandCentre(bitmap), end, kHandColour);
    Plot(bitmap, end.x(), end.y(), kTipColour);
}

void DrawClockHands(QImage& bitmap, int hour, int minute)
{
    DrawHand(bitmap, (hour + minute * (1.0 / 60.0)) * (1.0 / 12.0), kHourHandLength);
    DrawHand(bitmap, minute * (1.0 / 60.0), kMinuteHandLength);
}

QImage TrayPicture(int index)
{
    RegisterTrayResources();
    if (index != 0 && index != 1)
        index = 0;
    QImage picture(QStringLiteral(":/tray/tray%1.png").arg(index));
    if (picture.isNull() || picture.size() != QSize(kIconSize, kIconSize)) {
        // Only a broken build gets here; an empty square keeps the agent working.
        picture = QImage(kIconSize, kIconSize, QImage::Format_RGB32);
        picture.fill(kKeyColour);
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage MakeIconImage(int autoChangeIcon, int hour, int minute)
{
    // A hand-edited setting outside 0..2 would point past the two pictures; it
    // gets the small icon.
    QImage bitmap = TrayPicture(autoChangeIcon > 0 ? autoChangeIcon - 1 : 0);
    if (autoChangeIcon == settings::AutoChangeIcon::Clock)
        DrawClockHands(bitmap, hour, minute);

    const QRgb key = bitmap.pixel(0, bitmap.height() - 1);
    QImage icon = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < icon.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(icon.scanLine(y));
        for (int x = 0; x < icon.width(); ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return icon;
}

} // namespace agent
