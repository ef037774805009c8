#include "platform/wallpaper.h"

#include "platform/desktop_detect.h"
#include "platform/wallpaper_file.h"
#include "platform/wallpaper_methods.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
namespace {

// What a way takes of a request besides one picture for every monitor.
enum Takes : unsigned {
    OnePicture = 0,
    EachMonitor = 1, // every monitor its own file
    Spanned = 2,     // one picture spanning the monitors
    DarkStyle = 4,   // a picture of its own for the dark style
    LockScreen = 8,  // the lock screen's picture
};

struct Step {
    const char* method;
    MethodOutcome (*run)(const WallpaperRequest& given);
    bool freshCopy; // the desktop caches by file name and needs a new one each time
    const char* way;   // the way, for the user: "Xfce's desktop"
    const char* shown; // the user's message when it worked
    bool wayland = false; // talks to the Wayland compositor, which must be reachable
    unsigned takes = OnePicture;
    // Said once instead of the plain "cannot be given the picture" when the lock
    // screen is asked for and the way does not take it.
    const char* lockScreenNote = nullptr;
};

// GNOME Shell's lock screen draws the desktop's own background, blurred, and
// reads no picture of its own: the desktop's picture is all it can be given.
const Step kGnome {"gnome", &SetGnomeWallpaper, true, "GNOME's background setting", "Set as GNOME's background",
                   false, Spanned | DarkStyle, "GNOME's lock screen shows the desktop's picture, blurred, so it "
                                               "has no picture of its own to set"};
const Step kBudgie {"budgie", &SetBudgieWallpaper, true, "Budgie's background setting", "Set as Budgie's background",
                    false, Spanned | DarkStyle | LockScreen};
const Step kCinnamon {"cinnamon", &SetCinnamonWallpaper, true, "Cinnamon's background setting",
                      "Set as Cinnamon's background", false, Spanned};
const Step kMate {"mate", &SetMateWallpaper, true, "MATE's background setting", "Set as MATE's background", false,
                  Spanned};
const Step kXfce {"xfce", &SetXfceWallpaper, true, "Xfce's desktop", "Set on Xfce's desktop", false, EachMonitor};
const Step kKde {"kde", &SetKdeWallpaper, true, "Plasma's desktop", "Set on Plasma's desktop", false,
                 EachMonitor | LockScreen};
const Step kLxqt {"lxqt", &SetLxqtWallpaper, true, "LXQt's desktop", "Set on LXQt's desktop", false, Spanned};
const Step kLxde {"lxde", &SetLxdeWallpaper, true, "LXDE's desktop", "Set on LXDE's desktop"};
const Step kSwww {"swww", &SetSwwwWallpaper, true, "swww", "Shown by swww", true, EachMonitor};
const Step kSway {"sway", &SetSwayWallpaper, true, "sway's output background", "Set as sway's output background",
                  true, EachMonitor};
const Step kHyprpaper {"hyprpaper", &SetHyprpaperWallpaper, true, "hyprpaper", "Shown by hyprpaper", true,
                       EachMonitor};
const Step kSwaybg {"swaybg", &SetSwaybgWallpaper, true, "swaybg", "Shown by swaybg", true, EachMonitor};
// The pixels are copied into the X server: the file is not referred to again.
const Step kRoot {"x11-root", &SetRootPixmapWallpaper, false, "the X root window",
                  "Set as the X root window's background", false, Spanned};

// The request as a way is given it: only what it takes, each file a fresh copy
// where the desktop needs one. Empty with error set when a copy fails.
class GivenFiles {
public:
    GivenFiles(const WallpaperRequest& request, const Step& step)
    {
        const bool freshCopies = step.freshCopy;
        given_.lockScreen = request.lockScreen && (step.takes & LockScreen);
        given_.file = Take(request.file, freshCopies);
        if ((step.takes & DarkStyle) && !request.dark.isEmpty())
            given_.dark = Take(request.dark, freshCopies);
        if (request.PerMonitor() && (step.takes & EachMonitor)) {
            for (const MonitorWallpaper& m : request.monitors)
                given_.monitors.push_back({m.name, m.geometry, m.file == request.file ? given_.file
                                                                                     : Take(m.file, freshCopies)});
        } else if (request.PerMonitor() && (step.takes & Spanned) && !request.spanned.isEmpty()) {
            given_.monitors = request.monitors; // the layout only: the files are not handed over
            for (MonitorWallpaper& m : given_.monitors)
                m.file.clear();
            given_.spanned = Take(request.spanned, freshCopies);
            if ((step.takes & DarkStyle) && !request.darkSpanned.isEmpty())
                given_.darkSpanned = Take(request.darkSpanned, freshCopies);
        }
    }

    const WallpaperRequest& Given() const { return given_; }
    const QString& error() const { return error_; }

    // The desktop took the pictures: its copies stay, those of earlier changes
    // go (wallpaper_file.h).
    void Finish(bool used, const QSet<QString>& namedElsewhere)
    {
        QSet<QString> keep = namedElsewhere;
        for (const auto& copy : copies_)
            keep.insert(QFileInfo(copy->Path()).absoluteFilePath());
        for (const auto& copy : copies_)
            copy->Finish(used, keep);
    }

private:
    QString Take(const QString& file, bool fresh)
    {
        if (!fresh || file.isEmpty() || !error_.isEmpty())
            return file;
        copies_.push_back(std::make_unique<WallpaperCopy>(QFileInfo(file).absoluteFilePath()));
        const QString path = copies_.back()->Path();
        if (path.isEmpty())
            error_ = copies_.back()->error();
        return path;
    }

