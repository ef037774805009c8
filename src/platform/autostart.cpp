#include "platform/autostart.h"

#include "platform/atomic_file.h"
#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform {

QString AutostartFilePath() { return ConfigHome() + QStringLiteral("autostart/ambience.desktop"); }

QString DesktopProgramPath() { return GetSpecialFolder(ProgramFolderCode) + QStringLiteral("ambience"); }

QString QuoteExecArgument(const QString& argument)
{
    // First the Exec quoting rules...
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%'); // "%%" is a literal percent sign, not a field code
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // ...then the escapes of every string value, which a reader undoes first.
    QString escaped;
    for (QChar c : quoted) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QByteArray AutostartEntry(const QString& programPath, const QString& name)
{
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + QString(name).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char('\n');
    text += QStringLiteral("Comment=Changes the desktop picture from time to time\n");
    text += QStringLiteral("Exec=") + QuoteExecArgument(programPath) + QStringLiteral(" /startup\n");
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("NoDisplay=true\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool SetAutostart(bool enabled, const QString& programPath, const QString& name, QString* error)
{
    const QString path = AutostartFilePath();
    if (!enabled) {
        if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
            return true;
        if (error)
            *error = QStringLiteral("cannot remove %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QByteArray entry = AutostartEntry(programPath, name);
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == entry)
        return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    const core::Result<void> written = ReplaceFileContents(path, entry, 0644);
    if (!written.ok() && error)
        *error = QString::fromStdString(written.error().text);
    return written.ok();
}

} // namespace platform
