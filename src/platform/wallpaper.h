#pragma once
// Makes a picture file the desktop's wallpaper through the interface of the
// desktop the user runs.
#include <QString>

namespace platform {

struct WallpaperResult {
    bool ok = false;
    QString method; // the method that worked ("gnome", "kde", "xfce", "x11-root", ...)
    QString detail; // when nothing worked: why, for the user
};

WallpaperResult SetDesktopWallpaper(const QString& path);

} // namespace platform
