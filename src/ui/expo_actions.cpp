// The exposition actions: Refresh, Random, Next, Back, Export and the web page with
// more packs. Each composes exactly what the Packs page shows.
#include "ui/main_window.h"

#include "app/datetime.h"
#include "app/product.h"
#include "compose/captions.h"
#include "packs/selection.h"
#include "platform/shell.h"
#include "settings/options.h"
#include "ui/busy_state.h"
#include "ui/expo_output.h"
#include "ui/packs_page.h"

#include <QDir>

namespace ui {

void TAMMF::ExpoRefreshExecute()
{
    lastAction_ = {};
    if (busy_) {
        lastAction_.problem = QStringLiteral("Another composition is still running.");
        return;
    }
    ExpoOutcome outcome;
    {
        BusyGuard busy(*this);
        outcome = ComposeAsWallpaper(PS->PreviewPicture(), PS->CurrentRecord(),
                                     [this](int value) { ShowProgress(value); });
    }
    if (!outcome.ok) {
        // Nothing on the desktop changed, so nothing is counted.
        lastAction_.problem = outcome.problem;
        if (!quietProblems_)
            ReportProblem(outcome.problem);
        return;
    }
    lastAction_.done = true;
    lastAction_.wallpaperSet = outcome.wallpaper.ok;
    if (!outcome.wallpaper.ok)
        lastAction_.wallpaperProblem = QStringLiteral("no desktop took %1%2")
                                           .arg(QDir::toNativeSeparators(outcome.file),
                                                outcome.wallpaper.detail.isEmpty()
                                                    ? QString()
                                                    : QStringLiteral(": ") + outcome.wallpaper.detail);
    if (!outcome.wallpaper.ok && !wallpaperFailureTold_ && !quietProblems_) {
        wallpaperFailureTold_ = true;
        QString text = QStringLiteral("The desktop wallpaper could not be set on this desktop. The picture "
                                      "was saved as %1; you can choose it as wallpaper in your desktop's settings.")
                           .arg(QDir::toNativeSeparators(outcome.file));
        if (!outcome.wallpaper.detail.isEmpty())
            text += QLatin1Char('\n') + outcome.wallpaper.detail;
        UserDialogs().Message(this, text, Product->ProductName, MessageIcon::Information, MessageButtons::Ok);
    }
    ++Options->DesktopsChanged;
    Options->LastDesktopChangeTime = Now();
    SaveSettings();
}

void TAMMF::ExpoRandomExecute()
{
    if (busy_)
        return;
    PS->SelectPictureByIndex(packs::RandomPictureIndex(PS->TotalPictureCount()));
    ExpoRefreshExecute();
}

void TAMMF::ExpoNextExecute()
{
    if (busy_)
        return;
    PS->SelectPictureByIndex(packs::NextPictureIndex(PS->CurrentPictureIndex(), PS->TotalPictureCount()));
    ExpoRefreshExecute();
}

void TAMMF::ExpoBackExecute()
{
    if (busy_)
        return;
    PS->SelectPictureByIndex(packs::BackPictureIndex(PS->CurrentPictureIndex(), PS->TotalPictureCount()));
    ExpoRefreshExecute();
}

void TAMMF::ExpoExportExecute()
{
    if (busy_)
        return;
    FileRequest request;
    request.title = QStringLiteral("Save picture...");
    request.filter = QStringLiteral("JPEG images (*.jpg)|*.jpg|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("jpg");
    request.proposedName = PS->CurrentRecord() ? compose::ShortDescription(*PS->CurrentRecord(), 120)
                                               : Product->ProductName;
    // A title may hold a slash, which would make the proposal a path into some folder.
    request.proposedName.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = UserDialogs().SaveFileName(this, request);
    if (path.isEmpty())
        return;
    ExpoOutcome outcome;
    {
        BusyGuard busy(*this);
        outcome = ComposeAsJpeg(PS->PreviewPicture(), PS->CurrentRecord(),
                                [this](int value) { ShowProgress(value); }, path);
    }
    if (!outcome.ok)
        ReportProblem(outcome.problem);
}

void TAMMF::SiteMorePacksExecute()
{
    if (!platform::OpenWithShell(Product->ArtPageAddress))
        ReportProblem(QStringLiteral("No program could be started to open %1.").arg(Product->ArtPageAddress));
}

} // namespace ui
