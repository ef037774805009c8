#pragma once
// The individual ways of setting a wallpaper, one per desktop family. Each takes
// the pictures (fresh copies where the desktop needs them) and reports whether
// the desktop now shows them, or why not. Each also takes a single file, for
// one picture on every monitor.
#include "platform/wallpaper.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

struct MethodOutcome {
    bool ok = false;
    QString detail; // why it did not work (empty on success)
    QStringList notices; // worked, but not quite as asked

    static MethodOutcome Worked() { return {true, {}, {}}; }
    static MethodOutcome Failure(QString why) { return {false, std::move(why), {}}; }
};

// gsettings families (wallpaper_gsettings.cpp).
MethodOutcome SetGnomeWallpaper(const WallpaperRequest& given);    // also Unity, Pantheon
inline MethodOutcome SetGnomeWallpaper(const QString& file) { return SetGnomeWallpaper(WallpaperRequest::Of(file)); }
// GNOME's keys, and the lock screen's picture, which Budgie's screensaver shows.
MethodOutcome SetBudgieWallpaper(const WallpaperRequest& given);
MethodOutcome SetCinnamonWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetCinnamonWallpaper(const QString& file) { return SetCinnamonWallpaper(WallpaperRequest::Of(file)); }
MethodOutcome SetMateWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetMateWallpaper(const QString& file) { return SetMateWallpaper(WallpaperRequest::Of(file)); }

// The local files the wallpaper settings of the gsettings desktops name (GNOME,
// Cinnamon, MATE, where their schemas are installed), each with its schema; read
// through gsettings, empty without a session bus.
struct NamedWallpaper {
    QString schema;
    QString file;
};
std::vector<NamedWallpaper> WallpapersNamedInSettings();
// The schema a method writes its wallpaper to ("gnome" -> org.gnome.desktop.background), or empty.
QString SchemaOfMethod(const QString& method);

// Xfce: every monitor/workspace last-image property (wallpaper_xfce.cpp).
MethodOutcome SetXfceWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetXfceWallpaper(const QString& file) { return SetXfceWallpaper(WallpaperRequest::Of(file)); }

// KDE Plasma 5 and 6: the shell's scripting interface (wallpaper_kde.cpp).
MethodOutcome SetKdeWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetKdeWallpaper(const QString& file) { return SetKdeWallpaper(WallpaperRequest::Of(file)); }

// LXQt and LXDE desktops drawn by pcmanfm-qt / pcmanfm (wallpaper_pcmanfm.cpp).
MethodOutcome SetLxqtWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetLxqtWallpaper(const QString& file) { return SetLxqtWallpaper(WallpaperRequest::Of(file)); }
MethodOutcome SetLxdeWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetLxdeWallpaper(const QString& file) { return SetLxdeWallpaper(WallpaperRequest::Of(file)); }

// Wayland compositors built on wlroots (wallpaper_wlroots.cpp).
MethodOutcome SetSwwwWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetSwwwWallpaper(const QString& file) { return SetSwwwWallpaper(WallpaperRequest::Of(file)); }
MethodOutcome SetSwayWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetSwayWallpaper(const QString& file) { return SetSwayWallpaper(WallpaperRequest::Of(file)); }
MethodOutcome SetSwaybgWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetSwaybgWallpaper(const QString& file) { return SetSwaybgWallpaper(WallpaperRequest::Of(file)); }
MethodOutcome SetHyprpaperWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetHyprpaperWallpaper(const QString& file) { return SetHyprpaperWallpaper(WallpaperRequest::Of(file)); }
// The share of the screen, in a coarse grid, that shows picture as a "fill"
// background lays it (scaled to cover, centred), from 0 to 1.
double ScreenShowsPicture(const QImage& screen, const QImage& picture);
// Why no Wayland compositor answers (WAYLAND_DISPLAY's socket, or sway's IPC at
// SWAYSOCK); empty when one does.
QString WaylandCompositorUnreachable();

// Plain X11: a retained root-window pixmap (wallpaper_x11.cpp).
MethodOutcome SetRootPixmapWallpaper(const WallpaperRequest& given);
inline MethodOutcome SetRootPixmapWallpaper(const QString& file) { return SetRootPixmapWallpaper(WallpaperRequest::Of(file)); }

// Text helpers shared by the methods and tested directly.
// A GVariant text literal of s, as gsettings reads it: 'it\'s'.
QString GVariantString(const QString& s);
// The string inside gsettings' printed value ('...' or "..."), unescaped.
QString ParseGVariantString(const QString& printed);
// s as a single-quoted JavaScript literal.
QString JsString(const QString& s);

} // namespace platform
