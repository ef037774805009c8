// ambience-cli remove NAME|FILE [--yes]: deletes an installed pack's archive after
// confirmation.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/pack_support.h"

#include "packs/install.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"

#include <cstdio>
#include <unistd.h>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

bool Confirm(const QString& question)
{
    std::fprintf(stderr, "%s [y/N] ", question.toUtf8().constData());
    std::fflush(stderr);
    char answer[64] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

int RunRemove(const QStringList& arguments)
{
    QStringList args = arguments;
    const bool yes = cli::TakeFlag(args, QStringLiteral("--yes")) | cli::TakeFlag(args, QStringLiteral("-y"));
    if (args.size() != 1) {
        cli::PrintError(QStringLiteral("usage: ambience-cli remove NAME|FILE [--yes]"));
        return cli::ExitUsage;
    }
    cli::Context context; // the application record, for the registry keys
    const packs::PackFolders folders = packs::CurrentPackFolders();
    TPackList list;
    if (!cli::ScanCatalogue(list))
        return cli::ExitFailed;
    QString error;
    const auto index = cli::FindInstalledPack(list, args.first(), error);
    if (!index) {
        cli::PrintError(error);
        return cli::ExitUsage; // no such pack: nothing was done
    }
    const std::string path = list.PackAt(*index).Path;
    const QString name = Q(list.PackAt(*index).Name);
    if (packs::IsFixedBundledPack(path, folders)) {
        cli::PrintError(Q(packs::BundledPackRefusal(name.toStdString())));
        return cli::ExitFailed;
    }

    if (!yes) {
        // Without a terminal there is nobody to ask; deleting unasked is not safe.
        if (!::isatty(STDIN_FILENO)) {
            cli::PrintError(QStringLiteral("not removing \"%1\" without confirmation; add --yes").arg(name));
            return cli::ExitFailed;
        }
        if (!Confirm(QStringLiteral("Are you sure you want to remove the pack \"%1\" (%2)?").arg(name, Q(path)))) {
            cli::PrintLine(stdout, QStringLiteral("Nothing was removed."));
            return cli::ExitFailed;
        }
    }
    list.Clear(); // release the records before the file goes
    if (const core::Result<void> removed = packs::RemoveInstalledPack(path, name.toStdString(), folders); !removed) {
        cli::PrintError(QStringLiteral("cannot remove %1: %2").arg(Q(path), Q(removed.error().text)));
        return cli::ExitFailed;
    }
    cli::PrintLine(stdout, QStringLiteral("Removed \"%1\" (%2)").arg(name, Q(path)));
    return cli::ExitDone;
}

cli::Registrar registrar{{"remove", "NAME|FILE [--yes]",
                          "Removes an installed pack; asks first unless --yes is given.", RunRemove}};

} // namespace
