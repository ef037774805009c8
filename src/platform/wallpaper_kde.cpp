// KDE Plasma 5 and 6: the shell runs a small script over every desktop containment
// through its D-Bus scripting interface; qdbus is the client both versions ship.
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QStringList>
#include <QUrl>

namespace platform {

QString JsString(const QString& s)
{
    QString out = QStringLiteral("'");
    for (const QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\''))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out + QLatin1Char('\'');
}

namespace {

// qdbus of the running Plasma's Qt first; distributions name it differently.
QStringList QdbusCandidates()
{
    const QString version = qEnvironmentVariable("KDE_SESSION_VERSION");
    QStringList names;
    if (version == u"5")
        names = {QStringLiteral("qdbus"), QStringLiteral("qdbus-qt5"), QStringLiteral("qdbus6"),
                 QStringLiteral("qdbus-qt6")};
    else
        names = {QStringLiteral("qdbus6"), QStringLiteral("qdbus-qt6"), QStringLiteral("qdbus"),
                 QStringLiteral("qdbus-qt5")};
    names << QStringLiteral("/usr/lib/qt6/bin/qdbus") << QStringLiteral("/usr/lib/x86_64-linux-gnu/qt6/bin/qdbus")
          << QStringLiteral("/usr/lib/x86_64-linux-gnu/qt5/bin/qdbus");
    return names;
}

} // namespace

MethodOutcome SetKdeWallpaper(const QString& file)
{
    if (!HasSessionBus())
        return MethodOutcome::Failure(
            QStringLiteral("no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS is not set), so Plasma cannot be reached"));

    const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    // FillMode 2 is "scaled and cropped": 1:1 for a screen-sized picture.
    const QString script = QStringLiteral(
        "var ds = desktops();\n"
        "for (var i = 0; i < ds.length; ++i) {\n"
        "  var d = ds[i];\n"
        "  d.wallpaperPlugin = 'org.kde.image';\n"
        "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
        "  d.writeConfig('Image', %1);\n"
        "  d.writeConfig('FillMode', 2);\n"
        "}\n").arg(JsString(uri));

    QString problem;
    for (const QString& name : QdbusCandidates()) {
        if (FindTool(name).isEmpty())
            continue;
        const ToolRun run = RunTool(name, {QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                                           QStringLiteral("org.kde.PlasmaShell.evaluateScript"), script});
        // The shell answers script errors with a D-Bus error, which qdbus turns
        // into a failing exit code; some versions print "Error" instead.
        if (run.Ok() && !QString::fromUtf8(run.out).trimmed().startsWith(QLatin1String("Error")))
            return MethodOutcome::Worked();
        problem = run.Ok() ? QStringLiteral("Plasma refused the wallpaper script: %1")
                                 .arg(QString::fromUtf8(run.out).trimmed().left(200))
                           : run.Problem();
        break; // the bus answered through this client; another client would not fare better
    }

    // Plasma 5.24 and later ship a tool of their own for the same job.
    const ToolRun apply = RunTool(QStringLiteral("plasma-apply-wallpaperimage"), {file});
    if (apply.Ok())
        return MethodOutcome::Worked();
    if (problem.isEmpty())
        problem = apply.found ? apply.Problem() : QStringLiteral("neither qdbus nor plasma-apply-wallpaperimage is installed");
    return MethodOutcome::Failure(problem);
}

} // namespace platform
