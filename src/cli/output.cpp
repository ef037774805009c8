#include "cli/output.h"

#include "platform/registry.h"

namespace cli {

void PrintLine(std::FILE* out, const QString& line)
{
    std::fprintf(out, "%s\n", line.toUtf8().constData());
}

void Say(const QString& line)
{
    PrintLine(stdout, line);
}

void PrintError(const QString& message)
{
    PrintLine(stderr, QStringLiteral("ambience-cli: ") + message);
}

QString CannotSaveSettings(const QString& why)
{
    return QStringLiteral("cannot save the settings in %1: %2").arg(platform::Registry::CurrentUser().FilePath(), why);
}

} // namespace cli
