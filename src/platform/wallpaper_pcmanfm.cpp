// LXQt and LXDE: the desktop is drawn by the file manager, which takes a new
// wallpaper on its command line and hands it to its running desktop instance.
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <vector>

namespace platform {

namespace {

// The profile the running desktop reads its settings from ("--profile=lxqt" in
// an LXQt session, "default" when none is named).
QString LxqtProfile(const RunningProcess& desktop)
{
    const QStringList& args = desktop.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i].startsWith(QLatin1String("--profile=")))
            return args[i].mid(10);
        if ((args[i] == QLatin1String("--profile") || args[i] == QLatin1String("-p")) && i + 1 < args.size())
            return args[i + 1];
    }
    return QStringLiteral("default");
}

// Wallpaper= of the profile's settings file; empty when absent.
QString LxqtWallpaperSetting(const QString& settingsFile)
{
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString wallpaper;
    bool desktopGroup = false;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            desktopGroup = line == QLatin1String("[Desktop]");
        else if (desktopGroup && line.startsWith(QLatin1String("Wallpaper=")))
            wallpaper = line.mid(10);
    }
    return wallpaper;
}

} // namespace

MethodOutcome SetLxqtWallpaper(const WallpaperRequest& given)
{
    // With several monitors pcmanfm-qt draws one desktop window over all of
    // them and fits a single picture into it whole: a monitor's own exposition
    // would leave bars at the sides. The picture spanning the monitors, stretched
    // over that window, puts each monitor's exposition on its monitor exactly.
    const bool spanned = !given.spanned.isEmpty();
    const QString& file = spanned ? given.spanned : given.file;
    // Without its desktop running, pcmanfm-qt only stores the choice (or stays
    // on as a new instance); nothing would show it.
    const std::vector<RunningProcess> desktops = FindProcessesOnDisplay(QStringLiteral("pcmanfm-qt"), QStringLiteral("--desktop"));
    if (desktops.empty())
        return MethodOutcome::Failure(QStringLiteral("LXQt's desktop program, pcmanfm-qt --desktop, is not running"));
    const QString profile = LxqtProfile(desktops.front());
    // "fit" keeps the proportions and shows a screen-sized picture 1:1. Some
    // versions take no "zoom" and keep a fresh profile's mode "none", which
    // leaves the screen black.
    const QString mode = spanned ? QStringLiteral("stretch") : QStringLiteral("fit");
    const ToolRun run = RunTool(QStringLiteral("pcmanfm-qt"),
                                {QStringLiteral("--profile=") + profile, QStringLiteral("--set-wallpaper=") + file,
                                 QStringLiteral("--wallpaper-mode=") + mode});
    if (!run.Ok())
        return MethodOutcome::Failure(run.Problem());

    // The running desktop takes the change and writes the picture to its
    // profile; reading that back tells a change the desktop took from one no
    // desktop received. (The mode is not always written at once, so a stale
    // WallpaperMode= proves nothing either way.)
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    const QString settings = config + QStringLiteral("/pcmanfm-qt/%1/settings.conf").arg(profile);
    QString stored;
    for (int i = 0; i < 40; ++i) {
        stored = LxqtWallpaperSetting(settings);
        if (stored == file)
            return MethodOutcome::Worked();
        QThread::msleep(50);
    }
    return MethodOutcome::Failure(QStringLiteral("LXQt's desktop did not take the picture, as %1 names %2")
                                      .arg(settings, stored.isEmpty() ? QStringLiteral("no wallpaper") : stored));
}

MethodOutcome SetLxdeWallpaper(const WallpaperRequest& given)
{
    const QString& file = given.file;
    if (FindProcessesOnDisplay(QStringLiteral("pcmanfm"), QStringLiteral("--desktop")).empty())
        return MethodOutcome::Failure(QStringLiteral("LXDE's desktop program, pcmanfm --desktop, is not running"));
    // "center" (present in every pcmanfm version) shows the picture unscaled.
    const ToolRun run = RunTool(QStringLiteral("pcmanfm"),
                                {QStringLiteral("--set-wallpaper=") + file, QStringLiteral("--wallpaper-mode=center")});
    return run.Ok() ? MethodOutcome::Worked() : MethodOutcome::Failure(run.Problem());
}

} // namespace platform
