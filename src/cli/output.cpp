#include "cli/output.h"

#include <QSet>

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
    // Several steps of one run may meet the same problem (two scans of one
    // unreadable folder): the user is told once.
    static QSet<QString> said;
    if (said.contains(message))
        return;
    said.insert(message);
    PrintLine(stderr, QStringLiteral("ambience-cli: ") + message);
}

QString CannotSaveSettings(const QString& problem)
{
    return QStringLiteral("cannot save the settings (%1)").arg(problem);
}

} // namespace cli
