// ambience-cli: compose, export and set expositions, browse, check, install and
// remove packs, and change settings, without the window.
#include "core/program_info.h"
#include "cli/command.h"
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

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", core::VersionLine().toUtf8().constData());
        return 0;
    }
    // Headless use needs no display: fonts and painting work offscreen, as they do
    // for the commands that serve the build and the shell ("__manual", "__complete").
    const bool hidden = argc > 1 && argv[1][0] == '_';
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && (hidden || !platform::DisplayReachable()))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(FilterMessages);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("ambience-cli"));
    platform::DesktopWallpaperSetter wallpaper;
    platform::InstallWallpaperSetter(&wallpaper);
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
