#include "platform/wallpaper.h"

#include "platform/desktop_detect.h"
#include "platform/wallpaper_file.h"
#include "platform/wallpaper_methods.h"

#include <QFileInfo>
#include <QStringList>

#include <vector>

namespace platform {
namespace {

struct Step {
    const char* method;
    MethodOutcome (*run)(const QString& file);
    bool freshCopy; // the desktop caches by file name and needs a new one each time
};

const Step kGnome {"gnome", &SetGnomeWallpaper, true};
const Step kBudgie {"budgie", &SetGnomeWallpaper, true};
const Step kCinnamon {"cinnamon", &SetCinnamonWallpaper, true};
const Step kMate {"mate", &SetMateWallpaper, true};
const Step kXfce {"xfce", &SetXfceWallpaper, true};
const Step kKde {"kde", &SetKdeWallpaper, true};
const Step kLxqt {"lxqt", &SetLxqtWallpaper, true};
const Step kLxde {"lxde", &SetLxdeWallpaper, true};
const Step kSwww {"swww", &SetSwwwWallpaper, true};
const Step kSway {"sway", &SetSwayWallpaper, true};
const Step kSwaybg {"swaybg", &SetSwaybgWallpaper, true};
// The pixels are copied into the X server: the file is not referred to again.
const Step kRoot {"x11-root", &SetRootPixmapWallpaper, false};

// What to try, in order. The X root window is a fall-back only where the desktop
// may leave it visible: GNOME, Budgie, Cinnamon and Plasma paint their own
// background over it, so a root picture there would be a success nobody sees.
std::vector<Step> Plan(DesktopFamily family)
{
    const bool wayland = IsWaylandSession();
    const bool x11 = !wayland && !qEnvironmentVariable("DISPLAY").isEmpty();
    std::vector<Step> steps;
    auto rootFallback = [&] {
        if (x11)
            steps.push_back(kRoot);
    };
    switch (family) {
    case DesktopFamily::Gnome: steps = {kGnome}; break;
    case DesktopFamily::Budgie: steps = {kBudgie}; break;
    case DesktopFamily::Cinnamon: steps = {kCinnamon}; break;
    case DesktopFamily::Kde: steps = {kKde}; break;
    case DesktopFamily::Mate: steps = {kMate}; rootFallback(); break;
    case DesktopFamily::Xfce: steps = {kXfce}; rootFallback(); break;
    case DesktopFamily::Lxqt: steps = {kLxqt}; rootFallback(); break;
    case DesktopFamily::Lxde: steps = {kLxde}; rootFallback(); break;
    case DesktopFamily::Wlroots: steps = {kSwww, kSway, kSwaybg}; break;
    case DesktopFamily::Unknown:
        if (wayland)
            steps = {kSwww, kSway, kSwaybg};
        else
            rootFallback();
        break;
    }
    return steps;
}

} // namespace

WallpaperResult SetDesktopWallpaper(const QString& path)
{
    WallpaperResult result;
    const QFileInfo source(path);
    if (!source.isFile() || !source.isReadable()) {
        result.detail = QStringLiteral("The picture file %1 cannot be read.").arg(path);
        return result;
    }
    const QString file = source.absoluteFilePath();
    const DesktopFamily family = DetectDesktop();
    const std::vector<Step> steps = Plan(family);
    if (steps.empty()) {
        result.detail = QStringLiteral("No way of setting the wallpaper is known for %1%2.")
                            .arg(DesktopName(family),
                                 IsWaylandSession() ? QString() : QStringLiteral(" without an X display"));
        return result;
    }

    WallpaperCopy copy(file);
    QStringList reasons;
    for (const Step& step : steps) {
        QString given = file;
        if (step.freshCopy) {
            given = copy.Path();
            if (given.isEmpty()) {
                reasons << QStringLiteral("%1: %2").arg(QLatin1String(step.method), copy.error());
                continue;
            }
        }
        const MethodOutcome outcome = step.run(given);
        if (outcome.ok) {
            copy.Finish(step.freshCopy);
            result.ok = true;
            result.method = QLatin1String(step.method);
            result.file = given;
            return result;
        }
        reasons << QStringLiteral("%1: %2").arg(QLatin1String(step.method), outcome.detail);
    }
    result.detail = QStringLiteral("The wallpaper could not be set on %1 (%2).")
                        .arg(DesktopName(family), reasons.join(QStringLiteral("; ")));
    return result;
}

} // namespace platform
