// Wayland compositors built on wlroots draw no wallpaper of their own; a
// background client does (swww's daemon, hyprpaper under Hyprland, or swaybg,
// which sway starts itself and users start from their configuration).
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <vector>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/types.h>
#include <unistd.h>

namespace platform {
namespace {

// Each output and its file: every monitor of the request by name, or "*" (every
// output) for one picture.
std::vector<std::pair<QString, QString>> OutputFiles(const WallpaperRequest& given)
{
    std::vector<std::pair<QString, QString>> outputs;
    if (given.PerMonitor()) {
        for (const MonitorWallpaper& m : given.monitors)
            outputs.emplace_back(m.name, m.file);
    } else {
        outputs.emplace_back(QStringLiteral("*"), given.file);
    }
    return outputs;
}

} // namespace

MethodOutcome SetSwwwWallpaper(const WallpaperRequest& given)
{
    const ToolRun query = RunTool(QStringLiteral("swww"), {QStringLiteral("query")});
    if (!query.found)
        return MethodOutcome::Failure(query.Problem());
    if (!query.Ok())
        return MethodOutcome::Failure(QStringLiteral("the swww daemon is not running (%1)").arg(query.Problem()));
    for (const auto& [output, file] : OutputFiles(given)) {
        QStringList args {QStringLiteral("img")};
        if (output != u"*")
            args << QStringLiteral("-o") << output;
        const ToolRun img = RunTool(QStringLiteral("swww"), args << file);
        if (!img.Ok())
            return MethodOutcome::Failure(img.Problem());
    }
    return MethodOutcome::Worked();
}

namespace {

bool SocketConnects(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address {};
    if (name.isEmpty() || size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return connected;
}

struct ProcessIds {
    qint64 parent = -1;
    qint64 group = -1;
    qint64 session = -1;
};

ProcessIds IdsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    // "pid (comm) state ppid pgrp session ...": the name may hold spaces and parentheses.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 1).simplified().split(' ');
    if (fields.size() < 4)
        return {};
    return {fields[1].toLongLong(), fields[2].toLongLong(), fields[3].toLongLong()};
}

// swaybg processes sway did not start: the user's own, from their
// configuration, and ours of an earlier change. A background started after them
// stays below them. sway detaches its own swaybg (its parent is then init) but
// leaves it in sway's process group and session, while the programs of sway's
// "exec" and of terminals get a session of their own.
std::vector<qint64> ForeignSwaybgs(qint64 except)
{
    std::vector<ProcessIds> sways;
    for (const RunningProcess& p : FindProcesses(QStringLiteral("sway"))) {
        ProcessIds ids = IdsOf(p.pid);
        ids.parent = p.pid; // sway itself, as the parent of what it runs
        sways.push_back(ids);
    }
    std::vector<qint64> pids;
    for (const RunningProcess& p : FindProcesses(QStringLiteral("swaybg"))) {
        if (p.pid == except)
            continue;
        const ProcessIds ids = IdsOf(p.pid);
        const bool swaysOwn = std::any_of(sways.begin(), sways.end(), [&](const ProcessIds& sway) {
            return ids.parent == sway.parent || (ids.group == sway.group && ids.session == sway.session);
        });
        if (!swaysOwn)
            pids.push_back(p.pid);
    }
    return pids;
}

} // namespace

QString WaylandCompositorUnreachable()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("wayland-0");
    const QString socket = display.startsWith(QLatin1Char('/'))
                               ? display
                               : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + display;
    if (SocketConnects(socket))
        return {};
    if (!qEnvironmentVariable("SWAYSOCK").isEmpty()
        && RunTool(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_version")}, 3000).Ok())
        return {};
    return QStringLiteral("no Wayland compositor can be reached (nothing answers at %1%2)")
        .arg(socket, qEnvironmentVariable("SWAYSOCK").isEmpty() ? QString() : QStringLiteral(" or at SWAYSOCK"));
}

MethodOutcome SetSwayWallpaper(const WallpaperRequest& given)
{
    if (qEnvironmentVariable("SWAYSOCK").isEmpty())
        return MethodOutcome::Failure(QStringLiteral("not running under sway (SWAYSOCK is not set)"));
    // A background sway would start now would stay hidden under one running
    // already; swaybg replaces that one instead.
    if (!ForeignSwaybgs(0).empty())
        return MethodOutcome::Failure(QStringLiteral("a swaybg sway did not start covers sway's own background"));
    // swaymsg joins its arguments into one sway command, so the path is quoted
    // the way sway's command parser expects.
    const auto outputs = OutputFiles(given);
    for (const auto& [output, file] : outputs) {
        if (file.contains(QLatin1Char('"')) || output.contains(QLatin1Char('"')))
            return MethodOutcome::Failure(QStringLiteral("sway cannot be given a path that contains a double quote"));
    }
    for (const auto& [output, file] : outputs) {
        const ToolRun run = RunTool(QStringLiteral("swaymsg"),
                                    {QStringLiteral("output"), output == u"*" ? output : QLatin1Char('"') + output + QLatin1Char('"'),
                                     QStringLiteral("bg"), QLatin1Char('"') + file + QLatin1Char('"'), QStringLiteral("fill")});
        if (!run.Ok())
            return MethodOutcome::Failure(run.Problem());
    }
    return MethodOutcome::Worked();
}

MethodOutcome SetHyprpaperWallpaper(const WallpaperRequest& given)
{
    if (!ProcessRunning(QStringLiteral("hyprpaper")))
        return MethodOutcome::Failure(QStringLiteral("hyprpaper is not running"));
    // hyprpaper loads a picture once ("preload"), then shows it on every
    // monitor (an empty monitor name before the comma); paths must be absolute.
    auto hyprctl = [](const QStringList& args) {
        const ToolRun run = RunTool(QStringLiteral("hyprctl"), QStringList {QStringLiteral("hyprpaper")} + args);
        const QByteArray answer = run.out.trimmed();
        return run.Ok() && (answer.isEmpty() || answer == "ok") ? QString()
                                                                : run.Ok() ? QString::fromUtf8(answer) : run.Problem();
    };
    for (const auto& [output, file] : OutputFiles(given)) {
        if (const QString problem = hyprctl({QStringLiteral("preload"), file}); !problem.isEmpty())
            return MethodOutcome::Failure(QStringLiteral("hyprpaper did not load the picture (%1)").arg(problem));
        const QString monitor = output == u"*" ? QString() : output;
        if (const QString problem = hyprctl({QStringLiteral("wallpaper"), monitor + QLatin1Char(',') + file});
            !problem.isEmpty())
            return MethodOutcome::Failure(QStringLiteral("hyprpaper did not show the picture (%1)").arg(problem));
    }
    hyprctl({QStringLiteral("unload"), QStringLiteral("unused")});
    return MethodOutcome::Worked();
}

MethodOutcome SetSwaybgWallpaper(const WallpaperRequest& given)
{
    const QString program = FindTool(QStringLiteral("swaybg"));
    if (program.isEmpty())
        return MethodOutcome::Failure(QStringLiteral("swaybg is not installed"));

    // One swaybg for all outputs: "-o NAME" starts the options of that output.
    QStringList args;
    for (const auto& [output, file] : OutputFiles(given)) {
        if (output != u"*")
            args << QStringLiteral("-o") << output;
        args << QStringLiteral("-i") << file << QStringLiteral("-m") << QStringLiteral("fill");
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(program, args, QString(), &pid) || pid <= 0)
        return MethodOutcome::Failure(QStringLiteral("swaybg could not be started"));

    // swaybg leaves at once when it cannot reach the compositor or is offered no
    // background layer; a moment's patience tells a working one from that.
    for (int i = 0; i < 10; ++i) {
        QThread::msleep(50);
        if (::kill(pid_t(pid), 0) != 0)
            return MethodOutcome::Failure(
                QStringLiteral("swaybg ended at once (the compositor is unreachable or offers no background layer)"));
    }

    // The backgrounds that ran before go only now, so the screen never goes
    // bare: ours of the previous change, and one the user started, which would
    // stay above ours.
    for (const qint64 old : ForeignSwaybgs(pid))
        ::kill(pid_t(old), SIGTERM);
    return MethodOutcome::Worked();
}

} // namespace platform
