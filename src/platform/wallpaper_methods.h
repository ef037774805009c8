#pragma once
// The individual ways of setting a wallpaper, one per desktop family. Each takes
// the picture file and reports whether the desktop now shows it, or why not.
#include <QString>

#include <vector>

namespace platform {

struct MethodOutcome {
    bool ok = false;
    QString detail; // why it did not work (empty on success)

    static MethodOutcome Worked() { return {true, {}}; }
    static MethodOutcome Failure(QString why) { return {false, std::move(why)}; }
};

// gsettings families (wallpaper_gsettings.cpp).
MethodOutcome SetGnomeWallpaper(const QString& file);    // also Budgie, Unity, Pantheon
MethodOutcome SetCinnamonWallpaper(const QString& file);
MethodOutcome SetMateWallpaper(const QString& file);

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
MethodOutcome SetXfceWallpaper(const QString& file);

// KDE Plasma 5 and 6: the shell's scripting interface (wallpaper_kde.cpp).
MethodOutcome SetKdeWallpaper(const QString& file);

// LXQt and LXDE desktops drawn by pcmanfm-qt / pcmanfm (wallpaper_pcmanfm.cpp).
MethodOutcome SetLxqtWallpaper(const QString& file);
MethodOutcome SetLxdeWallpaper(const QString& file);

// Wayland compositors built on wlroots (wallpaper_wlroots.cpp).
MethodOutcome SetSwwwWallpaper(const QString& file);
MethodOutcome SetSwayWallpaper(const QString& file);
MethodOutcome SetSwaybgWallpaper(const QString& file);
MethodOutcome SetHyprpaperWallpaper(const QString& file);
// Why no Wayland compositor answers (WAYLAND_DISPLAY's socket, or sway's IPC at
// SWAYSOCK); empty when one does.
QString WaylandCompositorUnreachable();

// Plain X11: a retained root-window pixmap (wallpaper_x11.cpp).
MethodOutcome SetRootPixmapWallpaper(const QString& file);

// Text helpers shared by the methods and tested directly.
// A GVariant text literal of s, as gsettings reads it: 'it\'s'.
QString GVariantString(const QString& s);
// The string inside gsettings' printed value ('...' or "..."), unescaped.
QString ParseGVariantString(const QString& printed);
// s as a single-quoted JavaScript literal.
QString JsString(const QString& s);

} // namespace platform
