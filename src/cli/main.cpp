// ambience-cli: compose, export and set expositions, browse, check, install and
// remove packs, and change settings, without the window.
#include "cli/command.h"
#include "core/program_info.h"
#include "platform/display_probe.h"
#include "platform/leftovers.h"
#include "platform/wallpaper.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace cli {
std::vector<Command>& Commands()
{
    static std::vector<Command> commands;
    return commands;
}
} // namespace cli

namespace {

void PrintHelp(std::FILE* out)
{
    std::fprintf(out, "Usage: ambience-cli COMMAND [ARGUMENTS]\n\nCommands:\n");
    auto commands = cli::Commands();
    std::sort(commands.begin(), commands.end(),
              [](const cli::Command& a, const cli::Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const auto& c : commands)
        if (cli::Listed(c))
            std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out, "\n  help\n      Shows this text.\n  --version\n      Shows the version.\n");
}

// Qt's note that XDG_RUNTIME_DIR is unset says nothing about our work: a headless
// session often has none. Everything else goes through as usual.
QtMessageHandler previousHandler = nullptr;
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

// Commands that compose for the screen and were given no size or monitors of their own.
bool NeedsScreen(int argc, char** argv)
{
    if (argc < 2)
        return false;
    static const char* const composing[] = {"refresh", "random", "next", "back"};
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
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", core::VersionLine().toUtf8().constData());
        return 0;
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
    if (args.isEmpty() || args.first() == QLatin1String("help") || args.first() == QLatin1String("--help")
        || args.first() == QLatin1String("-h")) {
        PrintHelp(stdout);
        return 0;
    }
    const QString name = args.takeFirst();
    for (const auto& c : cli::Commands()) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    std::fprintf(stderr, "ambience-cli: unknown command \"%s\"\n\n", name.toLocal8Bit().constData());
    PrintHelp(stderr);
    return 2;
}
