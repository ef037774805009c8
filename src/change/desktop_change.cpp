#include "change/desktop_change.h"

#include "change/caption_of.h"
#include "change/picture_selection.h"
#include "compose/expo.h"
#include "core/datetime.h"
#include "graphics/picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/registry.h"
#include "platform/wallpaper.h"
#include "settings/option_text.h"
#include "settings/options.h"

#include <QFileInfo>

#include <exception>

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
    TExpo expo(art, caption ? &*caption : nullptr, request.progress, request.size, request.workArea,
               compose::ExpoSettings::From(settings));
    const compose::ExpoResult composed = expo.Compose();
    if (!composed.ok) {
        result.problem = composed.error;
        return result;
    }

    if (request.exportPath) {
        const compose::ExpoResult saved = expo.SaveAs(*request.exportPath);
        result.file = *request.exportPath;
        if (!saved.ok) {
            result.problem = saved.error;
            return result;
        }
        result.status = Status::Done;
        return result;
    }

    const compose::ExpoResult saved = expo.SaveAsWallpaper(setter);
    bracket.End();
    result.file = saved.file;
    if (!saved.ok) {
        // Nothing on the desktop changed, so nothing is counted.
        result.problem = saved.error;
        return result;
    }
    result.status = saved.wallpaper.ok ? Status::Done : Status::Unset;
    result.method = saved.wallpaper.method;
    result.wallpaperShown = saved.wallpaper.description;
    result.wallpaperDetail = saved.wallpaper.detail;
    result.settingsProblem = CountDesktopChange(options);
    if (const QString problem = selection.Remember(shown); !problem.isEmpty())
        result.notices << problem;
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