    WallpaperRequest given_;
    std::vector<std::unique_ptr<WallpaperCopy>> copies_;
    QString error_;
};

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

bool DesktopTakesDarkStyle()
{
    const DesktopFamily family = DetectDesktop();
    return family == DesktopFamily::Gnome || family == DesktopFamily::Budgie;
}

namespace {

// Checks that every file of the request can be read and names each by its
// absolute path from here on.
core::Result<void> CheckFiles(WallpaperRequest& request)
{
    std::vector<QString*> paths {&request.file};
    for (QString* path : {&request.dark, &request.spanned, &request.darkSpanned})
        if (!path->isEmpty())
            paths.push_back(path);
    for (MonitorWallpaper& m : request.monitors)
        paths.push_back(&m.file);
    for (QString* path : paths) {
        const QFileInfo source(*path);
        if (!source.isFile() || !source.isReadable())
            return core::MakeError(source.exists() ? 5 : 2,
                                   QStringLiteral("The picture file %1 cannot be read.").arg(*path).toStdString());
        *path = source.absoluteFilePath();
    }
    return core::Ok();
}

// The pictures the other desktops of this account name, which the step's fresh
// copies must not take away.
QSet<QString> NamedElsewhere(const std::vector<NamedWallpaper>& named, const Step& step)
{
    QSet<QString> elsewhere;
    const QString own = SchemaOfMethod(QLatin1String(step.method));
    for (const NamedWallpaper& n : named)
        if (n.schema != own)
            elsewhere.insert(QFileInfo(n.file).absoluteFilePath());
    return elsewhere;
}

// Fills in the result of the step that worked: what was done, and what was done
// otherwise than asked. ownWayFailed: why the desktop's own way did not work,
// when a fall-back did it.
void DescribeSuccess(const Step& step, bool fallBack, const QString& ownWayFailed, const WallpaperRequest& request,
                     DesktopFamily family, const MethodOutcome& outcome, WallpaperSet& result)
{
    result.method = QLatin1String(step.method);
    result.notices = outcome.notices;
    // Said once a run: it stays so for every change.
    static QSet<QString> told;
    auto once = [&](const QString& notice) {
        if (!told.contains(notice)) {
            told.insert(notice);
            result.notices << notice;
        }
    };
    if (request.PerMonitor() && !(step.takes & (EachMonitor | Spanned)))
        once(QStringLiteral("%1 shows one picture on every monitor, so all of them show the primary monitor's exposition")
                 .arg(Capitalised(QLatin1String(step.way))));
    if (request.lockScreen && !(step.takes & LockScreen))
        once(step.lockScreenNote ? QLatin1String(step.lockScreenNote)
                                 : QStringLiteral("the lock screen of %1 cannot be given the picture; only the desktop "
                                                  "was set")
                                       .arg(DesktopName(family)));
    if (fallBack && qstrcmp(step.method, kRoot.method) == 0 && !ownWayFailed.isEmpty())
        result.description =
            QStringLiteral("%1, so the picture was put on the X root window instead").arg(Capitalised(ownWayFailed));
    else
        result.description = QLatin1String(step.shown);
}

} // namespace

core::Result<WallpaperSet> SetDesktopWallpaper(const WallpaperRequest& asked)
{
    WallpaperRequest request = asked;
    AMBIENCE_TRY(CheckFiles(request));
    const DesktopFamily family = DetectDesktop();
    const std::vector<Step> steps = Plan(family);
    if (steps.empty())
        return core::MakeError(kNoWallpaperMethod,
                               QStringLiteral("No way of setting the wallpaper is known for %1%2.")
                                   .arg(DesktopName(family),
                                        IsWaylandSession() ? QString() : QStringLiteral(" without an X display"))
                                   .toStdString());

    // Read before the change, and before it makes copies of its own: what the
    // other desktops of this account name must outlive it. The desktop being set
    // is left out, as its key changes now.
    const std::vector<NamedWallpaper> named =
        WallpaperCopy(request.file).HasEarlierCopies() ? WallpapersNamedInSettings() : std::vector<NamedWallpaper>();
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
        GivenFiles files(request, step);
        if (!files.error().isEmpty()) {
            reasons << QStringLiteral("%1: %2").arg(QLatin1String(step.way), files.error());
            continue;
        }
        const MethodOutcome outcome = step.run(files.Given());
        if (outcome.ok) {
            files.Finish(step.freshCopy, NamedElsewhere(named, step));
            WallpaperSet set;
            set.file = files.Given().spanned.isEmpty() ? files.Given().file : files.Given().spanned;
            DescribeSuccess(step, &step != &steps.front(), ownWayFailed, request, family, outcome, set);
            return set;
        }
        if (ownWayFailed.isEmpty())
            ownWayFailed = outcome.detail;
        reasons << QStringLiteral("%1: %2").arg(QLatin1String(step.way), outcome.detail);
    }
    return core::MakeError(kWallpaperNotTaken, QStringLiteral("The wallpaper could not be set on %1: %2.")
                                                   .arg(DesktopName(family), reasons.join(QStringLiteral("; ")))
                                                   .toStdString());
}

} // namespace platform
