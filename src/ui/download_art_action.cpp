// "Download art...": a pack of public-domain works from a museum's open-access
// collection, fetched on a worker thread, installed into the user's packs folder,
// then listed and selected. The network is used only here, when asked.
#include "ui/main_window.h"

#include "archive/errors.h"
#include "museum/fetch.h"
#include "packmaker/pack_maker.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"
#include "ui/busy_state.h"
#include "ui/download_art_dialog.h"
#include "ui/fresh_pack_keeper.h"
#include "ui/options_page.h"
#include "ui/app_context.h"
#include "core/product.h"
#include "ui/packs_page.h"

#include <QDir>
#include <QListWidget>

namespace ui {

void TAMMF::DownloadArtExecute()
{
    if (busy_)
        return;
    const std::optional<DownloadArtAnswers> answers = UserDialogs().DownloadArt(this);
    if (!answers)
        return;
    const std::optional<museum::Source> source = museum::SourceFromCode(answers->museum);
    if (!source)
        return;

    const std::optional<std::string> userFolder = UserPacksFolder();
    if (!userFolder)
        return;
    museum::FetchRequest request;
    request.source = *source;
    request.query = answers->query;
    request.name = answers->name;
    request.count = answers->count;
    // Written straight into the user's folder: the pack appears there only once complete.
    request.output = QString::fromStdString(*userFolder + packmaker::PackFileName(answers->name.toStdString()));

    const core::Result<museum::FetchedPack> result = [&] {
        BusyGuard busy(*this);
        TDownloadArtProgress progress(this);
        progress.Start(request);
        progress.exec();
        return progress.Result();
    }();
    if (!result.ok()) {
        if (result.error().code != archiva::ErrorCancelled)
            ReportProblem(QStringLiteral("No pack was made of \"%1\".\n%2")
                              .arg(answers->name, QString::fromStdString(result.error().text)));
        return;
    }
    ListAndSelectPack(result->archive.toStdString());
    if (answers->keepFresh) {
        const core::Result<void> subscribed = SubscribeFreshPack(context_.Store(), ProductNames().RegistryRoot, *answers,
                                                                 result->archive, QDateTime::currentDateTimeUtc());
        if (!subscribed)
            ReportProblem(QStringLiteral("\"%1\" was made, but it cannot be kept fresh: %2")
                              .arg(answers->name, QString::fromStdString(subscribed.error().text)));
        else {
            if (auto* keeper = findChild<TFreshPackKeeper*>())
                keeper->Check(); // the next renewal's day
            if (auto* options = qobject_cast<TOptionsPage*>(OS); options && !options->IsEdited())
                options->LoadOptionsPage(); // the Options page names the pack kept fresh
        }
    }
}

} // namespace ui
