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
#include "ui/app_context.h"
#include "packs/pack.h"
#include "ui/pack_passwords.h"
#include "ui/packs_page.h"
#include "change/selection_model.h"

#include <QDir>

#include <optional>

namespace ui {

bool TAMMF::StartChange(change::PictureStep step, std::optional<QString> exportPath, bool tellUser,
                        std::function<void(const core::Result<change::ChangeDone>&)> done, QStringList overrides)
{
    change::ChangeRequest request;
    request.step = step;
    request.exportPath = std::move(exportPath);
    request.overrides = std::move(overrides);
    return StartRequest(std::move(request), tellUser, std::move(done));
}

bool TAMMF::StartRequest(change::ChangeRequest request, bool tellUser,
                         std::function<void(const core::Result<change::ChangeDone>&)> done)
{
    if (busy_ || runner_.IsRunning())
        return false;
    // Busy before anything is chosen: from here on neither the window, the tray
    // nor a hand-over can start a second change.
    BeginBusy();
    const platform::ScreenInfo screen = platform::PrimaryScreen();
    request.size = screen.size;
    request.workArea = screen.workArea;
    request.monitors = platform::DesktopMonitors(screen.size);
    const bool exporting = request.exportPath.has_value();
    runner_.Start(std::move(request), *selection_, context_.Options(), context_.Setter(),
                  [this, tellUser, exporting, done = std::move(done)](const core::Result<change::ChangeDone>& result) {
                      EndBusy();
                      // The tray's tip and items name what is on the wall now.
                      RefreshPictureItems();
                      if (tellUser)
                          TellChangeOutcome(result, exporting);
                      else if (result.ok() && !result->settingsProblem.isEmpty())
                          ReportSettingsProblem();
                      if (done)
                          done(result);
                  });
    return true;
}

void TAMMF::TellChangeOutcome(const core::Result<change::ChangeDone>& result, bool exporting)
{
    if (!result.ok()) {
        // A pack shown without its password: the question for it stands for the
        // problem, unless the person has cancelled it before.
        const TPack* pack = selection_->SelectedPack();
        if (!(pack && selection_->CurrentLocked() && passwords_->WillAnswer(pack->Path)))
            ReportProblem(QString::fromStdString(result.error().text));
        return;
    }
    const change::ChangeDone& done = *result;
    if (done.unset && !exporting && !wallpaperFailureTold_) {
        wallpaperFailureTold_ = true;
        QString text = QStringLiteral("The desktop wallpaper could not be set on this desktop. The picture "
                                      "was saved as %1; you can choose it as wallpaper in your desktop's settings.")
                           .arg(QDir::toNativeSeparators(done.file));
        if (!done.unsetReason.isEmpty())
            text += QLatin1Char('\n') + done.unsetReason;
        UserDialogs().Message(this, text, context_.Product().ProductName, MessageIcon::Information, MessageButtons::Ok);
    }
    if (!done.settingsProblem.isEmpty())
        ReportSettingsProblem();
}

void TAMMF::ExpoRefreshExecute()
{
    StartChange(change::PictureStep::Current, std::nullopt, true);
}

void TAMMF::ExpoRandomExecute()
{
    StartChange(change::PictureStep::Random, std::nullopt, true);
}

void TAMMF::ExpoNextExecute()
{
    StartChange(change::PictureStep::Next, std::nullopt, true);
}

void TAMMF::ExpoBackExecute()
{
    StartChange(change::PictureStep::Back, std::nullopt, true);
}

void TAMMF::ExpoExportExecute()
{
    if (busy_)
        return;
    FileRequest request;
    request.title = QStringLiteral("Save picture...");
    request.filter = QStringLiteral("JPEG images (*.jpg)|*.jpg|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("jpg");
    const TPic* record = selection_->CurrentRecord();
    request.proposedName = record ? change::ShortDescriptionOf(*record, change::kDescriptionLength)
                                  : context_.Product().ProductName;
    // A title may hold a slash, which would make the proposal a path into some folder.
    request.proposedName.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = UserDialogs().SaveFileName(this, request);
    if (path.isEmpty())
        return;
    StartChange(change::PictureStep::Current, path, true);
}

void TAMMF::SiteMorePacksExecute()
{
    const QString address = context_.Product().ArtPageAddress;
    if (!platform::OpenWithShell(address))
        ReportProblem(QStringLiteral("No program could be started to open %1.").arg(address));
}

} // namespace ui
