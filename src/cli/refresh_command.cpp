// ambience-cli refresh, random, next, back: compose an exposition and make it the
// wallpaper, as the window's actions of the same names do.
#include "change/remote_request.h"
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/exposition_job.h"
#include "cli/pack_support.h"
#include "cli/hand_over.h"

#include <optional>
#include <string>

namespace {

int Run(const char* name, change::PictureStep step, QStringList args)
{
    // With options the request is for this process (a size, a pack, a seed the
    // running program would not honour); without any it goes to the running program.
    const bool local = cli::TakeFlag(args, QStringLiteral("--local"));
    if (!local && args.isEmpty())
        if (const std::optional<int> code = cli::HandOver(change::RemoteActionRequest(step)))
            return *code;

    cli::ExpositionRequest request;
    request.step = step;
    QString error;
    if (!cli::ParseExpositionOptions(args, request, error) || !args.isEmpty()) {
        if (error.isEmpty())
            error = QStringLiteral("unexpected argument \"%1\"").arg(args.first());
        cli::PrintError(QStringLiteral("%1\nusage: ambience-cli %2 [--local] %3")
                            .arg(error, QString::fromLatin1(name), QString::fromLatin1(cli::ExpositionOptionsUsage)));
        return cli::ExitUsage;
    }
    return cli::RunExposition(request);
}

const std::string usage = std::string("[--local] ") + cli::ExpositionOptionsUsage;

cli::Registrar refresh{{"refresh", usage.c_str(),
                        "Composes the current picture (the one on the wall, whichever program put it there, or "
                        "--pack/--picture) and sets it as wallpaper. Exit code 3: the file was written but no desktop took it.",
                        [](const QStringList& a) { return Run("refresh", change::PictureStep::Current, a); }}};
cli::Registrar random{{"random", usage.c_str(), "Picks a picture at random over all installed packs (not a banned one; only favourites with FavouritesOnly=on) and sets it as wallpaper.",
                       [](const QStringList& a) { return Run("random", change::PictureStep::Random, a); }}};
cli::Registrar next{{"next", usage.c_str(), "Goes on from the picture on the wall to the next one over all packs (passing over banned ones) and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("next", change::PictureStep::Next, a); }}};
cli::Registrar back{{"back", usage.c_str(), "Goes back from the picture on the wall to the previous one over all packs (passing over banned ones) and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("back", change::PictureStep::Back, a); }}};

} // namespace
