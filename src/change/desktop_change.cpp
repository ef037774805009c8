#include "change/desktop_change.h"

#include "change/caption_of.h"
#include "change/picture_selection.h"
#include "change/plates.h"
#include "compose/expo.h"
#include "core/datetime.h"
#include "core/random.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/registry.h"
#include "platform/wallpaper.h"
#include "settings/option_text.h"
#include "settings/options.h"

#include <QFileInfo>

#include <exception>
#include <memory>

namespace change {
namespace {

using Status = ChangeResult::Status;

// Calls `finished` on the way out, however the composition ends.
class Bracket {
public:
    explicit Bracket(const ChangeRequest& request) : request_(request)
    {
        if (request_.started)
            request_.started();
    }
    ~Bracket() { End(); }
    void End()
    {
        if (open_ && request_.finished)
            request_.finished();
        open_ = false;
    }

private:
    const ChangeRequest& request_;
    bool open_ = true;
};

int StepFrom(PictureStep step, int current, int total)
{
    switch (step) {
    case PictureStep::Current: return current;
    case PictureStep::Random: return packs::RandomPictureIndex(total);
    case PictureStep::Next: return packs::NextPictureIndex(current, total);
    case PictureStep::Back: return packs::BackPictureIndex(current, total);
    }
    return current;
}

// Selects the picture the request asks for and loads it. A picture that cannot be
// read must not stop next, back and random for good: where the selection allows
// it they go on in their direction, noting what they left out.
bool Choose(const ChangeRequest& request, PictureSelection& selection, ShownPicture& shown, ChangeResult& result)
{
    const int total = selection.TotalPictureCount();
    const int current = request.from ? *request.from : selection.CurrentPictureIndex();
    int k = StepFrom(request.step, current, total);
    if (request.from || request.step != PictureStep::Current)
        selection.SelectPictureByIndex(k);
    for (int tries = 0;; ++tries) {
        QString problem;
        if (selection.Load(shown, problem))
            return true;
        if (!selection.SkipsUnreadable() || request.step == PictureStep::Current || tries + 1 >= total) {
            result.problem = problem;
            return false;
        }
        result.notices << problem + QStringLiteral(" (left out)");
        k = request.step == PictureStep::Back ? packs::BackPictureIndex(k, total) : packs::NextPictureIndex(k, total);
        selection.SelectPictureByIndex(k);
    }
}

void Describe(const PictureSelection& selection, const ShownPicture& shown, ChangeResult& result)
{
    const TPackList& list = selection.Catalogue();
    const std::vector<int> counts = packs::PictureCounts(list);
    result.total = packs::TotalPictureCount(counts);
    result.hasPicture = shown.picture && !shown.picture->IsEmpty();
    if (shown.record)
        result.description = ShortDescriptionOf(*shown.record, 120);
    if (shown.pack < 0 || shown.pack >= list.Count())
        return;
    const TPack& pack = list.PackAt(shown.pack);
    result.pack = shown.pack;
    result.packName = QString::fromStdString(pack.Name);
    result.packFile = QFileInfo(QString::fromStdString(pack.Path)).fileName();
    result.pictureInPack = shown.pictureInPack;
    result.packPictureCount = counts[static_cast<size_t>(shown.pack)];
    result.index = packs::CurrentPictureIndex(counts, shown.pack, shown.pictureInPack);
}

// The picture of global index k for another monitor, passing over pictures that
// cannot be read. False when none can be (the monitor then shows the primary's).
bool LoadOther(const TPackList& list, const std::vector<int>& counts, int k, graphics::Picture& picture,
               ChangeResult::OtherMonitor& other, const TPic*& record, ChangeResult& result)
{
    const int total = packs::TotalPictureCount(counts);
    for (int tries = 0; tries < total; ++tries, k = packs::NextPictureIndex(k, total)) {
        const auto position = packs::LocatePicture(counts, k);
        if (!position)
            continue;
        const TPack& pack = list.PackAt(position->Pack);
        std::string detail;
        if (LoadPicture(pack, picture, position->Picture, &detail) != 0) {
            result.notices << QString::fromStdString(detail) + QStringLiteral(" (left out)");
            continue;
        }
        record = &pack.Pictures[static_cast<size_t>(position->Picture)];
        other.index = k;
        other.description = ShortDescriptionOf(*record, 120);
        return true;
    }
    return false;
}

// File names of the pictures besides "ambience.bmp": they must not look like the
// numbered copies the wallpaper setter makes (wallpaper_file.h).
QString PlateFileName(const char* kind, size_t monitor)
{
    return QStringLiteral("ambience-%1%2.bmp").arg(QLatin1String(kind)).arg(monitor == 0 ? QString() : QString::number(monitor + 1));
}

// A wallpaper change: one exposition per monitor as MonitorMode asks, and a
// darker twin of each where the desktop keeps one for its dark style, composed
// at the same time; then written and handed to the setter in one request.
ChangeResult SetWallpaper(const ChangeRequest& request, Bracket& bracket, PictureSelection& selection,
                          TOptions& options, platform::WallpaperSetter& setter, const TSettings& settings,
                          const ShownPicture& shown,
                          const graphics::Picture* art, const std::optional<compose::PictureCaption>& caption,
                          ChangeResult result)
{
    const std::vector<platform::Monitor>& monitors = request.monitors;
    const int mode = monitors.size() > 1 ? settings::EffectiveMonitorMode(settings.MonitorMode, int(monitors.size()))
                                         : settings::MonitorMode::Primary;
    const size_t count = mode == settings::MonitorMode::Primary ? 1 : monitors.size();
    const bool dark = setter.TakesDarkStyle();

    // The other monitors' pictures follow the primary's in the global sequence.
    const TPackList& list = selection.Catalogue();
    const std::vector<int> counts = packs::PictureCounts(list);
    std::vector<std::unique_ptr<graphics::Picture>> pictures;
    std::vector<Plate> plates(count);
    for (size_t i = 0; i < count; ++i) {
        Plate& plate = plates[i];
        plate.settings = compose::ExpoSettings::From(settings);
        if (i == 0) {
            plate.size = request.size;
            plate.workArea = request.workArea;
        } else {
            plate.size = monitors[i].geometry.size();
            plate.workArea = platform::LocalWorkArea(monitors[i]);
        }
        plate.art = art;
        plate.caption = caption;
        if (i > 0) {
            ChangeResult::OtherMonitor other {monitors[i].name, plate.size, result.index, result.description, {}};
            if (mode == settings::MonitorMode::EachOwn && result.total > 1 && result.index >= 0) {
                auto picture = std::make_unique<graphics::Picture>();
                const TPic* record = nullptr;
                if (LoadOther(list, counts, (result.index + int(i)) % result.total, *picture, other, record, result)) {
                    plate.art = picture.get();
                    plate.caption = record ? std::optional(CaptionOf(*record)) : std::nullopt;
                    pictures.push_back(std::move(picture));
                }
            }
            result.otherMonitors.push_back(other);
        }
        if (count > 1 || dark)
            plate.seed = RandomSeed();
    }
    if (dark) {
        // The same exposition in the darker lightness with a dimmed background:
        // same picture, same random draws.
        for (size_t i = 0; i < count; ++i) {
            Plate twin = plates[i];
            twin.settings.ColorLightness = settings::ColorLightness::Darker;
            twin.settings.DarkStyle = true;
            plates.push_back(std::move(twin));
        }
    }
    ComposePlates(plates, request.progress);
    for (const Plate& plate : plates) {
        if (!plate.composed.ok) {
            result.problem = plate.composed.error;
            return result;
        }
    }

    platform::WallpaperRequest wallpaper;
    wallpaper.lockScreen = settings.LockScreenToo;
    auto write = [&](const QImage& image, const QString& name, QString& file) {
        const compose::ExpoResult written = compose::WriteWallpaperFile(image, name);
        if (!written.ok)
            result.problem = written.error;
        file = written.file;
        return written.ok;
    };
    if (!write(plates[0].image, QStringLiteral("ambience.bmp"), wallpaper.file))
        return result;
    result.file = wallpaper.file;
    if (dark && !write(plates[count].image, PlateFileName("dark", 0), wallpaper.dark))
        return result;
    if (count > 1) {
        std::vector<const QImage*> images, darkImages;
        for (size_t i = 0; i < count; ++i) {
            QString file = wallpaper.file;
            if (i > 0 && !write(plates[i].image, PlateFileName("monitor", i), file))
                return result;
            wallpaper.monitors.push_back({monitors[i].name, monitors[i].geometry, file});
            images.push_back(&plates[i].image);
            if (dark)
                darkImages.push_back(&plates[count + i].image);
            if (i > 0)
                result.otherMonitors[i - 1].file = file;
        }
        if (!write(SpanPictures(monitors, images), PlateFileName("spanned", 0), wallpaper.spanned))
            return result;
        if (dark && !write(SpanPictures(monitors, darkImages), PlateFileName("dark-spanned", 0), wallpaper.darkSpanned))
            return result;
    }
    if (request.progress)
        request.progress(100);

    const platform::WallpaperResult set = setter.Set(wallpaper);
    bracket.End();
    result.status = set.ok ? ChangeResult::Status::Done : ChangeResult::Status::Unset;
    result.method = set.method;
    result.wallpaperShown = set.description;
    result.wallpaperDetail = set.detail;
    result.notices << set.notices;
    result.settingsProblem = CountDesktopChange(options);
    if (const QString problem = selection.Remember(shown); !problem.isEmpty())
        result.notices << problem;
    return result;
}

ChangeResult Run(const ChangeRequest& request, PictureSelection& selection, TOptions& options,
                 platform::WallpaperSetter& setter)
{
    ChangeResult result;
    if (request.exportPath && request.exportPath->isEmpty()) {
        result.status = Status::BadRequest;
        result.problem = QStringLiteral("The file name is empty; nothing was written.");
        return result;
    }
    // Overrides are checked like the Options page's values and apply to this run only.
    TSettings settings = options;
    if (!request.overrides.isEmpty() && !ApplyOptionAssignments(settings, request.overrides, &result.problem)) {
        result.status = Status::BadRequest;
        return result;
    }

    ShownPicture shown;
    if (!Choose(request, selection, shown, result))
        return result;
    Describe(selection, shown, result);
    result.size = request.size;

    std::optional<compose::PictureCaption> caption;
    if (shown.record)
        caption = CaptionOf(*shown.record);
    const graphics::Picture* art = shown.picture && !shown.picture->IsEmpty() ? shown.picture : nullptr;

    Bracket bracket(request);
    if (!request.exportPath)
        return SetWallpaper(request, bracket, selection, options, setter, settings, shown, art, caption,
                            std::move(result));
    TExpo expo(art, caption ? &*caption : nullptr, request.progress, request.size, request.workArea,
               compose::ExpoSettings::From(settings));
    const compose::ExpoResult composed = expo.Compose();
    if (!composed.ok) {
        result.problem = composed.error;
        return result;
    }

    const compose::ExpoResult saved = expo.SaveAs(*request.exportPath);
    result.file = *request.exportPath;
    if (!saved.ok) {
        result.problem = saved.error;
        return result;
    }
    result.status = Status::Done;
    return result;
}

} // namespace

QString CountDesktopChange(TOptions& options)
{
    try {
        options.CountDesktopChange(Now());
    } catch (const std::exception&) {
        return options.SaveProblem();
    }
    return {};
}

ChangeResult ChangeDesktop(const ChangeRequest& request, PictureSelection& selection, TOptions& options,
                           platform::WallpaperSetter& setter)
{
    try {
        return Run(request, selection, options, setter);
    } catch (const std::exception& e) {
        ChangeResult result;
        result.problem = QStringLiteral("The exposition could not be made: %1.").arg(QString::fromUtf8(e.what()));
        return result;
    }
}

} // namespace change
