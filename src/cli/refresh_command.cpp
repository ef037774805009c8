// ambience-cli refresh, random, next, back: compose an exposition and make it the
// wallpaper, as the window's actions of the same names do.
#include "cli/command.h"
#include "cli/exposition_job.h"
#include "cli/pack_support.h"

#include <string>

namespace {

int Run(const char* name, cli::PictureStep step, QStringList args)
{
    cli::ExpositionRequest request;
    request.step = step;
    QString error;
    if (!cli::ParseExpositionOptions(args, request, error) || !args.isEmpty()) {
        if (error.isEmpty())
            error = QStringLiteral("unexpected argument \"%1\"").arg(args.first());
        cli::PrintError(QStringLiteral("%1\nusage: ambience-cli %2 %3")
                            .arg(error, QString::fromLatin1(name), QString::fromLatin1(cli::ExpositionOptionsUsage)));
        return 2;
    }
    return cli::RunExposition(request);
}

const std::string usage = cli::ExpositionOptionsUsage;

cli::Registrar refresh{{"refresh", usage.c_str(),
                        "Composes the current picture (the last one shown, or --pack/--picture) and sets it as "
                        "wallpaper. Exit code 3: the file was written but no desktop took it.",
                        [](const QStringList& a) { return Run("refresh", cli::PictureStep::Current, a); }}};
cli::Registrar random{{"random", usage.c_str(), "Picks a picture at random over all installed packs and sets it as wallpaper.",
                       [](const QStringList& a) { return Run("random", cli::PictureStep::Random, a); }}};
cli::Registrar next{{"next", usage.c_str(), "Goes on to the next picture over all packs and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("next", cli::PictureStep::Next, a); }}};
cli::Registrar back{{"back", usage.c_str(), "Goes back to the previous picture over all packs and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("back", cli::PictureStep::Back, a); }}};

} // namespace
