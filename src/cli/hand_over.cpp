#include "cli/hand_over.h"

#include "change/remote_request.h"
#include "cli/exit_code.h"
#include "cli/output.h"
#include "platform/instance_socket.h"

namespace cli {
namespace {

// The desktop program's single-instance name (src/app/main.cpp).
const QString kInstanceName = QStringLiteral("Ambience");
// The desktop program runs at idle priority: on a busy machine even its answer to
// a ping can wait for processor time.
constexpr int kPingTimeoutMs = 60 * 1000;
// A composition at idle priority on a large screen can take a while.
constexpr int kActionTimeoutMs = 10 * 60 * 1000;

} // namespace

std::optional<int> HandOver(const QString& request)
{
    if (!platform::InstanceListens(kInstanceName))
        return std::nullopt;
    // A program that listens is there even when slow to answer; composing here
    // meanwhile would make two changes at once.
    if (platform::AskInstance(kInstanceName, change::kPingRequest, kPingTimeoutMs) != change::kPingAnswer) {
        PrintError(QStringLiteral("the running Ambience does not answer, so nothing was changed; "
                               "use --local to compose in this process"));
        return ExitFailed;
    }
    const QString line = platform::AskInstance(kInstanceName, request, kActionTimeoutMs);
    const std::optional<core::Result<change::ChangeDone>> answer = change::ParseRemoteAnswer(line);
    if (!answer) {
        // Doing it here as well could change the wallpaper twice.
        PrintError(QStringLiteral("the running Ambience did not answer the request, so nothing was changed here; "
                               "use --local to compose in this process"));
        return ExitFailed;
    }
    const core::Result<change::ChangeDone>& result = *answer;
    if (result.ok() && !result->unset) {
        PrintLine(stdout, QStringLiteral("Picture: %1").arg(result->description));
        PrintLine(stdout, QStringLiteral("Wallpaper: set by the running Ambience"));
        return ExitDone;
    }
    if (result.ok()) {
        // The reason is a sentence of its own, which may hold parentheses.
        PrintLine(stdout, result->unsetReason.isEmpty()
                              ? QStringLiteral("Wallpaper: not set by the running Ambience")
                              : QStringLiteral("Wallpaper: not set by the running Ambience. %1").arg(result->unsetReason));
        return ExitWallpaperUnset;
    }
    if (result.error().code == change::kChangeBusy) {
        PrintError(QStringLiteral("the running Ambience is busy composing; try again when it has finished"));
        return ExitFailed;
    }
    PrintError(result.error().text.empty() ? QStringLiteral("the running Ambience could not change the wallpaper")
                                           : QString::fromStdString(result.error().text));
    return ExitFailed;
}

} // namespace cli
