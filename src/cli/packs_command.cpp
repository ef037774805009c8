// ambience-cli packs: the installed packs in catalogue order.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/pack_support.h"

#include "packs/pack_list.h"

#include <QFileInfo>

namespace {

QString Pad(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

int RunPacks(const QStringList& args)
{
    if (!args.isEmpty()) {
        cli::PrintError(QStringLiteral("packs takes no arguments"));
        return cli::ExitUsage;
    }
    cli::Context context; // the application record, for the registry keys
    const std::vector<std::string> folders = cli::CatalogueFolders();
    if (folders.empty()) {
        cli::PrintError(QStringLiteral("cannot tell where the packs folders lie"));
        return cli::ExitFailed;
    }
    TPackList list;
    if (!cli::ScanCatalogue(list, true))
        return cli::ExitFailed;
    if (list.Count() == 0) {
        QStringList names;
        for (const std::string& folder : folders)
            names << QString::fromStdString(folder);
        cli::PrintLine(stdout, QStringLiteral("No packs installed in %1").arg(names.join(QStringLiteral(" or "))));
        return cli::ExitDone;
    }

    int nameWidth = 4;
    for (const TPack& pack : list.Packs())
        nameWidth = std::max(nameWidth, static_cast<int>(QString::fromStdString(pack.Name).size()));
    cli::PrintLine(stdout, Pad(QStringLiteral("Name"), nameWidth) + QStringLiteral("  Icon  Pictures  File"));
    for (const TPack& pack : list.Packs()) {
        cli::PrintLine(stdout, QStringLiteral("%1  %2  %3  %4")
                                   .arg(Pad(QString::fromStdString(pack.Name), nameWidth))
                                   .arg(pack.Icon, 4)
                                   .arg(static_cast<qsizetype>(pack.Pictures.size()), 8)
                                   .arg(QString::fromStdString(pack.Path)));
    }
    return cli::ExitDone;
}

cli::Registrar registrar{{"packs", "", "Lists the installed packs in catalogue order: name, icon, picture count, file.",
                          RunPacks}};

} // namespace
