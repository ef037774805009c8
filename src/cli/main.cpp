// ambience-cli: compose, export and set expositions, browse, check, install and
// remove packs, and change settings, without the window.
#include "cli/command.h"
#include "cli/exit_code.h"
#include "cli/output.h"
#include "cli/suggestion.h"
#include "core/program_info.h"
#include "platform/display_probe.h"
#include "platform/leftovers.h"
#include "platform/wallpaper.h"

#include <QGuiApplication>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <malloc.h>
#include <unistd.h>

namespace cli {
std::vector<Command>& Commands()
{
    static std::vector<Command> commands;
    return commands;
}
} // namespace cli

namespace {

std::vector<cli::Command> ListedCommands()
{
    std::vector<cli::Command> commands;
    for (const cli::Command& c : cli::Commands())
        if (cli::Listed(c))
            commands.push_back(c);
    std::sort(commands.begin(), commands.end(),
              [](const cli::Command& a, const cli::Command& b) { return std::strcmp(a.name, b.name) < 0; });
    return commands;
}

const cli::Command* FindCommand(const QString& name)
{
    for (const cli::Command& c : cli::Commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

void PrintHelp(std::FILE* out)
{
    std::fprintf(out, "Usage: ambience-cli COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const auto& c : ListedCommands())
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out, "\n  help [COMMAND]\n      Shows this text, or the help of one command.\n"
                      "  --version\n      Shows the version.\n");
}

void PrintCommandHelp(const cli::Command& c)
{
    std::printf("Usage: ambience-cli %s %s\n\n%s\n", c.name, c.usage, c.summary);
}

// An unknown command: what it may have been meant to be, and where the list is.
int UnknownCommand(const QString& name)
{
    QStringList names{QStringLiteral("help")};
    for (const auto& c : ListedCommands())
        names << QLatin1String(c.name);
    const QString nearest = cli::NearestName(name, names);
    QString text = QStringLiteral("unknown command '%1'").arg(name);
    if (!nearest.isEmpty())
        text += QStringLiteral("; did you mean '%1'?").arg(nearest);
    cli::PrintError(text);
    cli::PrintLine(stderr, QStringLiteral("Run 'ambience-cli help' for the list of commands."));
    return cli::ExitUsage;
}

// "help" alone: every command; "help COMMAND": that one.
int RunHelp(const QStringList& args)
{
    if (args.isEmpty()) {
        PrintHelp(stdout);
        return cli::ExitDone;
    }
    if (args.size() > 1) {
        cli::PrintError(QStringLiteral("usage: ambience-cli help [COMMAND]"));
        return cli::ExitUsage;
    }
    const QString& name = args.first();
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        std::printf("Usage: ambience-cli help [COMMAND]\n\nLists the commands, or shows the help of one.\n");
        return cli::ExitDone;
    }
    const cli::Command* command = FindCommand(name);
    if (!command || !cli::Listed(*command))
        return UnknownCommand(name);
    PrintCommandHelp(*command);
    return cli::ExitDone;
}

// Qt's note that XDG_RUNTIME_DIR is unset says nothing about our work: a headless
// session often has none. Everything else goes through as usual.
// A warning met again in the same run (a dozen settings read from one unreadable
// file, a font looked up for every caption) is said once.
QtMessageHandler previousHandler = nullptr;
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    static QSet<QString> said;
    if (type != QtFatalMsg) {
        static QMutex guard;
        const QMutexLocker lock(&guard);
        if (said.contains(message))
            return;
        said.insert(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

// Commands that compose for the screen and were given no size or monitors of their own.
bool NeedsScreen(int argc, char** argv)
{
    if (argc < 2)
        return false;
    static const char* const composing[] = {"refresh", "random", "next", "back", "show-again"};
    if (std::none_of(std::begin(composing), std::end(composing),
                     [&](const char* name) { return std::strcmp(argv[1], name) == 0; }))
        return false;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--size") == 0 || std::strncmp(argv[i], "--size=", 7) == 0
            || std::strcmp(argv[i], "--monitors") == 0 || std::strncmp(argv[i], "--monitors=", 11) == 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // A run is short: memory freed on the way is kept for the next allocation
    // rather than handed back to the kernel, whose fresh pages each cost a fault
    // when touched again.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", core::VersionLine().toUtf8().constData());
        return cli::ExitDone;
    }
    // Fonts and painting work offscreen; only composing for the screen's own size
    // needs the display, and then only one that can really be reached: a stale
    // DISPLAY, or a platform named in QT_QPA_PLATFORM that cannot start, would
    // make Qt abort.
    const bool platformWasSet = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const QByteArray requestedPlatform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform::ChooseQtPlatform(requestedPlatform, NeedsScreen(argc, argv)));
    previousHandler = qInstallMessageHandler(FilterMessages);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("ambience-cli"));
    // The desktop's own tools that we start (some of them Qt programs) see the
    // environment as the user set it.
    if (platformWasSet)
        qputenv("QT_QPA_PLATFORM", requestedPlatform);
    else
        qunsetenv("QT_QPA_PLATFORM");
    platform::RemoveStaleTemporaryFilesAtStart();

    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        PrintHelp(stdout);
        return cli::ExitDone;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h"))
        return RunHelp(args);
    const cli::Command* command = FindCommand(name);
    if (!command)
        return UnknownCommand(name);
    // "COMMAND --help" asks for that command's help, not for its work.
    if (cli::Listed(*command) && args.size() == 1
        && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        PrintCommandHelp(*command);
        return cli::ExitDone;
    }
    const int code = command->run(args);
#if !defined(__SANITIZE_ADDRESS__)
    // Whatever the command keeps it has written, synced and closed before
    // returning; what is left is memory, which goes back with the process. Taking
    // down the font database and the globals of fifty libraries one by one would
    // add milliseconds to every run. A build checking for leaks leaves as usual.
    std::fflush(nullptr);
    _exit(code);
#else
    return code;
#endif
}
