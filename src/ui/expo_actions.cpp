// The exposition actions: Refresh, Random, Next, Back, Export and the web page with
// more packs. Each composes exactly what the Packs page shows.
#include "ui/main_window.h"

#include "change/caption_of.h"
#include "core/product.h"
#include "platform/monitors.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/wallpaper.h"
#include "settings/options.h"
#include "ui/busy_state.h"
#include "ui/packs_page.h"
#include "ui/page_selection.h"

#include <QDir>

#include <optional>

namespace ui {

change::ChangeResult TAMMF::ChangeDesktop(change::PictureStep step, std::optional<QString> exportPath, bool tellUser)
{
    using Status = change::ChangeResult::Status;
    change::ChangeResult result;
    if (busy_ || !Options) {
        result.status = Status::Busy;
        result.problem = QStringLiteral("Another composition is still running.");
        return result;
    }
    std::optional<BusyGuard> busy;
    change::ChangeRequest request;
    request.step = step;
    request.exportPath = std::move(exportPath);
    const platform::ScreenInfo screen = platform::PrimaryScreen();
    request.size = screen.size;
    request.workArea = screen.workArea;
    request.monitors = platform::DesktopMonitors(screen.size);
    request.progress = [this](int value) { ShowProgress(value); };
    request.started = [this, &busy] { busy.emplace(*this); };
    request.finished = [&busy] { busy.reset(); };

    PageSelection selection(*PS);
    result = change::ChangeDesktop(request, selection, *Options, platform::ActiveWallpaperSetter());
    busy.reset();

    if (!result.Changed()) {
        if (tellUser)
            ReportProblem(result.problem);
        return result;
    }
    if (result.status == Status::Unset && !request.exportPath && !wallpaperFailureTold_ && tellUser) {
        wallpaperFailureTold_ = true;
        QString text = QStringLiteral("The desktop wallpaper could not be set on this desktop. The picture "
                                      "was saved as %1; you can choose it as wallpaper in your desktop's settings.")
                           .arg(QDir::toNativeSeparators(result.file));
        if (!result.wallpaperDetail.isEmpty())
            text += QLatin1Char('\n') + result.wallpaperDetail;
        UserDialogs().Message(this, text, Product->ProductName, MessageIcon::Information, MessageButtons::Ok);
    }
    if (!result.settingsProblem.isEmpty())
        ReportSettingsProblem();
    return result;
}

void TAMMF::ExpoRefreshExecute()
{
    ChangeDesktop(change::PictureStep::Current, std::nullopt, true);
}

void TAMMF::ExpoRandomExecute()
{
    ChangeDesktop(change::PictureStep::Random, std::nullopt, true);
}

void TAMMF::ExpoNextExecute()
{
    ChangeDesktop(change::PictureStep::Next, std::nullopt, true);
}

void TAMMF::ExpoBackExecute()
{
    ChangeDesktop(change::PictureStep::Back, std::nullopt, true);
}

void TAMMF::ExpoExportExecute()
{
    if (busy_)
        return;
    FileRequest request;
    request.title = QStringLiteral("Save picture...");
    request.filter = QStringLiteral("JPEG images (*.jpg)|*.jpg|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("jpg");
    request.proposedName = PS->CurrentRecord() ? change::ShortDescriptionOf(*PS->CurrentRecord(), 120)
                                               : Product->ProductName;
    // A title may hold a slash, which would make the proposal a path into some folder.
    request.proposedName.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = UserDialogs().SaveFileName(this, request);
    if (path.isEmpty())
        return;
    ChangeDesktop(change::PictureStep::Current, path, true);
}

void TAMMF::SiteMorePacksExecute()
{
    if (!platform::OpenWithShell(Product->ArtPageAddress))
        ReportProblem(QStringLiteral("No program could be started to open %1.").arg(Product->ArtPageAddress));
}

} // namespace ui
