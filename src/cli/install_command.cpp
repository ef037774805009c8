// ambience-cli install FILE: copies a pack archive into the packs folder.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/pack_support.h"

#include "packs/install.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"

#include <QFileInfo>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

int RunInstall(const QStringList& args)
{
    if (args.size() != 1) {
        cli::PrintError(QStringLiteral("usage: ambience-cli install FILE"));
        return cli::ExitUsage;
    }
    cli::Context context; // the application record, for the registry keys
    const packs::PackFolders folders = packs::CurrentPackFolders();
    const QString source = QFileInfo(args.first()).absoluteFilePath();
    const core::Result<packs::InstalledPack> result = packs::InstallUserPack(source.toStdString(), folders);
    if (!result.ok() && result.error().code == packs::kAlreadyInstalled) {
        cli::PrintLine(stdout, QStringLiteral("%1 lies in the packs folder already; nothing to do").arg(source));
        return cli::ExitDone;
    }
    if (!result.ok()) {
        cli::PrintError(Q(result.error().text));
        return cli::ExitFailed;
    }
    // The pack is in the user's folder whatever the catalogue finds beside it: the
    // outcome is "installed" (exit 0), told in one line. A packs folder that
    // cannot be read only changes how many packs that line can count.
    packs::ScanReport report;
    TPackList list;
    list.Rescan(cli::CatalogueFolders(), &report);
    QString count = QStringLiteral("%1 pack(s) installed").arg(list.Count());
    if (!report.UnreadableFolders.empty()) {
        QStringList unreadable;
        for (const std::string& folder : report.UnreadableFolders)
            unreadable << Q(folder);
        count += QStringLiteral(" (others not counted: cannot read the packs folder %1)")
                     .arg(unreadable.join(QStringLiteral("; ")));
    }
    cli::PrintLine(stdout, QStringLiteral("Installed \"%1\" as %2%3; %4")
                               .arg(Q(result->PackName), Q(result->Target),
                                    result->Replaced ? QStringLiteral(" (replacing the older file of that name)") : QString(),
                                    count));
    return cli::ExitDone;
}

cli::Registrar registrar{{"install", "FILE", "Installs a pack archive (.zip) into the packs folder.", RunInstall}};

} // namespace
