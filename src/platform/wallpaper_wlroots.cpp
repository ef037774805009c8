// Wayland compositors built on wlroots draw no wallpaper of their own; a
// background client does (swww's daemon, or swaybg, which sway starts itself).
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace platform {

MethodOutcome SetSwwwWallpaper(const QString& file)
{
    const ToolRun query = RunTool(QStringLiteral("swww"), {QStringLiteral("query")});
    if (!query.found)
        return MethodOutcome::Failure(query.Problem());
    if (!query.Ok())
        return MethodOutcome::Failure(QStringLiteral("the swww daemon is not running (%1)").arg(query.Problem()));
    const ToolRun img = RunTool(QStringLiteral("swww"), {QStringLiteral("img"), file});
    return img.Ok() ? MethodOutcome::Worked() : MethodOutcome::Failure(img.Problem());
}

MethodOutcome SetSwayWallpaper(const QString& file)
{
    if (qEnvironmentVariable("SWAYSOCK").isEmpty())
        return MethodOutcome::Failure(QStringLiteral("not running under sway (SWAYSOCK is not set)"));
    // swaymsg joins its arguments into one sway command, so the path is quoted
    // the way sway's command parser expects.
    if (file.contains(QLatin1Char('"')))
        return MethodOutcome::Failure(QStringLiteral("sway cannot be given a path that contains a double quote"));
    const ToolRun run = RunTool(QStringLiteral("swaymsg"), {QStringLiteral("output"), QStringLiteral("*"),
                                                           QStringLiteral("bg"), QLatin1Char('"') + file + QLatin1Char('"'),
                                                           QStringLiteral("fill")});
    return run.Ok() ? MethodOutcome::Worked() : MethodOutcome::Failure(run.Problem());
}

namespace {

QString SwaybgPidFile()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/ambience-swaybg-%1.pid").arg(::getuid());
}

bool IsOurSwaybg(pid_t pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return false;
    return comm.readAll().trimmed() == "swaybg";
}

} // namespace

MethodOutcome SetSwaybgWallpaper(const QString& file)
{
    const QString program = FindTool(QStringLiteral("swaybg"));
    if (program.isEmpty())
        return MethodOutcome::Failure(QStringLiteral("swaybg is not installed"));

    qint64 pid = 0;
    if (!QProcess::startDetached(program, {QStringLiteral("-i"), file, QStringLiteral("-m"), QStringLiteral("fill")},
                                 QString(), &pid) || pid <= 0)
        return MethodOutcome::Failure(QStringLiteral("swaybg could not be started"));

    // swaybg leaves at once when the compositor offers no background layer; a
    // moment's patience tells a working one from that.
    for (int i = 0; i < 10; ++i) {
        QThread::msleep(50);
        if (::kill(pid_t(pid), 0) != 0)
            return MethodOutcome::Failure(QStringLiteral("swaybg ended at once (the compositor offers no background layer)"));
    }

    // The previous swaybg of ours goes only now, so the screen never goes bare.
    QFile pidFile(SwaybgPidFile());
    if (pidFile.open(QIODevice::ReadOnly)) {
        const pid_t old = pid_t(pidFile.readAll().trimmed().toLongLong());
        pidFile.close();
        if (old > 0 && old != pid_t(pid) && IsOurSwaybg(old))
            ::kill(old, SIGTERM);
    }
    if (pidFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        pidFile.write(QByteArray::number(pid));
    return MethodOutcome::Worked();
}

} // namespace platform
