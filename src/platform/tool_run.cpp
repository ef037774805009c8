#include "platform/tool_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString ToolRun::Problem() const
{
    if (!found)
        return QStringLiteral("%1 is not installed").arg(program);
    if (!started)
        return QStringLiteral("%1 could not be started").arg(program);
    if (timedOut)
        return QStringLiteral("%1 did not finish in time").arg(program);
    if (crashed)
        return QStringLiteral("%1 crashed").arg(program);
    if (exitCode != 0) {
        QString text = QString::fromLocal8Bit(err).trimmed();
        if (text.isEmpty())
            text = QString::fromLocal8Bit(out).trimmed();
        text = text.section(QLatin1Char('\n'), 0, 0).left(200);
        if (text.isEmpty())
            return QStringLiteral("%1 failed with exit code %2").arg(program).arg(exitCode);
        return QStringLiteral("%1 failed: %2").arg(program, text);
    }
    return {};
}

QString FindTool(const QString& name)
{
    if (name.startsWith(QLatin1Char('/'))) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? name : QString();
    }
    return QStandardPaths::findExecutable(name);
}

ToolRun RunTool(const QString& program, const QStringList& args, int timeoutMs)
{
    ToolRun run;
    run.program = program;
    const QString path = FindTool(program);
    if (path.isEmpty())
        return run;
    run.found = true;

    QProcess process;
    process.setProgram(path);
    process.setArguments(args);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(timeoutMs))
        return run;
    run.started = true;
    if (!process.waitForFinished(timeoutMs)) {
        run.timedOut = true;
        process.kill();
        process.waitForFinished(2000);
    } else {
        run.crashed = process.exitStatus() != QProcess::NormalExit;
        run.exitCode = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

std::vector<RunningProcess> FindProcesses(const QString& name, const QString& requiredArgument)
{
    std::vector<RunningProcess> found;
    const uid_t uid = ::getuid();
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        if (pid.isEmpty() || !pid.front().isDigit())
            continue;
        struct stat st {};
        const QByteArray dir = QFile::encodeName(QStringLiteral("/proc/") + pid);
        if (::stat(dir.constData(), &st) != 0 || st.st_uid != uid)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        QList<QByteArray> raw = cmdline.readAll().split('\0');
        if (!raw.isEmpty() && raw.back().isEmpty())
            raw.removeLast();
        QStringList args;
        for (const QByteArray& arg : raw)
            args << QFile::decodeName(arg);
        auto named = [&](int i) { return i < args.size() && args[i].section(QLatin1Char('/'), -1) == name; };
        if (!named(0) && !named(1))
            continue;
        if (!requiredArgument.isEmpty() && !args.contains(requiredArgument))
            continue;
        found.push_back({pid.toLongLong(), args});
    }
    return found;
}

namespace {

// ":0", ":0.0" and "unix:0" are one display: host and number, without the screen.
QString DisplayName(QString display)
{
    if (display.startsWith(QLatin1String("unix:")))
        display = display.mid(4);
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return display;
    const qsizetype dot = display.indexOf(QLatin1Char('.'), colon);
    return dot < 0 ? display : display.left(dot);
}

QString DisplayOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& entry : file.readAll().split('\0')) {
        if (entry.startsWith("DISPLAY="))
            return QString::fromLocal8Bit(entry.mid(8));
    }
    return {};
}

} // namespace

std::vector<RunningProcess> FindProcessesOnDisplay(const QString& name, const QString& requiredArgument)
{
    std::vector<RunningProcess> found = FindProcesses(name, requiredArgument);
    const QString ours = DisplayName(qEnvironmentVariable("DISPLAY"));
    std::erase_if(found, [&](const RunningProcess& p) { return DisplayName(DisplayOf(p.pid)) != ours; });
    return found;
}

bool ProcessRunning(const QString& name, const QString& requiredArgument)
{
    return !FindProcesses(name, requiredArgument).empty();
}

bool HasSessionBus()
{
    if (!qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").isEmpty())
        return true;
    // Session managers under systemd leave the address out and let clients find
    // the bus at its well-known place in the runtime folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return false;
    struct stat st {};
    const QByteArray bus = QFile::encodeName(runtime + QStringLiteral("/bus"));
    return ::stat(bus.constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

} // namespace platform
