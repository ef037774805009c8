// Xfce keeps one wallpaper per monitor and workspace in the xfce4-desktop channel
// of xfconf ("/backdrop/screen0/monitor<name>/workspace<n>/last-image"); xfdesktop
// redraws when a property changes.
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <optional>

namespace platform {
namespace {

const QString kChannel = QStringLiteral("xfce4-desktop");

ToolRun Xfconf(const QStringList& args)
{
    return RunTool(QStringLiteral("xfconf-query"), QStringList{QStringLiteral("-c"), kChannel} + args);
}

// Properties to create when Xfce has never stored a wallpaper: one per monitor
// of the request, or else that Qt knows of, on the first workspace.
QStringList NewProperties(const WallpaperRequest& given)
{
    QStringList names;
    for (const MonitorWallpaper& m : given.monitors)
        names << m.name;
    if (names.isEmpty() && qGuiApp) {
        for (const QScreen* screen : QGuiApplication::screens())
            names << screen->name();
    }
    QStringList props;
    for (const QString& name : names) {
        if (!name.isEmpty())
            props << QStringLiteral("/backdrop/screen0/monitor%1/workspace0/last-image").arg(name);
    }
    return props;
}

// The file for a property "/backdrop/screen0/monitor<NAME>/workspace<n>/last-image":
// that monitor's own, else (a monitor not connected now, or one picture for all)
// the primary monitor's.
QString FileFor(const QString& prop, const WallpaperRequest& given)
{
    const QStringList parts = prop.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (!part.startsWith(QLatin1String("monitor")))
            continue;
        const QString name = part.mid(int(sizeof("monitor") - 1));
        for (const MonitorWallpaper& m : given.monitors) {
            if (m.name == name)
                return m.file;
        }
    }
    return given.file;
}

// Makes a wallpaper property that was never set; why not, when it cannot be made.
std::optional<QString> CreateImageProperty(const QString& prop, const WallpaperRequest& given)
{
    const ToolRun create = Xfconf({QStringLiteral("-p"), prop, QStringLiteral("-n"), QStringLiteral("-t"),
                                   QStringLiteral("string"), QStringLiteral("-s"), FileFor(prop, given)});
    if (!create.Ok())
        return create.Problem();
    return std::nullopt;
}

// Sets an existing wallpaper property, and its style where it has one (all: every
// property xfconf lists).
std::optional<QString> SetImageProperty(const QString& prop, const QStringList& all, const WallpaperRequest& given)
{
    const ToolRun set = Xfconf({QStringLiteral("-p"), prop, QStringLiteral("-s"), FileFor(prop, given)});
    if (!set.Ok())
        return set.Problem();
    // Style 5 ("zoomed") shows a screen-sized picture 1:1; style 0 would show no
    // picture at all.
    const QString style = prop.left(prop.size() - int(sizeof("last-image") - 1)) + QStringLiteral("image-style");
    if (all.contains(style)) {
        const ToolRun styled = Xfconf({QStringLiteral("-p"), style, QStringLiteral("-s"), QStringLiteral("5")});
        if (!styled.Ok())
            return styled.Problem();
    }
    return std::nullopt;
}

} // namespace

MethodOutcome SetXfceWallpaper(const WallpaperRequest& given)
{
    if (!HasSessionBus())
        return MethodOutcome::Failure(QStringLiteral(
            "there is no D-Bus session bus, as DBUS_SESSION_BUS_ADDRESS is not set, so xfconf cannot store the wallpaper"));

    // xfconf keeps the setting whether or not anything draws the desktop; only
    // xfdesktop shows it (without it the root window is what the user sees), and
    // only the one on this display.
    if (FindProcessesOnDisplay(QStringLiteral("xfdesktop")).empty())
        return MethodOutcome::Failure(QStringLiteral("Xfce's desktop program, xfdesktop, is not running"));

    const ToolRun list = Xfconf({QStringLiteral("-l")});
    if (!list.Ok())
        return MethodOutcome::Failure(list.Problem());
    QStringList all;
    for (const QString& line : QString::fromUtf8(list.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        all << line.trimmed();

    QStringList images;
    for (const QString& prop : all) {
        if (prop.endsWith(QLatin1String("/last-image")))
            images << prop;
    }

    // Every monitor of the request needs a property; one that has never had a
    // wallpaper of its own gets one made.
    QStringList missing;
    for (const QString& prop : NewProperties(given)) {
        if (!images.isEmpty() && given.PerMonitor() && !images.contains(prop))
            missing << prop;
    }
    for (const QString& prop : missing)
        if (const std::optional<QString> problem = CreateImageProperty(prop, given))
            return MethodOutcome::Failure(*problem);

    if (images.isEmpty()) {
        images = NewProperties(given);
        if (images.isEmpty())
            return MethodOutcome::Failure(
                QStringLiteral("Xfce lists no wallpaper properties and no monitor is known to create them for"));
        for (const QString& prop : images)
            if (const std::optional<QString> problem = CreateImageProperty(prop, given))
                return MethodOutcome::Failure(*problem);
    } else {
        for (const QString& prop : images)
            if (const std::optional<QString> problem = SetImageProperty(prop, all, given))
                return MethodOutcome::Failure(*problem);
    }

    // Read one back: a write that never reached xfconfd must not count.
    const ToolRun check = Xfconf({QStringLiteral("-p"), images.front()});
    if (!check.Ok() || QString::fromUtf8(check.out).trimmed() != FileFor(images.front(), given))
        return MethodOutcome::Failure(QStringLiteral("xfconf did not keep the wallpaper setting %1").arg(images.front()));
    return MethodOutcome::Worked();
}

} // namespace platform
