// ambience-cli __complete WORD...: what may stand at the last word of a command
// line, for the shell completion scripts (see cli/completion.h). Not listed in the
// help; prints nothing on errors, which a shell would show mid-line.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/completion.h"
#include "cli/context.h"
#include "cli/pack_support.h"

#include "packs/pack_list.h"

#include <QFileInfo>

namespace {

std::vector<cli::InstalledPack> InstalledPacks()
{
    std::vector<cli::InstalledPack> packs;
    const std::string folder = cli::PacksFolder();
    if (folder.empty())
        return packs;
    TPackList list;
    list.Rescan(folder);
    for (const TPack& pack : list.Packs())
        packs.push_back({QFileInfo(QString::fromStdString(pack.Path)).completeBaseName(),
                         QString::fromStdString(pack.Name)});
    return packs;
}

int RunComplete(const QStringList& args)
{
    cli::Context context; // the application record, for the registry keys
    const cli::Completion completion = cli::Complete(cli::Commands(), args, InstalledPacks());
    for (const QString& line : cli::FormatCompletion(completion))
        cli::PrintLine(stdout, line);
    return cli::ExitDone;
}

cli::Registrar registrar{{"__complete", "WORD...", "Prints what may complete the last word.", RunComplete}};

} // namespace
