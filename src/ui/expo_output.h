#pragma once
// The one place the window talks to the composer: compose what the Packs page
// shows, then write it as the wallpaper or as a JPEG file.
#include "platform/wallpaper.h"

#include <QString>

#include <functional>

struct TPic;
namespace graphics { class Picture; }

namespace ui {

struct ExpoOutcome {
    bool ok = false;
    QString problem;                 // when !ok: a sentence naming the file and the reason
    QString file;                    // the file written
    platform::WallpaperResult wallpaper; // wallpaper output only
};

using ProgressFunction = std::function<void(int)>;

// picture may be empty and record null (a composition without a picture or
// without captions). Never throws.
ExpoOutcome ComposeAsWallpaper(const graphics::Picture& picture, const TPic* record, const ProgressFunction& progress);
ExpoOutcome ComposeAsJpeg(const graphics::Picture& picture, const TPic* record, const ProgressFunction& progress,
                          const QString& path);

} // namespace ui
