#include "ui/expo_output.h"

#include "compose/expo.h"
#include "graphics/picture.h"
#include "platform/screen.h"
#include "settings/options.h"

#include <QDir>

#include <exception>

namespace ui {
namespace {

// Builds and composes a TExpo; null with outcome.problem set when that failed.
template <typename Output>
ExpoOutcome Run(const graphics::Picture& picture, const TPic* record, const ProgressFunction& progress,
                Output output)
{
    ExpoOutcome outcome;
    try {
        const platform::ScreenInfo screen = platform::PrimaryScreen();
        const graphics::Picture* art = picture.IsEmpty() ? nullptr : &picture;
        TExpo expo(art, record, progress, screen.size, screen.workArea, compose::ExpoSettings::From(*Options));
        const compose::ExpoResult composed = expo.Compose();
        if (!composed.ok) {
            outcome.problem = composed.error;
            return outcome;
        }
        output(expo, outcome);
    } catch (const std::exception& e) {
        outcome.ok = false;
        outcome.problem = QStringLiteral("The exposition could not be made: %1.").arg(QString::fromUtf8(e.what()));
    }
    return outcome;
}

} // namespace

ExpoOutcome ComposeAsWallpaper(const graphics::Picture& picture, const TPic* record, const ProgressFunction& progress)
{
    return Run(picture, record, progress, [](TExpo& expo, ExpoOutcome& outcome) {
        const compose::WallpaperOutcome saved = expo.SaveAsWallpaper();
        outcome.file = saved.path;
        outcome.ok = saved.written;
        outcome.wallpaper = saved.wallpaper;
        if (!saved.written)
            outcome.problem = saved.error.isEmpty()
                                  ? QStringLiteral("The wallpaper file %1 could not be written.")
                                        .arg(QDir::toNativeSeparators(saved.path))
                                  : saved.error;
    });
}

ExpoOutcome ComposeAsJpeg(const graphics::Picture& picture, const TPic* record, const ProgressFunction& progress,
                          const QString& path)
{
    return Run(picture, record, progress, [&path](TExpo& expo, ExpoOutcome& outcome) {
        outcome.file = path;
        const compose::ExpoResult saved = expo.SaveAs(path);
        outcome.ok = saved.ok;
        if (!saved.ok)
            outcome.problem = saved.error.isEmpty()
                                  ? QStringLiteral("The picture could not be saved as %1.")
                                        .arg(QDir::toNativeSeparators(path))
                                  : saved.error;
    });
}

} // namespace ui
