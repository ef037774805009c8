#include "platform/monitors.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace platform {
namespace {

QRect Physical(const QRect& r, qreal dpr)
{
    return QRect(QPoint(qRound(r.x() * dpr), qRound(r.y() * dpr)),
                 QSize(qRound(r.width() * dpr), qRound(r.height() * dpr)));
}

Monitor Fallback(QSize size)
{
    Monitor m;
    m.name = QStringLiteral("monitor1");
    m.geometry = QRect(QPoint(0, 0), size);
    m.workArea = m.geometry;
    m.primary = true;
    return m;
}

} // namespace

void SortMonitors(std::vector<Monitor>& monitors)
{
    std::stable_sort(monitors.begin(), monitors.end(), [](const Monitor& a, const Monitor& b) {
        if (a.primary != b.primary)
            return a.primary;
        if (a.geometry.x() != b.geometry.x())
            return a.geometry.x() < b.geometry.x();
        return a.geometry.y() < b.geometry.y();
    });
}

std::vector<Monitor> DesktopMonitors(QSize fallback)
{
    // The offscreen and minimal platforms invent a screen; a headless run uses
    // the size it was given instead.
    if (!qGuiApp)
        return {Fallback(fallback)};
    const QString platformName = QGuiApplication::platformName();
    if (platformName == u"offscreen" || platformName == u"minimal")
        return {Fallback(fallback)};
    const QScreen* primary = QGuiApplication::primaryScreen();
    std::vector<Monitor> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const qreal dpr = screen->devicePixelRatio();
        if (screen->geometry().isEmpty())
            continue;
        Monitor m;
        m.name = screen->name();
        m.geometry = Physical(screen->geometry(), dpr);
        m.scale = dpr;
        m.primary = screen == primary;
        // Qt keeps the device-independent origin of each screen; its available
        // geometry is relative to the same origin.
        const QRect available = screen->availableGeometry();
        const QPoint offset = available.topLeft() - screen->geometry().topLeft();
        const QRect work(m.geometry.topLeft() + QPoint(qRound(offset.x() * dpr), qRound(offset.y() * dpr)),
                         QSize(qRound(available.width() * dpr), qRound(available.height() * dpr)));
        m.workArea = work & m.geometry;
        if (m.workArea.isEmpty())
            m.workArea = m.geometry;
        monitors.push_back(m);
    }
    if (monitors.empty())
        return {Fallback(fallback)};
    if (std::none_of(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; }))
        monitors.front().primary = true;
    // Qt names a screen it knows nothing about by an empty string; desktops that
    // set monitors apart need a name.
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].name.isEmpty())
            monitors[i].name = QStringLiteral("monitor%1").arg(i + 1);
    }
    SortMonitors(monitors);
    return monitors;
}

bool ParseMonitorList(const QString& text, std::vector<Monitor>& monitors, QString& error)
{
    static const QRegularExpression item(
        QStringLiteral(R"(^(?:([A-Za-z0-9_.:-]{1,64})=)?(\d{1,5})x(\d{1,5})\+(-?\d{1,5})\+(-?\d{1,5})$)"));
    std::vector<Monitor> parsed;
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString& raw : items) {
        const QString it = raw.trimmed();
        const auto match = item.match(it);
        const int w = match.hasMatch() ? match.captured(2).toInt() : 0;
        const int h = match.hasMatch() ? match.captured(3).toInt() : 0;
        if (!match.hasMatch() || w < 1 || h < 1 || w > 32767 || h > 32767) {
            error = QStringLiteral("\"%1\" is not a monitor; write WIDTHxHEIGHT+X+Y, for example 1920x1080+0+0").arg(it);
            return false;
        }
        Monitor m;
        m.name = match.captured(1).isEmpty() ? QStringLiteral("monitor%1").arg(parsed.size() + 1) : match.captured(1);
        m.geometry = QRect(match.captured(4).toInt(), match.captured(5).toInt(), w, h);
        m.workArea = m.geometry;
        m.primary = parsed.empty();
        for (const Monitor& other : parsed) {
            if (other.geometry.intersects(m.geometry)) {
                error = QStringLiteral("the monitors %1 and %2 overlap").arg(other.name, m.name);
                return false;
            }
            if (other.name == m.name) {
                error = QStringLiteral("two monitors are called %1").arg(m.name);
                return false;
            }
        }
        parsed.push_back(m);
    }
    if (parsed.size() > 16) {
        error = QStringLiteral("at most 16 monitors are supported");
        return false;
    }
    SortMonitors(parsed);
    monitors = std::move(parsed);
    return true;
}

QRect MonitorBounds(const std::vector<Monitor>& monitors)
{
    QRect bounds;
    for (const Monitor& m : monitors)
        bounds |= m.geometry;
    return bounds;
}

QRect LocalWorkArea(const Monitor& monitor)
{
    const QRect work = (monitor.workArea.isEmpty() ? monitor.geometry : monitor.workArea) & monitor.geometry;
    return work.translated(-monitor.geometry.topLeft());
}

} // namespace platform
