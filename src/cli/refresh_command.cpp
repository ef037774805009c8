// ambience-cli refresh, random, next, back: compose an exposition and make it the
// wallpaper, as the window's actions of the same names do.
#include "change/remote_request.h"
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/exposition_job.h"
#include "cli/pack_support.h"
#include "platform/single_instance.h"

#include <optional>
#include <string>

namespace {

// The desktop program's single-instance name (src/app/main.cpp).
const QString kInstanceName = QStringLiteral("Ambience");
// A composition at idle priority on a large screen can take a while.
constexpr int kActionTimeoutMs = 10 * 60 * 1000;

// When the desktop program runs, the action is its to carry out: the wallpaper, its
// window and its count stay in step, and a key binding drives what the user sees.
// Nothing when no program answers; then the work is done here.
std::optional<int> HandOver(change::PictureStep action)
{
    if (platform::SingleInstance::Ask(kInstanceName, change::kPingRequest, 3000) != change::kPingAnswer)
        return std::nullopt;
    const QString line = platform::SingleInstance::Ask(kInstanceName, change::RemoteActionRequest(action), kActionTimeoutMs);
    const std::optional<change::ChangeResult> answer = change::ParseRemoteAnswer(line);
    if (!answer) {
        // Doing it here as well could change the wallpaper twice.
        cli::PrintError(QStringLiteral("the running Ambience did not answer the request; nothing was changed here "
                                       "(use --local to compose in this process)"));
        return cli::ExitFailed;
    }
    using Status = change::ChangeResult::Status;
    switch (answer->status) {
    case Status::Done:
        cli::PrintLine(stdout, QStringLiteral("Picture: %1").arg(answer->description));
        cli::PrintLine(stdout, QStringLiteral("Wallpaper: set by the running Ambience"));
        return cli::ExitDone;
    case Status::Unset:
        cli::PrintLine(stdout, QStringLiteral("Wallpaper: not set by the running Ambience (%1)").arg(answer->wallpaperDetail));
        return cli::ExitWallpaperUnset;
    case Status::Busy:
        cli::PrintError(QStringLiteral("the running Ambience is busy composing; try again when it has finished"));
        return cli::ExitFailed;
    case Status::Failed:
    case Status::BadRequest:
        break;
    }
    cli::PrintError(answer->problem.isEmpty() ? QStringLiteral("the running Ambience could not change the wallpaper")
                                              : answer->problem);
    return cli::ExitFailed;
}

int Run(const char* name, change::PictureStep step, QStringList args)
{
    // With options the request is for this process (a size, a pack, a seed the
    // running program would not honour); without any it goes to the running program.
    const bool local = cli::TakeFlag(args, QStringLiteral("--local"));
    if (!local && args.isEmpty())
        if (const std::optional<int> code = HandOver(step))
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
                        "Composes the current picture (the last one shown, or --pack/--picture) and sets it as "
                        "wallpaper. Exit code 3: the file was written but no desktop took it.",
                        [](const QStringList& a) { return Run("refresh", change::PictureStep::Current, a); }}};
cli::Registrar random{{"random", usage.c_str(), "Picks a picture at random over all installed packs and sets it as wallpaper.",
                       [](const QStringList& a) { return Run("random", change::PictureStep::Random, a); }}};
cli::Registrar next{{"next", usage.c_str(), "Goes on to the next picture over all packs and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("next", change::PictureStep::Next, a); }}};
cli::Registrar back{{"back", usage.c_str(), "Goes back to the previous picture over all packs and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("back", change::PictureStep::Back, a); }}};

} // namespace
