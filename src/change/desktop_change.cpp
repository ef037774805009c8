#include "change/desktop_change.h"

#include "change/caption_of.h"
#include "change/picture_marks.h"
#include "change/picture_selection.h"
#include "change/plates.h"
#include "change/size_limits.h"
#include "change/wall_rows.h"
#include "compose/expo.h"
#include "core/datetime.h"
#include "core/random.h"
#include "gallery/wall_record.h"
#include "graphics/picture.h"
#include "packs/pack.h"
#include "settings/settings.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/registry.h"
#include "platform/wallpaper.h"
#include "settings/option_text.h"
#include "settings/options.h"

#include <QDateTime>
#include <QFileInfo>

#include <exception>
#include <memory>
#include <optional>

namespace change {

struct PreparedChange {
    ChangeRequest request;
    TSettings settings;
    ShownPicture shown;                         // as the selection chose it
    graphics::Picture art;                      // empty: none
    std::optional<compose::PictureCaption> caption;
    bool darkTwin = false;                      // the setter keeps a dark-style picture
    std::vector<TPack> packs;                   // the catalogue, for the other monitors
    ChangeDone described;                       // what was chosen, for the result
    PictureMarks marks;                         // the other monitors pass over banned pictures too
    // For the record of the wall (only when the selection has one): the primary
    // monitor's row as chosen, where its pack lies; made whole by the worker with
    // the other monitors' rows and a thumbnail of each exposition.
    bool recorded = false;
    gallery::WallEntry primaryRow;
    std::string packPath, packPassword;
    std::vector<gallery::WallEntry> wall;
    std::vector<QImage> thumbnails;
};

namespace {

// Selects the picture the request asks for and loads it. Next, back and random
// pass over banned pictures (and random keeps to the favourites when asked). A
// picture that cannot be read must not stop them for good: where the selection
// allows it they go on in their direction, noting what they left out.
core::Result<void> Choose(const ChangeRequest& request, PictureSelection& selection, bool favouritesOnly,
                          ShownPicture& shown, PictureMarks& marks, ChangeDone& result)
{
    const int total = selection.TotalPictureCount();
    int current = request.from ? *request.from : selection.CurrentPictureIndex();
    PictureStep step = request.step;
    if (request.picture) {
        current = IndexOfPicture(selection.Catalogue(), *request.picture);
        if (current < 0)
            return core::MakeError(2, QStringLiteral("The picture \"%1\" of the pack %2 is not installed.")
                                          .arg(request.picture->entry, request.picture->packFile)
                                          .toStdString());
        step = PictureStep::Current;
    }
    // Read for refresh too: the other monitors pass over banned pictures.
    QString marksProblem;
    marks = MarksOf(selection.Catalogue(), selection.Record(), favouritesOnly, marksProblem);
    if (!marksProblem.isEmpty())
        result.notices << QStringLiteral("Banned pictures and favourites are not known: %1").arg(marksProblem);
    const core::Result<MarkedStep> stepped = StepOverMarks(step, current, total, marks);
    if (!stepped.ok())
        return stepped.error();
    if (!stepped->notice.isEmpty())
        result.notices << stepped->notice;
    int k = stepped->index;
    if (request.from || request.picture || step != PictureStep::Current)
        selection.SelectPictureByIndex(k);
    // The chosen picture may be drawn on every monitor: it must cover the largest.
    QSize canvas = request.size;
    for (const platform::Monitor& monitor : request.monitors)
        canvas = canvas.expandedTo(monitor.geometry.size());
    selection.LoadFor(canvas);
    for (int tries = 0;; ++tries) {
        core::Result<void> loaded = selection.Load(shown);
        if (loaded.ok())
            return loaded;
        const PictureStep onward = step == PictureStep::Back ? PictureStep::Back : PictureStep::Next;
        const core::Result<MarkedStep> further = StepOverMarks(onward, k, total, marks);
        if (!selection.SkipsUnreadable() || step == PictureStep::Current || tries + 1 >= total || !further.ok())
            return loaded;
        result.notices << QString::fromStdString(loaded.error().text) + QStringLiteral(" (left out)");
        k = further->index;
        selection.SelectPictureByIndex(k);
    }
}

void Describe(const PictureSelection& selection, const ShownPicture& shown, ChangeDone& result)
{
    const TPackList& list = selection.Catalogue();
    const std::vector<int> counts = packs::PictureCounts(list);
    result.total = packs::TotalPictureCount(counts);
    result.hasPicture = shown.picture && !shown.picture->IsEmpty();
    if (shown.record)
        result.description = ShortDescriptionOf(*shown.record, kDescriptionLength);
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

std::vector<int> CountsOf(const std::vector<TPack>& packs)
{
    std::vector<int> counts;
    counts.reserve(packs.size());
    for (const TPack& pack : packs)
        counts.push_back(static_cast<int>(pack.Pictures.size()));
    return counts;
}

// The picture of global index k for another monitor, passing over banned pictures
// and those that cannot be read. False when none is left (the monitor then shows
// the primary's).
bool LoadOther(const std::vector<TPack>& packs, const PictureMarks& marks, int k, QSize canvas,
               graphics::Picture& picture, ChangeDone::OtherMonitor& other,
               std::optional<compose::PictureCaption>& caption, ChangeDone& result)
{
    const std::vector<int> counts = CountsOf(packs);
    const int total = packs::TotalPictureCount(counts);
    for (int tries = 0; tries < total; ++tries, k = packs::NextPictureIndex(k, total)) {
        const auto position = packs::LocatePicture(counts, k);
        if (!position || marks.Banned(k))
            continue;
        const TPack& pack = packs[static_cast<size_t>(position->Pack)];
        std::string detail;
        if (LoadPicture(pack, picture, position->Picture, &detail, canvas) != 0) {
            result.notices << QString::fromStdString(detail) + QStringLiteral(" (left out)");
            continue;
        }
        const TPic& record = pack.Pictures[static_cast<size_t>(position->Picture)];
        caption = CaptionOf(record, pack.PlainCredit);
        other.index = k;
        other.description = ShortDescriptionOf(record, kDescriptionLength);
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

// One plate per monitor as MonitorMode asks; with EachOwn the other monitors'
// pictures follow the primary's in the global sequence. pictures keeps the
// pictures the plates borrow.
std::vector<Plate> MonitorPlates(const PreparedChange& prepared, std::vector<std::unique_ptr<graphics::Picture>>& pictures,
                                 ChangeDone& result)
{
    const ChangeRequest& request = prepared.request;
    const std::vector<platform::Monitor>& monitors = request.monitors;
    const int mode = monitors.size() > 1
                         ? settings::EffectiveMonitorMode(prepared.settings.MonitorMode, int(monitors.size()))
                         : settings::MonitorMode::Primary;
    const size_t count = mode == settings::MonitorMode::Primary ? 1 : monitors.size();
    const graphics::Picture* art = prepared.art.IsEmpty() ? nullptr : &prepared.art;
    std::vector<Plate> plates(count);
    for (size_t i = 0; i < count; ++i) {
        Plate& plate = plates[i];
        plate.settings = compose::ExpoSettings::From(prepared.settings);
        plate.size = i == 0 ? request.size : monitors[i].geometry.size();
        plate.workArea = i == 0 ? request.workArea : platform::LocalWorkArea(monitors[i]);
        plate.art = art;
        plate.caption = prepared.caption;
        if (i > 0) {
            ChangeDone::OtherMonitor other {monitors[i].name, plate.size, result.index, result.description, {}};
            if (mode == settings::MonitorMode::EachOwn && result.total > 1 && result.index >= 0) {
                auto picture = std::make_unique<graphics::Picture>();
                std::optional<compose::PictureCaption> caption;
                if (LoadOther(prepared.packs, prepared.marks, (result.index + int(i)) % result.total, plate.size,
                              *picture, other, caption, result)) {
                    plate.art = picture.get();
                    plate.caption = caption;
                    pictures.push_back(std::move(picture));
                }
            }
            result.otherMonitors.push_back(other);
        }
        if (count > 1 || prepared.darkTwin)
            plate.seed = RandomSeed();
    }
    if (prepared.darkTwin) {
        // The same exposition in the darker lightness with a dimmed background:
        // same picture, same random draws.
        for (size_t i = 0; i < count; ++i) {
            Plate twin = plates[i];
            twin.settings.ColorLightness = settings::ColorLightness::Darker;
            twin.settings.DarkStyle = true;
            plates.push_back(std::move(twin));
        }
    }
    return plates;
}

// Writes the composed plates as the wallpaper files and fills in the request for
// the setter.
core::Result<void> WritePlates(const PreparedChange& prepared, const std::vector<Plate>& plates, size_t count,
                               platform::WallpaperRequest& wallpaper, ChangeDone& result)
{
    const std::vector<platform::Monitor>& monitors = prepared.request.monitors;
    const bool dark = prepared.darkTwin;
    auto write = [](const QImage& image, const QString& name, QString& file) -> core::Result<void> {
        core::Result<QString> written = compose::WriteWallpaperFile(image, name);
        if (!written.ok())
            return std::move(written).error();
        file = *written;
        return core::Ok();
    };
    AMBIENCE_TRY(write(plates[0].image, QStringLiteral("ambience.bmp"), wallpaper.file));
    result.file = wallpaper.file;
    if (dark)
        AMBIENCE_TRY(write(plates[count].image, PlateFileName("dark", 0), wallpaper.dark));
    if (count == 1)
        return core::Ok();
    std::vector<const QImage*> images, darkImages;
    for (size_t i = 0; i < count; ++i) {
        QString file = wallpaper.file;
        if (i > 0)
            AMBIENCE_TRY(write(plates[i].image, PlateFileName("monitor", i), file));
        wallpaper.monitors.push_back({monitors[i].name, monitors[i].geometry, file});
        images.push_back(&plates[i].image);
        if (dark)
            darkImages.push_back(&plates[count + i].image);
        if (i > 0)
            result.otherMonitors[i - 1].file = file;
    }
    AMBIENCE_TRY(write(SpanPictures(monitors, images), PlateFileName("spanned", 0), wallpaper.spanned));
    if (dark)
        AMBIENCE_TRY(write(SpanPictures(monitors, darkImages), PlateFileName("dark-spanned", 0), wallpaper.darkSpanned));
    return core::Ok();
}

// The record's rows of a wallpaper change, one for each monitor with an
// exposition, and their thumbnails.
void MakeWallRows(PreparedChange& prepared, const std::vector<Plate>& plates, size_t count, const ChangeDone& result)
{
    const std::vector<platform::Monitor>& monitors = prepared.request.monitors;
    gallery::WallEntry primary = prepared.primaryRow;
    ReadWorkSource(prepared.packPath, prepared.packPassword, primary);
    primary.monitor = monitors.empty() ? QString() : monitors.front().name;
    primary.primary = true;
    primary.exposition = result.file;
    prepared.wall = {primary};
    prepared.thumbnails = {gallery::MakeThumbnail(plates[0].image)};
    const std::vector<int> counts = CountsOf(prepared.packs);
    for (size_t i = 1; i < count && i - 1 < result.otherMonitors.size(); ++i) {
        const ChangeDone::OtherMonitor& other = result.otherMonitors[i - 1];
        gallery::WallEntry row;
        if (const auto position = packs::LocatePicture(counts, other.index)) {
            const TPack& pack = prepared.packs[size_t(position->Pack)];
            row = WallRowOf(pack, pack.Pictures[size_t(position->Picture)]);
            ReadWorkSource(pack.Path, pack.PackPassword, row);
        }
        row.time = primary.time;
        row.monitor = other.name;
        row.primary = false;
        row.exposition = other.file;
        prepared.wall.push_back(std::move(row));
        prepared.thumbnails.push_back(gallery::MakeThumbnail(plates[i].image));
    }
}

// A wallpaper change: one exposition per monitor and a darker twin of each where
// the desktop keeps one for its dark style, composed at the same time; then
// written and handed to the setter in one request.
core::Result<void> SetWallpaper(PreparedChange& prepared, platform::WallpaperSetter& setter, ChangeDone& result)
{
    std::vector<std::unique_ptr<graphics::Picture>> pictures;
    std::vector<Plate> plates = MonitorPlates(prepared, pictures, result);
    const size_t count = prepared.darkTwin ? plates.size() / 2 : plates.size();
    ComposePlates(plates, prepared.request.progress);
    for (const Plate& plate : plates)
        AMBIENCE_TRY(plate.composed);
    platform::WallpaperRequest wallpaper;
    wallpaper.lockScreen = prepared.settings.LockScreenToo;
    AMBIENCE_TRY(WritePlates(prepared, plates, count, wallpaper, result));
    if (prepared.request.progress)
        prepared.request.progress(100);

    if (prepared.recorded)
        MakeWallRows(prepared, plates, count, result);

    // A desktop that does not take the picture leaves a change all the same: the
    // file is written, and the person can choose it.
    const core::Result<platform::WallpaperSet> set = setter.Set(wallpaper);
    if (!set.ok()) {
        result.unset = true;
        result.unsetReason = QString::fromStdString(set.error().text);
        return core::Ok();
    }
    result.method = set->method;
    result.wallpaperShown = set->description;
    result.notices << set->notices;
    return core::Ok();
}

core::Result<void> Export(PreparedChange& prepared, ChangeDone& result)
{
    const ChangeRequest& request = prepared.request;
    TExpo expo(prepared.art.IsEmpty() ? nullptr : &prepared.art, prepared.caption ? &*prepared.caption : nullptr,
               request.progress, request.size, request.workArea, compose::ExpoSettings::From(prepared.settings));
    AMBIENCE_TRY(expo.Compose());
    result.file = *request.exportPath;
    return expo.SaveAs(*request.exportPath);
}

core::Error CouldNotMake(const std::exception& e)
{
    return core::MakeError(kChangeFailed, QStringLiteral("The exposition could not be made: %1.")
                                              .arg(QString::fromUtf8(e.what()))
                                              .toStdString());
}

core::Error BadRequest(const QString& problem)
{
    return core::MakeError(kBadChangeRequest, problem.toStdString());
}

} // namespace

core::Result<std::shared_ptr<PreparedChange>> PrepareChange(const ChangeRequest& request, PictureSelection& selection,
                                                            const TOptions& options,
                                                            const platform::WallpaperSetter& setter, ChangeDone* soFar)
{
    if (soFar)
        *soFar = {};
    if (request.exportPath && request.exportPath->isEmpty())
        return BadRequest(QStringLiteral("The file name is empty; nothing was written."));
    if (const auto problem = SizeProblem(request.size, request.monitors, !request.exportPath))
        return BadRequest(*problem);
    auto change = std::make_shared<PreparedChange>();
    // Overrides are checked like the Options page's values and apply to this run only.
    change->settings = options;
    QString problem;
    if (!request.overrides.isEmpty() && !ApplyOptionAssignments(change->settings, request.overrides, &problem))
        return BadRequest(problem);
    ChangeDone& result = change->described;
    if (core::Result<void> chosen = Choose(request, selection, change->settings.FavouritesOnly, change->shown,
                                           change->marks, result);
        !chosen.ok()) {
        if (soFar)
            *soFar = std::move(result);
        return std::move(chosen).error();
    }
    Describe(selection, change->shown, result);
    result.size = request.size;

    change->request = request;
    if (change->shown.picture)
        change->art = *change->shown.picture;
    if (change->shown.record)
        change->caption = CaptionOf(*change->shown.record, change->shown.pack >= 0
                                                               && change->shown.pack < selection.Catalogue().Count()
                                                               && selection.Catalogue().PackAt(change->shown.pack).PlainCredit);
    if (!request.exportPath) {
        change->darkTwin = setter.TakesDarkStyle();
        if (request.monitors.size() > 1)
            change->packs = selection.Catalogue().Packs();
        change->recorded = selection.Record() != nullptr;
        const TPackList& list = selection.Catalogue();
        if (change->recorded && change->shown.record && change->shown.pack >= 0 && change->shown.pack < list.Count()) {
            const TPack& pack = list.PackAt(change->shown.pack);
            change->primaryRow = WallRowOf(pack, *change->shown.record);
            change->packPath = pack.Path;
            change->packPassword = pack.PackPassword;
        }
        change->primaryRow.time = QDateTime::currentDateTimeUtc();
    }
    return change;
}

core::Result<ChangeDone> ProduceChange(PreparedChange& prepared, platform::WallpaperSetter& setter, ChangeDone* soFar)
{
    ChangeDone result = prepared.described;
    const core::Result<void> produced = [&]() -> core::Result<void> {
        try {
            if (prepared.request.exportPath)
                return Export(prepared, result);
            return SetWallpaper(prepared, setter, result);
        } catch (const std::exception& e) {
            // What was chosen is all there is to tell of.
            result = prepared.described;
            return CouldNotMake(e);
        }
    }();
    if (produced.ok())
        return result;
    if (soFar)
        *soFar = std::move(result);
    return produced.error();
}

void FinishChange(ChangeDone& result, const PreparedChange& prepared, PictureSelection& selection, TOptions& options)
{
    if (prepared.request.exportPath)
        return;
    result.settingsProblem = CountDesktopChange(options);
    if (gallery::WallRecord* record = selection.Record(); record && !prepared.wall.empty()) {
        // The wallpaper is set whatever becomes of its record.
        const core::Result<qint64> added = record->Add(prepared.wall, prepared.thumbnails);
        if (added.ok())
            result.recorded = *added;
        else
            result.notices << QStringLiteral("The change was not written to the record of the wall: %1")
                                  .arg(QString::fromStdString(added.error().text));
    }
    if (const QString problem = selection.Remember(prepared.shown); !problem.isEmpty())
        result.notices << problem;
}

QString CountDesktopChange(TOptions& options)
{
    try {
        options.CountDesktopChange(Now());
    } catch (const std::exception&) {
        return options.SaveProblem();
    }
    return {};
}

core::Result<ChangeDone> ChangeDesktop(const ChangeRequest& request, PictureSelection& selection, TOptions& options,
                                       platform::WallpaperSetter& setter, ChangeDone* soFar)
{
    try {
        core::Result<std::shared_ptr<PreparedChange>> prepared = PrepareChange(request, selection, options, setter, soFar);
        if (!prepared.ok())
            return std::move(prepared).error();
        core::Result<ChangeDone> result = ProduceChange(**prepared, setter, soFar);
        if (result.ok())
            FinishChange(*result, **prepared, selection, options);
        return result;
    } catch (const std::exception& e) {
        if (soFar)
            *soFar = {};
        return CouldNotMake(e);
    }
}

} // namespace change
