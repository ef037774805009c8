// LXQt and LXDE: the desktop is drawn by the file manager, which takes a new
// wallpaper on its command line and hands it to its running desktop instance.
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

namespace platform {

MethodOutcome SetLxqtWallpaper(const QString& file)
{
    // Without its desktop running, pcmanfm-qt only stores the choice (or stays
    // on as a new instance); nothing would show it.
    if (!ProcessRunning(QStringLiteral("pcmanfm-qt"), QStringLiteral("--desktop")))
        return MethodOutcome::Failure(QStringLiteral("no pcmanfm-qt desktop is running"));
    // "zoom" covers the screen keeping proportions: 1:1 for a screen-sized picture.
    const ToolRun run = RunTool(QStringLiteral("pcmanfm-qt"),
                                {QStringLiteral("--set-wallpaper=") + file, QStringLiteral("--wallpaper-mode=zoom")});
    return run.Ok() ? MethodOutcome::Worked() : MethodOutcome::Failure(run.Problem());
}

MethodOutcome SetLxdeWallpaper(const QString& file)
{
    if (!ProcessRunning(QStringLiteral("pcmanfm"), QStringLiteral("--desktop")))
        return MethodOutcome::Failure(QStringLiteral("no pcmanfm desktop is running"));
    // "center" (present in every pcmanfm version) shows the picture unscaled.
    const ToolRun run = RunTool(QStringLiteral("pcmanfm"),
                                {QStringLiteral("--set-wallpaper=") + file, QStringLiteral("--wallpaper-mode=center")});
    return run.Ok() ? MethodOutcome::Worked() : MethodOutcome::Failure(run.Problem());
}

} // namespace platform
