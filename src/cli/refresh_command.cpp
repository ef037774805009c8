// ambience-cli refresh, random, next, back: compose an exposition and make it the
// wallpaper, as the window's actions of the same names do.
#include "agent/remote_action.h"
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
std::optional<int> HandOver(agent::RemoteAction action)
{
    if (platform::SingleInstance::Ask(kInstanceName, agent::kPingRequest, 3000) != agent::kPingAnswer)
        return std::nullopt;
    const QString line = platform::SingleInstance::Ask(kInstanceName, agent::RemoteActionRequest(action), kActionTimeoutMs);
    const std::optional<agent::RemoteAnswer> answer = agent::ParseRemoteAnswer(line);
    if (!answer) {
        // Doing it here as well could change the wallpaper twice.
        cli::PrintError(QStringLiteral("the running Ambience did not answer the request; nothing was changed here "
                                       "(use --local to compose in this process)"));
        return 1;
    }
    using Kind = agent::RemoteAnswer::Kind;
    switch (answer->kind) {
    case Kind::Done:
        cli::PrintLine(stdout, QStringLiteral("Picture: %1").arg(answer->text));
        cli::PrintLine(stdout, QStringLiteral("Wallpaper: set by the running Ambience"));
        return 0;
    case Kind::Unset:
        cli::PrintLine(stdout, QStringLiteral("Wallpaper: not set by the running Ambience (%1)").arg(answer->text));
        return 3;
    case Kind::Busy:
        cli::PrintError(QStringLiteral("the running Ambience is busy composing; try again when it has finished"));
        return 1;
    case Kind::Failed:
        break;
    }
    cli::PrintError(answer->text.isEmpty() ? QStringLiteral("the running Ambience could not change the wallpaper")
                                           : answer->text);
    return 1;
}

int Run(const char* name, cli::PictureStep step, agent::RemoteAction action, QStringList args)
{
    // With options the request is for this process (a size, a pack, a seed the
    // running program would not honour); without any it goes to the running program.
    const bool local = cli::TakeFlag(args, QStringLiteral("--local"));
    if (!local && args.isEmpty())
        if (const std::optional<int> code = HandOver(action))
            return *code;

    cli::ExpositionRequest request;
    request.step = step;
    QString error;
    if (!cli::ParseExpositionOptions(args, request, error) || !args.isEmpty()) {
        if (error.isEmpty())
            error = QStringLiteral("unexpected argument \"%1\"").arg(args.first());
        cli::PrintError(QStringLiteral("%1\nusage: ambience-cli %2 [--local] %3")
                            .arg(error, QString::fromLatin1(name), QString::fromLatin1(cli::ExpositionOptionsUsage)));
        return 2;
    }
    return cli::RunExposition(request);
}

const std::string usage = std::string("[--local] ") + cli::ExpositionOptionsUsage;

cli::Registrar refresh{{"refresh", usage.c_str(),
                        "Composes the current picture (the last one shown, or --pack/--picture) and sets it as "
                        "wallpaper. Exit code 3: the file was written but no desktop took it.",
                        [](const QStringList& a) { return Run("refresh", cli::PictureStep::Current, agent::RemoteAction::Refresh, a); }}};
cli::Registrar random{{"random", usage.c_str(), "Picks a picture at random over all installed packs and sets it as wallpaper.",
                       [](const QStringList& a) { return Run("random", cli::PictureStep::Random, agent::RemoteAction::Random, a); }}};
cli::Registrar next{{"next", usage.c_str(), "Goes on to the next picture over all packs and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("next", cli::PictureStep::Next, agent::RemoteAction::Next, a); }}};
cli::Registrar back{{"back", usage.c_str(), "Goes back to the previous picture over all packs and sets it as wallpaper.",
                     [](const QStringList& a) { return Run("back", cli::PictureStep::Back, agent::RemoteAction::Back, a); }}};

} // namespace
