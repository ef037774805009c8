// ambience-cli install FILE: copies a pack archive into the packs folder.
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
        return 2;
    }
    cli::Context context; // the application record, for the registry keys
    const packs::PackFolders folders = packs::CurrentPackFolders();
    const QString source = QFileInfo(args.first()).absoluteFilePath();
    const packs::InstallResult result = packs::InstallUserPack(source.toStdString(), folders);
    switch (result.Outcome) {
    case packs::InstallOutcome::Installed: {
        cli::PrintLine(stdout, QStringLiteral("Installed \"%1\" as %2%3")
                                   .arg(Q(result.PackName), Q(result.Target),
                                        result.Replaced ? QStringLiteral(" (replacing the older file of that name)")
                                                        : QString()));
        TPackList list;
        if (!cli::ScanCatalogue(list))
            return 1; // copied, but the catalogue cannot see it
        cli::PrintLine(stdout, QStringLiteral("%1 pack(s) installed").arg(list.Count()));
        return 0;
    }
    case packs::InstallOutcome::AlreadyInFolder:
        cli::PrintLine(stdout, QStringLiteral("%1 lies in the packs folder already; nothing to do").arg(source));
        return 0;
    case packs::InstallOutcome::NotZipFile:
        cli::PrintError(QStringLiteral("%1: %2; nothing was installed").arg(source, Q(result.Message)));
        return 1;
    case packs::InstallOutcome::Unreadable:
        cli::PrintError(QStringLiteral("cannot read %1: %2").arg(source, Q(result.Message)));
        return 1;
    case packs::InstallOutcome::InvalidPack:
        cli::PrintError(QStringLiteral("%1: %2 Nothing was installed.").arg(source, Q(result.Message)));
        return 1;
    case packs::InstallOutcome::CopyFailed:
        cli::PrintError(QStringLiteral("cannot copy %1 to %2: %3 The installed packs are unchanged.")
                            .arg(source, Q(result.Target), Q(result.Message)));
        return 1;
    }
    return 1;
}

cli::Registrar registrar{{"install", "FILE", "Installs a pack archive (.zip) into the packs folder.", RunInstall}};

} // namespace
