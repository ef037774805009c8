// "Make a pack...": a pack from the user's own pictures, made on a worker thread
// and installed into the user's packs folder, then listed and selected.
#include "ui/main_window.h"

#include "archive/errors.h"
#include "packmaker/pack_maker.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"
#include "ui/busy_state.h"
#include "ui/make_pack_dialog.h"
#include "ui/pack_passwords.h"
#include "ui/packs_page.h"

#include <QDir>
#include <QListWidget>

namespace ui {

void TAMMF::PackMakeExecute()
{
    if (busy_)
        return;
    const std::optional<MakePackAnswers> answers = UserDialogs().MakePack(this, PIL);
    if (!answers || answers->sources.isEmpty() || answers->name.isEmpty())
        return;

    const std::optional<std::string> userFolder = UserPacksFolder();
    if (!userFolder)
        return;
    packmaker::MakeRequest request;
    for (const QString& source : answers->sources)
        request.Sources.push_back(source.toStdString());
    request.Name = answers->name.toStdString();
    request.Author = answers->author.toStdString();
    request.Icon = answers->icon;
    request.Password = answers->password.toStdString();
    // Written straight into the user's folder: the archive appears there under its
    // name only once it is complete.
    request.Output = *userFolder + packmaker::PackFileName(request.Name);

    const core::Result<packmaker::MadePack> result = [&] {
        BusyGuard busy(*this);
        TMakePackProgress progress(this);
        progress.Start(request);
        progress.exec();
        return progress.Result();
    }();
    if (!result.ok()) {
        if (result.error().code != archiva::ErrorCancelled)
            ReportProblem(QStringLiteral("The pack \"%1\" was not made.\n%2")
                              .arg(answers->name, QString::fromStdString(result.error().text)));
        return;
    }
    // The password just given opens the new pack's pictures for this session.
    ListAndSelectPack(result->Archive, request.Password);
    if (!result->Skipped.empty()) {
        QStringList files;
        for (const packmaker::SkippedFile& skipped : result->Skipped)
            files << QStringLiteral("%1: %2").arg(QString::fromStdString(skipped.Path),
                                                  QString::fromStdString(skipped.Reason));
        ReportProblem(QStringLiteral("The pack \"%1\" was made without these files:\n%2")
                          .arg(answers->name, files.join(QLatin1Char('\n'))));
    }
}

std::optional<std::string> TAMMF::UserPacksFolder()
{
    const packs::PackFolders folders = packs::CurrentPackFolders();
    if (folders.User.empty() || !QDir().mkpath(QString::fromStdString(folders.User))) {
        ReportProblem(QStringLiteral("There is no folder for your own packs: %1")
                          .arg(folders.User.empty() ? QStringLiteral("neither XDG_DATA_HOME nor HOME is set")
                                                    : QString::fromStdString(folders.User)));
        return std::nullopt;
    }
    return folders.User;
}

void TAMMF::ListAndSelectPack(const std::string& archive, const std::string& password)
{
    // Known before the list is filled, and kept for the next run.
    passwords_->Opened(archive, password);
    PS->FillPackList();
    const int row = packs::FindPackByPath(Catalogue(), archive);
    if (row < 0 || row >= PS->PV->count())
        return;
    // Before selecting: the selection shows the first picture at once.
    if (!password.empty())
        Catalogue().PackAt(row).PackPassword = password;
    PS->PV->clearSelection();
    PS->PV->item(row)->setSelected(true);
    PS->PV->setCurrentRow(row);
}

} // namespace ui
