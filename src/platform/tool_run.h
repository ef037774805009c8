#pragma once
// Runs a desktop's command-line tool without a shell and with a time limit, so a
// hanging tool can never freeze the program.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

struct ToolRun {
    QString program;      // what was asked for
    bool found = false;   // the program exists on PATH (or as given)
    bool started = false;
    bool timedOut = false;
    bool crashed = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    bool Ok() const { return started && !timedOut && !crashed && exitCode == 0; }
    // One line for the user: why the run did not succeed.
    QString Problem() const;
};

// PATH lookup; empty when the program is not installed. An absolute path is
// returned as it is when it names an executable file.
QString FindTool(const QString& name);

ToolRun RunTool(const QString& program, const QStringList& args, int timeoutMs = 10000);

// The processes of this user that run the program name (the basename of their
// first argument, or of their second for scripts run by an interpreter), with
// requiredArgument among their arguments when that is given.
struct RunningProcess {
    qint64 pid = 0;
    QStringList args;
};
std::vector<RunningProcess> FindProcesses(const QString& name, const QString& requiredArgument = QString());

// FindProcesses, only those started on our X display (the DISPLAY in their
// environment names the same display as ours, or both have none): a desktop
// program drawing another session's screen, or a second X server of the same
// user, does not draw ours.
std::vector<RunningProcess> FindProcessesOnDisplay(const QString& name, const QString& requiredArgument = QString());

// True when a process of this user runs the program name (the basename of its
// first argument, or of its second for scripts run by an interpreter), with
// requiredArgument among its arguments when that is given.
bool ProcessRunning(const QString& name, const QString& requiredArgument = QString());

// True when a D-Bus session bus can be reached: tools that store desktop settings
// through it (gsettings, xfconf-query, qdbus) silently lose writes without one.
bool HasSessionBus();

} // namespace platform
