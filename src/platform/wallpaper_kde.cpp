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

QString Uri(const QString& file)
{
    return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
}

// The lock screen keeps its own wallpaper in kscreenlockerrc; Plasma 6 and 5
// name their configuration writer differently.
QString SetLockScreen(const QString& file)
{
    for (const char* tool : {"kwriteconfig6", "kwriteconfig5"}) {
        if (FindTool(QLatin1String(tool)).isEmpty())
            continue;
        auto write = [&](const QStringList& groups, const QString& key, const QString& value) {
            QStringList args {QStringLiteral("--file"), QStringLiteral("kscreenlockerrc")};
            for (const QString& group : groups)
                args << QStringLiteral("--group") << group;
            return RunTool(QLatin1String(tool), args << QStringLiteral("--key") << key << value);
        };
        const ToolRun plugin = write({QStringLiteral("Greeter")}, QStringLiteral("WallpaperPlugin"),
                                     QStringLiteral("org.kde.image"));
        if (!plugin.Ok())
            return plugin.Problem();
        const ToolRun image = write({QStringLiteral("Greeter"), QStringLiteral("Wallpaper"), QStringLiteral("org.kde.image"),
                                     QStringLiteral("General")},
                                    QStringLiteral("Image"), Uri(file));
        return image.Ok() ? QString() : image.Problem();
    }
    return QStringLiteral("neither kwriteconfig6 nor kwriteconfig5 is installed");
}

} // namespace

MethodOutcome SetKdeWallpaper(const WallpaperRequest& given)
{
    if (!HasSessionBus())
        return MethodOutcome::Failure(
            QStringLiteral("there is no D-Bus session bus, as DBUS_SESSION_BUS_ADDRESS is not set, so Plasma cannot be reached"));

    const QString& file = given.file;
    // Each containment belongs to a screen; it gets the exposition of the monitor
    // at that screen's place, or the primary's.
    QStringList monitors;
    for (const MonitorWallpaper& m : given.monitors)
        monitors << QStringLiteral("{x: %1, y: %2, uri: %3}").arg(m.geometry.x()).arg(m.geometry.y()).arg(JsString(Uri(m.file)));
    // FillMode 2 is "scaled and cropped": 1:1 for a screen-sized picture.
    const QString image = given.PerMonitor() ? QStringLiteral("uri") : JsString(Uri(file));
    const QString script = QStringLiteral(
        "var monitors = [%2];\n"
        "var ds = desktops();\n"
        "for (var i = 0; i < ds.length; ++i) {\n"
        "  var d = ds[i];\n"
        "  var uri = %1;\n"
        "  if (monitors.length > 1) {\n"
        "    var g = screenGeometry(d.screen);\n"
        "    for (var j = 0; j < monitors.length; ++j)\n"
        "      if (monitors[j].x == g.x && monitors[j].y == g.y) uri = monitors[j].uri;\n"
        "  }\n"
        "  d.wallpaperPlugin = 'org.kde.image';\n"
        "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
        "  d.writeConfig('Image', %3);\n"
        "  d.writeConfig('FillMode', 2);\n"
        "}\n").arg(JsString(Uri(file)), given.PerMonitor() ? monitors.join(QStringLiteral(", ")) : QString(), image);
    MethodOutcome worked = MethodOutcome::Worked();
    if (given.lockScreen) {
        if (const QString problem = SetLockScreen(file); !problem.isEmpty())
            worked.notices << QStringLiteral("the lock screen's picture could not be set: %1").arg(problem);
    }

    QString problem;
    for (const QString& name : QdbusCandidates()) {
        if (FindTool(name).isEmpty())
            continue;
        const ToolRun run = RunTool(name, {QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                                           QStringLiteral("org.kde.PlasmaShell.evaluateScript"), script});
        // The shell answers script errors with a D-Bus error, which qdbus turns
        // into a failing exit code; some versions print "Error" instead.
        if (run.Ok() && !QString::fromUtf8(run.out).trimmed().startsWith(QLatin1String("Error")))
            return worked;
        problem = run.Ok() ? QStringLiteral("Plasma refused the wallpaper script: %1")
                                 .arg(QString::fromUtf8(run.out).trimmed().left(200))
                           : run.Problem();
        break; // the bus answered through this client; another client would not fare better
    }

    // Plasma 5.24 and later ship a tool of their own for the same job.
    const ToolRun apply = RunTool(QStringLiteral("plasma-apply-wallpaperimage"), {file});
    if (apply.Ok())
        return worked;
    if (problem.isEmpty())
        problem = apply.found ? apply.Problem() : QStringLiteral("neither qdbus nor plasma-apply-wallpaperimage is installed");
    return MethodOutcome::Failure(problem);
}

} // namespace platform
