#pragma once
// Makes a picture file the desktop's wallpaper through the interface of the
// desktop the user runs.
#include <QString>
#include <QStringList>

namespace platform {

struct WallpaperResult {
    bool ok = false;
    QString method; // the method that worked ("gnome", "kde", "xfce", "x11-root", ...), for programs
    QString description; // what was done, for the user: "Set on Xfce's desktop", and
                         // when a fall-back did it, why the desktop's own way did not
    QString detail; // when nothing worked: why, for the user
    QString file;   // the file the desktop was given (a fresh copy where the desktop
                    // caches pictures by name, see wallpaper_file.h)
};

// Detects the desktop from XDG_CURRENT_DESKTOP / DESKTOP_SESSION, tries its own
// interface and sensible fall-backs, and reports success only when the desktop
// can be expected to show the picture.
WallpaperResult SetDesktopWallpaper(const QString& path);

// Where the program hands a finished wallpaper file. The program installs the
// desktop's own at start; test programs install a recording one, so no test can
// change the desktop of the person running it.
class WallpaperSetter {
public:
    virtual ~WallpaperSetter() = default;
    virtual WallpaperResult Set(const QString& path) = 0;
};

// SetDesktopWallpaper.
class DesktopWallpaperSetter final : public WallpaperSetter {
public:
    WallpaperResult Set(const QString& path) override { return SetDesktopWallpaper(path); }
};

// Notes every file it is given and answers as configured: by default like a
// machine without a desktop (the file is not taken).
class RecordingWallpaperSetter final : public WallpaperSetter {
public:
    WallpaperResult Set(const QString& path) override;

    bool accept = false;
    QStringList files;
};

// The setter in use; until one is installed, one that takes nothing.
WallpaperSetter& ActiveWallpaperSetter();
// Installs setter (not owned; null: back to the one that takes nothing).
void InstallWallpaperSetter(WallpaperSetter* setter);

} // namespace platform
