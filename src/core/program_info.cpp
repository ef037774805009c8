#include "core/program_info.h"

#include "core/product.h"

namespace core {

QString VersionLine()
{
    const TProduct product{QString()};
    return product.ProductName + QLatin1Char(' ') + product.ProductVersion;
}

const std::vector<ProgramArgument>& WindowProgramArguments()
{
    static const std::vector<ProgramArgument> arguments = {
        {"/startup", "Starts with the window hidden: the program waits in the notification area, as it does when "
                     "it starts with the session."},
        {"/install", "Composes a first exposition, in relaxing colours, as soon as the window first shows, as after "
                     "installation."},
        {"--version", "Prints the version and exits."},
        {"--help", "Prints this summary and exits."},
    };
    return arguments;
}

QString WindowProgramHelp()
{
    QString text = QStringLiteral("Usage: ambience [/startup | /install]\n"
                                  "       ambience --version | --help\n\n"
                                  "The desktop program: composes expositions of works of art and sets them as "
                                  "wallpaper,\non request or by itself every few hours, from the notification "
                                  "area.\n\n");
    for (const ProgramArgument& a : WindowProgramArguments())
        text += QStringLiteral("  %1\n      %2\n").arg(QLatin1String(a.argument), QLatin1String(a.meaning));
    text += QStringLiteral("\nOnly the first argument counts; any other is ignored. ambience-cli does the same "
                           "work without a window.\n");
    return text;
}

std::optional<QString> InformationText(const char* firstArgument)
{
    const QLatin1String argument(firstArgument);
    if (argument == QLatin1String("--version"))
        return VersionLine() + QLatin1Char('\n');
    if (argument == QLatin1String("--help"))
        return WindowProgramHelp();
    return std::nullopt;
}

QString NoDisplayMessage()
{
    return QStringLiteral("ambience: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY names "
                          "one that answers); to work without a display, use ambience-cli (see \"ambience-cli "
                          "help\").");
}

} // namespace core
