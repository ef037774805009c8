#include "platform/priority.h"

#include <QDir>
#include <QStringList>

#include <sys/resource.h>

namespace platform {

void SetIdlePriority()
{
    // On Linux the nice value belongs to each thread, not to the process: every
    // thread that already runs is lowered, and threads started later inherit the
    // value of the thread that starts them.
    ::setpriority(PRIO_PROCESS, 0, 19);
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
        bool ok = false;
        const int tid = task.toInt(&ok);
        if (ok && tid > 0)
            ::setpriority(PRIO_PROCESS, id_t(tid), 19);
    }
}

} // namespace platform
