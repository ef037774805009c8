#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

namespace platform {
namespace {

QString WithSlash(QString path)
{
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString ProgramFolder()
{
    const QString forced = qEnvironmentVariable("AMBIENCE_PROGRAM_DIR");
    if (!forced.isEmpty())
        return WithSlash(QDir(forced).absolutePath());
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    const QString target = exe.symLinkTarget();
    if (target.isEmpty())
        return {};
    return WithSlash(QFileInfo(target).absolutePath());
}

QString DataHome()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return {};
        base = home + QStringLiteral("/.local/share");
    }
    return WithSlash(base);
}

} // namespace

QString GetSpecialFolder(int code)
{
    if (code == CSIDL_APPDATA) {
        const QString base = DataHome();
        if (base.isEmpty())
            return ProgramFolder();
        return base + QStringLiteral("Ambience/Ambience/");
    }
    if (code == ProgramFolderCode)
        return ProgramFolder();
    if (code == UserPacksFolderCode) {
        const QString base = DataHome();
        return base.isEmpty() ? QString() : base + QStringLiteral("Ambience/Packs/");
    }
    return {};
}

QString ConfigHome()
{
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!base.isEmpty() && QDir::isAbsolutePath(base))
        return WithSlash(base);
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        home = QDir::homePath();
    return WithSlash(home) + QStringLiteral(".config/");
}

} // namespace platform
