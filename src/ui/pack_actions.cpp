// Installing a pack from a chosen file and removing the selected one, from the
// Packs page's context menu. The list is rebuilt after every confirmed dialogue.
#include "ui/main_window.h"

#include "packs/install.h"
#include "packs/pack.h"
#include "packs/pack_folders.h"
#include "ui/packs_page.h"

#include <QApplication>

namespace ui {

void TAMMF::PackInstallExecute()
{
    if (busy_)
        return;
    FileRequest request;
    request.title = QStringLiteral("Install a new pack...");
    request.filter = QStringLiteral("Packs (*.zip)|*.zip|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("zip");
    const QString source = UserDialogs().OpenFileName(this, request);
    if (source.isEmpty())
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    const core::Result<packs::InstalledPack> result =
        packs::InstallUserPack(source.toStdString(), packs::CurrentPackFolders());
    QApplication::restoreOverrideCursor();

    // Another kind of file, or one already in the packs folder, is passed over in
    // silence; everything else that failed carries its code.
    if (!result.ok() && result.error().code != packs::kNotAPackArchive
        && result.error().code != packs::kAlreadyInstalled)
        ReportPackError(result.error().code, QStringLiteral("File: %1").arg(source));
    PS->FillPackList();
}

void TAMMF::PackRemoveExecute()
{
    if (busy_)
        return;
    TPack* pack = PS->SelectedPack();
    if (!pack)
        return;
    if (UserDialogs().Message(this, QStringLiteral("Are you sure you want to remove this pack?"),
                              QStringLiteral("Confirmation"), MessageIcon::Question, MessageButtons::OkCancel)
        != MessageAnswer::Ok)
        return;
    const packs::PackFolders folders = packs::CurrentPackFolders();
    if (packs::IsFixedBundledPack(pack->Path, folders)) {
        ReportProblem(QString::fromStdString(packs::BundledPackRefusal(pack->Name)));
        PS->FillPackList();
        return;
    }
    if (const core::Result<void> removed = packs::RemovePack(pack->Path); !removed)
        ReportPackError(removed.error().code, QStringLiteral("File: %1").arg(QString::fromStdString(pack->Path)));
    PS->FillPackList();
}

} // namespace ui
