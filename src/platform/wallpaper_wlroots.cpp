// Wayland compositors built on wlroots draw no wallpaper of their own; a
// background client does (swww's daemon, hyprpaper under Hyprland, or swaybg,
// which sway starts itself and users start from their configuration).
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdlib>
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
        return MethodOutcome::Failure(QStringLiteral("the swww daemon is not running: %1").arg(query.Problem()));
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

// The sway of this session: the one whose IPC socket SWAYSOCK names
// ("sway-ipc.UID.PID.sock"), else every sway of this user.
std::vector<qint64> SwayProcesses()
{
    static const QRegularExpression socketName(QStringLiteral(R"(sway-ipc\.\d+\.(\d+)\.sock$)"));
    const QRegularExpressionMatch match = socketName.match(qEnvironmentVariable("SWAYSOCK"));
    if (match.hasMatch() && QFile::exists(QStringLiteral("/proc/%1/stat").arg(match.captured(1))))
        return {match.captured(1).toLongLong()};
    std::vector<qint64> pids;
    for (const RunningProcess& p : FindProcesses(QStringLiteral("sway")))
        pids.push_back(p.pid);
    return pids;
}

// The Wayland socket a process was started to use: WAYLAND_DISPLAY (default
// "wayland-0") under XDG_RUNTIME_DIR unless it is a path.
QString WaylandSocketOf(const QString& display, const QString& runtimeDir)
{
    const QString name = display.isEmpty() ? QStringLiteral("wayland-0") : display;
    return name.startsWith(QLatin1Char('/')) ? name : runtimeDir + QLatin1Char('/') + name;
}

struct StartedWith {
    bool handedSocket = false; // WAYLAND_SOCKET: the compositor started it on a socket of its own
    QString socket;            // else the socket it connected to
};

// From the environment the process was started with. sway starts its own
// swaybg with the connection in WAYLAND_SOCKET, which a program started any
// other way (sway's "exec", a terminal, the shell that started sway) never has.
StartedWith StartedWithOf(qint64 pid)
{
    QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
    StartedWith started;
    if (!environ.open(QIODevice::ReadOnly))
        return started;
    QString display, runtime;
    for (const QByteArray& entry : environ.readAll().split('\0')) {
        if (entry.startsWith("WAYLAND_SOCKET="))
            started.handedSocket = true;
        else if (entry.startsWith("WAYLAND_DISPLAY="))
            display = QFile::decodeName(entry.mid(16));
        else if (entry.startsWith("XDG_RUNTIME_DIR="))
            runtime = QFile::decodeName(entry.mid(16));
    }
    started.socket = WaylandSocketOf(display, runtime);
    return started;
}

