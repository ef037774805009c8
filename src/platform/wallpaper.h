#pragma once
// Makes a picture file the desktop's wallpaper through the interface of the
// desktop the user runs.
#include <QString>

namespace platform {

struct WallpaperResult {
    bool ok = false;
    QString method; // the method that worked ("gnome", "kde", "xfce", "x11-root", ...)
    QString detail; // when nothing worked: why, for the user
    QString file;   // the file the desktop was given (a fresh copy where the desktop
                    // caches pictures by name, see wallpaper_file.h)
};

// Detects the desktop from XDG_CURRENT_DESKTOP / DESKTOP_SESSION, tries its own
// interface and sensible fall-backs, and reports success only when the desktop
// can be expected to show the picture.
WallpaperResult SetDesktopWallpaper(const QString& path);

} // namespace platform
