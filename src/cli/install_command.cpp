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
    const packs::InstallResult result = packs::InstallUserPack(source.toStdString(), folders);
    switch (result.Outcome) {
    case packs::InstallOutcome::Installed: {
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
                                   .arg(Q(result.PackName), Q(result.Target),
                                        result.Replaced ? QStringLiteral(" (replacing the older file of that name)")
                                                        : QString(),
                                        count));
        return cli::ExitDone;
    }
    case packs::InstallOutcome::AlreadyInFolder:
        cli::PrintLine(stdout, QStringLiteral("%1 lies in the packs folder already; nothing to do").arg(source));
        return cli::ExitDone;
    case packs::InstallOutcome::NotZipFile:
        cli::PrintError(QStringLiteral("%1: %2; nothing was installed").arg(source, Q(result.Message)));
        return cli::ExitFailed;
    case packs::InstallOutcome::Unreadable:
        cli::PrintError(QStringLiteral("cannot read %1: %2").arg(source, Q(result.Message)));
        return cli::ExitFailed;
    case packs::InstallOutcome::InvalidPack:
        cli::PrintError(QStringLiteral("%1: %2 Nothing was installed.").arg(source, Q(result.Message)));
        return cli::ExitFailed;
    case packs::InstallOutcome::CopyFailed:
        cli::PrintError(QStringLiteral("cannot copy %1 to %2: %3 The installed packs are unchanged.")
                            .arg(source, Q(result.Target), Q(result.Message)));
        return cli::ExitFailed;
    }
    return cli::ExitFailed;
}

cli::Registrar registrar{{"install", "FILE", "Installs a pack archive (.zip) into the packs folder.", RunInstall}};

} // namespace
