#include "support/peak_memory.h"

#include <QFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace testsupport {

long PeakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

MeasuredRun RunMeasured(const QString& program, const QStringList& args)
{
    MeasuredRun run;
    QTemporaryFile err;
    if (!err.open())
        return run;
    // Everything the child needs is made before fork: between fork and exec only
    // async-signal-safe calls are allowed in a threaded process.
    std::vector<std::string> strings {program.toStdString()};
    for (const QString& arg : args)
        strings.push_back(arg.toStdString());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int errFd = err.handle();

    const pid_t pid = ::fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMb = usage.ru_maxrss / 1024; // ru_maxrss is in kilobytes on Linux
    err.seek(0);
    run.err = QString::fromUtf8(err.readAll());
    return run;
}

} // namespace testsupport
