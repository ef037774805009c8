// "pack make" and "pack fetch" are carried out by ambience-cli-packs, the same
// commands built with the pack maker and the museum clients. Those bring libzip,
// exiv2 and the network library, which every start would otherwise load and
// relocate: a good part of the time an export takes as a process. The helper
// takes this process's place, so its output, exit code and terminal are this
// command's own.
#include "cli/exit_code.h"
#include "cli/output.h"
#include "cli/pack_fetch_command.h"
#include "cli/pack_make_command.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace cli {
namespace {

// Beside this program's own file, wherever it was started from.
QString PackToolPath()
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return self.isEmpty() ? QString() : QFileInfo(self).absolutePath() + QStringLiteral("/ambience-cli-packs");
}

int RunPackTool(const char* command, const QStringList& args)
{
    const QString tool = PackToolPath();
    std::vector<QByteArray> words{QFile::encodeName(tool), "pack", command};
    for (const QString& arg : args)
        words.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    if (!tool.isEmpty())
        ::execv(argv[0], argv.data());
    // Installed together with ambience-cli: without it the installation is incomplete.
    PrintError(QStringLiteral("\"pack %1\" cannot be carried out: %2, which comes with ambience-cli for it, "
                              "cannot be started (%3)")
                   .arg(QLatin1String(command), tool.isEmpty() ? QStringLiteral("ambience-cli-packs") : tool,
                        QString::fromLocal8Bit(std::strerror(tool.isEmpty() ? ENOENT : errno))));
    return ExitFailed;
}

} // namespace

int RunPackMake(const QStringList& args)
{
    return RunPackTool("make", args);
}

int RunPackFetch(const QStringList& args)
{
    return RunPackTool("fetch", args);
}

} // namespace cli
