#include "platform/wallpaper.h"

#include "platform/desktop_detect.h"
#include "platform/wallpaper_file.h"
#include "platform/wallpaper_methods.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <optional>
#include <vector>

namespace platform {
namespace {

struct Step {
    const char* method;
    MethodOutcome (*run)(const QString& file);
    bool freshCopy; // the desktop caches by file name and needs a new one each time
    const char* way;   // the way, for the user: "Xfce's desktop"
    const char* shown; // the user's message when it worked
    bool wayland = false; // talks to the Wayland compositor, which must be reachable
};

const Step kGnome {"gnome", &SetGnomeWallpaper, true, "GNOME's background setting", "Set as GNOME's background"};
const Step kBudgie {"budgie", &SetGnomeWallpaper, true, "Budgie's background setting", "Set as Budgie's background"};
const Step kCinnamon {"cinnamon", &SetCinnamonWallpaper, true, "Cinnamon's background setting",
                      "Set as Cinnamon's background"};
const Step kMate {"mate", &SetMateWallpaper, true, "MATE's background setting", "Set as MATE's background"};
const Step kXfce {"xfce", &SetXfceWallpaper, true, "Xfce's desktop", "Set on Xfce's desktop"};
const Step kKde {"kde", &SetKdeWallpaper, true, "Plasma's desktop", "Set on Plasma's desktop"};
const Step kLxqt {"lxqt", &SetLxqtWallpaper, true, "LXQt's desktop", "Set on LXQt's desktop"};
const Step kLxde {"lxde", &SetLxdeWallpaper, true, "LXDE's desktop", "Set on LXDE's desktop"};
const Step kSwww {"swww", &SetSwwwWallpaper, true, "swww", "Shown by swww", true};
const Step kSway {"sway", &SetSwayWallpaper, true, "sway's output background", "Set as sway's output background",
                  true};
const Step kHyprpaper {"hyprpaper", &SetHyprpaperWallpaper, true, "hyprpaper", "Shown by hyprpaper", true};
const Step kSwaybg {"swaybg", &SetSwaybgWallpaper, true, "swaybg", "Shown by swaybg", true};
// The pixels are copied into the X server: the file is not referred to again.
const Step kRoot {"x11-root", &SetRootPixmapWallpaper, false, "the X root window",
                  "Set as the X root window's background"};

QString Capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

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
    case DesktopFamily::Wlroots:
        if (qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("Hyprland"), Qt::CaseInsensitive)
            || !qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE").isEmpty())
            steps = {kHyprpaper, kSwww, kSwaybg};
        else
            steps = {kSwww, kSway, kSwaybg};
        break;
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
    // Read before the change: what the other desktops of this account name must
    // outlive it. The desktop being set is left out, as its key changes now.
    const std::vector<NamedWallpaper> named =
        copy.HasEarlierCopies() ? WallpapersNamedInSettings() : std::vector<NamedWallpaper>();
    QStringList reasons;
    QString ownWayFailed; // why the desktop's own way did not work, when a fall-back is tried
    std::optional<QString> unreachable; // why no compositor answers, once asked
    for (const Step& step : steps) {
        if (step.wayland) {
            // Every Wayland way needs the compositor; without one, a background
            // client would only die unseen.
            if (!unreachable) {
                unreachable = WaylandCompositorUnreachable();
                if (!unreachable->isEmpty())
                    reasons << *unreachable;
            }
            if (!unreachable->isEmpty())
                continue;
        }
        QString given = file;
        if (step.freshCopy) {
            given = copy.Path();
            if (given.isEmpty()) {
                reasons << QStringLiteral("%1: %2").arg(QLatin1String(step.way), copy.error());
                continue;
            }
        }
        const MethodOutcome outcome = step.run(given);
        if (outcome.ok) {
            QSet<QString> elsewhere;
            const QString own = SchemaOfMethod(QLatin1String(step.method));
            for (const NamedWallpaper& n : named) {
                if (n.schema != own)
                    elsewhere.insert(QFileInfo(n.file).absoluteFilePath());
            }
            copy.Finish(step.freshCopy, elsewhere);
            result.ok = true;
            result.method = QLatin1String(step.method);
            result.file = given;
            if (&step != &steps.front() && qstrcmp(step.method, kRoot.method) == 0 && !ownWayFailed.isEmpty())
                result.description =
                    QStringLiteral("%1, so the picture was put on the X root window instead").arg(Capitalised(ownWayFailed));
            else
                result.description = QLatin1String(step.shown);
            return result;
        }
        if (ownWayFailed.isEmpty())
            ownWayFailed = outcome.detail;
        reasons << QStringLiteral("%1: %2").arg(QLatin1String(step.way), outcome.detail);
    }
    result.detail = QStringLiteral("The wallpaper could not be set on %1 (%2).")
                        .arg(DesktopName(family), reasons.join(QStringLiteral("; ")));
    return result;
}

} // namespace platform
