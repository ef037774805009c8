#pragma once
// Makes a picture file the desktop's wallpaper through the interface of the
// desktop the user runs.
#include "core/result.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

// One monitor's own exposition.
struct MonitorWallpaper {
    QString name;   // the monitor's connector name, as the desktop knows it
    QRect geometry; // where it is on the desktop, physical pixels
    QString file;
};

// What a desktop is given. With one monitor, or one picture for all, only file
// (and dark). With several monitors each one's own exposition, and the same
// put together at the monitors' places for desktops that take one picture
// spanning them all.
struct WallpaperRequest {
    QString file;         // the primary monitor's exposition
    QString dark;         // the same composed darker, for a dark-style key; may be empty
    std::vector<MonitorWallpaper> monitors; // the primary first; empty or one: file for all
    QString spanned;      // every monitor's exposition at its place (with monitors)
    QString darkSpanned;  // the dark ones put together likewise; may be empty
    bool lockScreen = false; // give the lock screen the picture too, where the desktop allows

    bool PerMonitor() const { return monitors.size() > 1; }
    // One picture for every monitor.
    static WallpaperRequest Of(QString file)
    {
        WallpaperRequest request;
        request.file = std::move(file);
        return request;
    }
};

// What a desktop was given and what it made of it, when it took the picture.
struct WallpaperSet {
    QString method; // the method that worked ("gnome", "kde", "xfce", "x11-root", ...), for programs
    QString description; // what was done, for the user: "Set on Xfce's desktop", and
                         // when a fall-back did it, why the desktop's own way did not
    QString file;   // the file the desktop was given (a fresh copy where the desktop
                    // caches pictures by name, see wallpaper_file.h)
    QStringList notices; // done otherwise than asked: one picture for all monitors,
                         // a lock screen that cannot be set
};

// Why a wallpaper was not set, beside the system's 2 (a picture file is missing)
// and 5 (it cannot be read); the error's text tells the user why.
inline constexpr int kNoWallpaperMethod = 50;                         // no way is known for this desktop (the system's "not supported")
inline constexpr int kWallpaperNotTaken = core::kOwnCodes + 0x100 + 1; // every way was tried and none worked

// Detects the desktop from XDG_CURRENT_DESKTOP / DESKTOP_SESSION, tries its own
// interface and sensible fall-backs, and reports success only when the desktop
// can be expected to show the picture.
core::Result<WallpaperSet> SetDesktopWallpaper(const WallpaperRequest& request);
inline core::Result<WallpaperSet> SetDesktopWallpaper(const QString& path)
{
    return SetDesktopWallpaper(WallpaperRequest::Of(path));
}

// Whether the desktop keeps a picture of its own for its dark style (GNOME's
// picture-uri-dark), so a darker twin of the exposition is worth composing.
bool DesktopTakesDarkStyle();

// Where the program hands a finished wallpaper file. Each program's entry makes the
// desktop's own and passes it down; test programs pass a recording one, so no test
// can change the desktop of the person running it. Set may be called on a worker
// thread.
class WallpaperSetter {
public:
    virtual ~WallpaperSetter() = default;
    virtual core::Result<WallpaperSet> Set(const WallpaperRequest& request) = 0;
    core::Result<WallpaperSet> Set(const QString& path) { return Set(WallpaperRequest::Of(path)); }
    // Whether request.dark would be used.
    virtual bool TakesDarkStyle() const { return false; }
};

// SetDesktopWallpaper.
class DesktopWallpaperSetter final : public WallpaperSetter {
public:
    using WallpaperSetter::Set;
    core::Result<WallpaperSet> Set(const WallpaperRequest& request) override { return SetDesktopWallpaper(request); }
    bool TakesDarkStyle() const override { return DesktopTakesDarkStyle(); }
};

} // namespace platform