// swaybg processes on this compositor that sway did not start: the user's own,
// and ours of an earlier change. A background started after them stays below
// them. sway's own is its child, or, where sway detaches it (its parent is then
// init), a process of sway's session that sway handed its socket. The process
// group tells nothing: a swaybg started beside sway from the same shell shares
// it. A swaybg of another compositor (another seat, a nested one) is left alone.
std::vector<qint64> ForeignSwaybgs(qint64 except)
{
    std::vector<ProcessIds> sways;
    for (const qint64 pid : SwayProcesses()) {
        ProcessIds ids = IdsOf(pid);
        ids.parent = pid; // sway itself, as the parent of what it runs
        sways.push_back(ids);
    }
    const QString ours = WaylandSocketOf(qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
    std::vector<qint64> pids;
    for (const RunningProcess& p : FindProcesses(QStringLiteral("swaybg"))) {
        if (p.pid == except)
            continue;
        const ProcessIds ids = IdsOf(p.pid);
        const StartedWith started = StartedWithOf(p.pid);
        const bool swaysOwn = std::any_of(sways.begin(), sways.end(), [&](const ProcessIds& sway) {
            return ids.parent == sway.parent || (ids.session == sway.session && started.handedSocket);
        });
        if (!swaysOwn && !started.handedSocket && started.socket == ours)
            pids.push_back(p.pid);
    }
    return pids;
}

// The outputs sway shows, by name.
QStringList SwayOutputs()
{
    const ToolRun run = RunTool(QStringLiteral("swaymsg"), {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_outputs")});
    QStringList names;
    for (const QJsonValue& output : QJsonDocument::fromJson(run.out).array()) {
        if (output[QLatin1String("active")].toBool(true))
            names << output[QLatin1String("name")].toString();
    }
    return names;
}

// Whether each output shows its picture, as grim sees it; empty when so. The
// background client draws a moment after sway started it, so the screen is
// looked at a few times before it counts as not showing the picture.
QString ScreenProblem(const std::vector<std::pair<QString, QString>>& outputFiles)
{
    std::vector<std::pair<QString, QImage>> expected;
    const QStringList names = outputFiles.size() == 1 && outputFiles.front().first == u"*" ? SwayOutputs() : QStringList();
    for (const auto& [output, file] : outputFiles) {
        if (output == u"*") {
            for (const QString& name : names)
                expected.emplace_back(name, QImage(file));
        } else {
            expected.emplace_back(output, QImage(file));
        }
    }
    QTemporaryDir folder;
    if (!folder.isValid())
        return {};
    for (const auto& [output, picture] : expected) {
        const QString shot = folder.filePath(QStringLiteral("shot.png"));
        bool shows = false;
        for (int attempt = 0; attempt < 30 && !shows; ++attempt) {
            if (attempt > 0)
                QThread::msleep(100);
            const ToolRun grim = RunTool(QStringLiteral("grim"), {QStringLiteral("-o"), output, shot});
            if (!grim.Ok())
                return {}; // a screen grim cannot read tells nothing
            shows = ScreenShowsPicture(QImage(shot), picture) >= 0.5;
        }
        if (!shows)
            return QStringLiteral("sway took the picture, but output %1 does not show it; a background client "
                                  "sway did not start may cover it")
                .arg(output);
    }
    return {};
}

} // namespace

double ScreenShowsPicture(const QImage& screen, const QImage& picture)
{
    if (screen.isNull() || picture.isNull())
        return 0;
    // The picture laid as "fill" lays it: scaled to cover the output, centred.
    const QSize cells(32, 32);
    const QImage laid = picture.scaled(screen.size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QImage cropped = laid.copy((laid.width() - screen.width()) / 2, (laid.height() - screen.height()) / 2,
                                     screen.width(), screen.height());
    const QImage a = screen.convertToFormat(QImage::Format_RGB32).scaled(cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = cropped.convertToFormat(QImage::Format_RGB32).scaled(cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int same = 0;
    for (int y = 0; y < cells.height(); ++y) {
        for (int x = 0; x < cells.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) <= 24 && std::abs(qGreen(p) - qGreen(q)) <= 24
                && std::abs(qBlue(p) - qBlue(q)) <= 24)
                ++same;
        }
    }
    return double(same) / (cells.width() * cells.height());
}

QString WaylandCompositorUnreachable()
{
    const QString socket = WaylandSocketOf(qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (SocketConnects(socket))
        return {};
    if (!qEnvironmentVariable("SWAYSOCK").isEmpty()
        && RunTool(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_version")}, 3000).Ok())
        return {};
    return QStringLiteral("no Wayland compositor can be reached: nothing answers at %1%2")
        .arg(socket, qEnvironmentVariable("SWAYSOCK").isEmpty() ? QString() : QStringLiteral(" or at SWAYSOCK"));
}

MethodOutcome SetSwayWallpaper(const WallpaperRequest& given)
{
    if (qEnvironmentVariable("SWAYSOCK").isEmpty())
        return MethodOutcome::Failure(QStringLiteral("not running under sway, as SWAYSOCK is not set"));
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
    // sway answers "success" whether or not its background is seen: the screen
    // tells, where grim can read it.
    if (!FindTool(QStringLiteral("grim")).isEmpty()) {
        if (const QString problem = ScreenProblem(outputs); !problem.isEmpty())
            return MethodOutcome::Failure(problem);
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
            return MethodOutcome::Failure(QStringLiteral("hyprpaper did not load the picture: %1").arg(problem));
        const QString monitor = output == u"*" ? QString() : output;
        if (const QString problem = hyprctl({QStringLiteral("wallpaper"), monitor + QLatin1Char(',') + file});
            !problem.isEmpty())
            return MethodOutcome::Failure(QStringLiteral("hyprpaper did not show the picture: %1").arg(problem));
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
                QStringLiteral("swaybg ended at once: the compositor is unreachable or offers no background layer"));
    }

    // The backgrounds that ran before go only now, so the screen never goes
    // bare: ours of the previous change, and one the user started, which would
    // stay above ours.
    for (const qint64 old : ForeignSwaybgs(pid))
        ::kill(pid_t(old), SIGTERM);
    return MethodOutcome::Worked();
}

} // namespace platform
