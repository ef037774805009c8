// GNOME and the desktops that share its settings machinery keep the wallpaper in
// GSettings keys; the desktop watches the keys and redraws when they change.
#include "platform/desktop_detect.h"
#include "platform/tool_run.h"
#include "platform/wallpaper_methods.h"

#include <QSet>
#include <QUrl>

#include <optional>

namespace platform {

QString GVariantString(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\''))
            out += QLatin1Char('\\');
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString ParseGVariantString(const QString& printed)
{
    const QString text = printed.trimmed();
    if (text.size() < 2)
        return {};
    const QChar quote = text.front();
    if ((quote != QLatin1Char('\'') && quote != QLatin1Char('"')) || text.back() != quote)
        return {};
    QString out;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 2 < text.size()) {
            c = text[++i];
            if (c == QLatin1Char('n'))
                c = QLatin1Char('\n');
            else if (c == QLatin1Char('t'))
                c = QLatin1Char('\t');
        }
        out += c;
    }
    return out;
}

namespace {

struct GSettingsTarget {
    QString schema;
    QString key;        // the picture key
    bool valueIsUri;    // picture-uri holds a file:// address, picture-filename a path
    QString darkKey;    // set too where the schema has it
    QString lockSchema; // the lock screen's picture-uri and picture-options, where there is one
};

// The lock screen's picture, where the desktop keeps one in a schema of its own;
// what went wrong, as a notice, when it could not be set.
std::optional<QString> SetLockScreenPicture(const QString& lockSchema, const QString& value, const QString& fit)
{
    const ToolRun lockKeys = RunTool(QStringLiteral("gsettings"), {QStringLiteral("list-keys"), lockSchema});
    const bool lockable = lockKeys.Ok()
                          && QString::fromUtf8(lockKeys.out).split(QLatin1Char('\n')).contains(QStringLiteral("picture-uri"));
    auto setLock = [&](const QString& key, const QString& literal) {
        return RunTool(QStringLiteral("gsettings"), {QStringLiteral("set"), lockSchema, key, literal}).Ok();
    };
    if (lockable && setLock(QStringLiteral("picture-uri"), GVariantString(value))
        && setLock(QStringLiteral("picture-options"), fit))
        return std::nullopt;
    return QStringLiteral("the lock screen's picture could not be set: %1 %2")
        .arg(lockSchema, lockable ? QStringLiteral("refused the change") : QStringLiteral("is not installed"));
}

MethodOutcome SetThroughGSettings(const GSettingsTarget& target, const WallpaperRequest& given)
{
    // With several monitors, one picture spanning them, each exposition at its monitor's place.
    const bool spanned = !given.spanned.isEmpty();
    const QString file = spanned ? given.spanned : given.file;
    const QString darkFile = spanned ? given.darkSpanned : given.dark;
    if (!HasSessionBus())
        return MethodOutcome::Failure(QStringLiteral(
            "there is no D-Bus session bus, as DBUS_SESSION_BUS_ADDRESS is not set, so gsettings cannot store the wallpaper"));

    const ToolRun keys = RunTool(QStringLiteral("gsettings"), {QStringLiteral("list-keys"), target.schema});
    if (!keys.found)
        return MethodOutcome::Failure(keys.Problem());
    if (!keys.Ok())
        return MethodOutcome::Failure(QStringLiteral("the settings schema %1 is not installed, as %2")
                                          .arg(target.schema, keys.Problem()));
    QSet<QString> known;
    for (const QString& line : QString::fromUtf8(keys.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        known.insert(line.trimmed());
    if (!known.contains(target.key))
        return MethodOutcome::Failure(
            QStringLiteral("the settings schema %1 has no key %2").arg(target.schema, target.key));

    const QString value = target.valueIsUri ? QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) : file;
    auto set = [&](const QString& key, const QString& literal) {
        return RunTool(QStringLiteral("gsettings"), {QStringLiteral("set"), target.schema, key, literal});
    };

    // A screen-sized picture "zoomed" to cover the screen is shown 1:1, and a
    // picture made for a different resolution still fills the screen; a spanning
    // one is laid over the monitors' bounding box.
    const QString fit = spanned ? QStringLiteral("'spanned'") : QStringLiteral("'zoom'");
    if (known.contains(QStringLiteral("picture-options"))) {
        const ToolRun options = set(QStringLiteral("picture-options"), fit);
        if (!options.Ok())
            return MethodOutcome::Failure(options.Problem());
    }
    const ToolRun main = set(target.key, GVariantString(value));
    if (!main.Ok())
        return MethodOutcome::Failure(main.Problem());
    if (!target.darkKey.isEmpty() && known.contains(target.darkKey)) {
        const QString darkValue = darkFile.isEmpty() ? value : QUrl::fromLocalFile(darkFile).toString(QUrl::FullyEncoded);
        const ToolRun dark = set(target.darkKey, GVariantString(darkValue));
        if (!dark.Ok())
            return MethodOutcome::Failure(dark.Problem());
    }
    MethodOutcome worked = MethodOutcome::Worked();
    if (given.lockScreen && !target.lockSchema.isEmpty())
        if (const std::optional<QString> notice = SetLockScreenPicture(target.lockSchema, value, fit))
            worked.notices << *notice;

    // gsettings reports success even when the write never reached the settings
    // daemon; only reading the key back tells.
    const ToolRun check = RunTool(QStringLiteral("gsettings"), {QStringLiteral("get"), target.schema, target.key});
    if (!check.Ok())
        return MethodOutcome::Failure(check.Problem());
    if (ParseGVariantString(QString::fromUtf8(check.out)) != value)
        return MethodOutcome::Failure(QStringLiteral(
            "gsettings accepted the wallpaper but the setting %1 %2 did not change; the settings daemon may be out of reach")
                                          .arg(target.schema, target.key));
    return worked;
}

} // namespace

std::vector<NamedWallpaper> WallpapersNamedInSettings()
{
    std::vector<NamedWallpaper> named;
    if (!HasSessionBus() || FindTool(QStringLiteral("gsettings")).isEmpty())
        return named;
    struct Key {
        const char* schema;
        const char* key;
        bool uri;
    };
    for (const Key& k : {Key {"org.gnome.desktop.background", "picture-uri", true},
                         Key {"org.gnome.desktop.background", "picture-uri-dark", true},
                         Key {"org.cinnamon.desktop.background", "picture-uri", true},
                         Key {"org.mate.background", "picture-filename", false}}) {
        // A schema that is not installed makes gsettings fail: that desktop names nothing.
        const ToolRun get = RunTool(QStringLiteral("gsettings"),
                                    {QStringLiteral("get"), QLatin1String(k.schema), QLatin1String(k.key)}, 3000);
        if (!get.Ok())
            continue;
        const QString value = ParseGVariantString(QString::fromUtf8(get.out));
        const QString file = k.uri ? QUrl(value).toLocalFile() : value;
        if (!file.isEmpty())
            named.push_back({QLatin1String(k.schema), file});
    }
    return named;
}

QString SchemaOfMethod(const QString& method)
{
    if (method == QLatin1String("gnome") || method == QLatin1String("budgie"))
        return QStringLiteral("org.gnome.desktop.background");
    if (method == QLatin1String("cinnamon"))
        return QStringLiteral("org.cinnamon.desktop.background");
    if (method == QLatin1String("mate"))
        return QStringLiteral("org.mate.background");
    return {};
}

MethodOutcome SetGnomeWallpaper(const WallpaperRequest& given)
{
    // GNOME Shell's lock screen reads no picture of its own (it blurs the
    // desktop's), so org.gnome.desktop.screensaver is left as it is.
    return SetThroughGSettings({QStringLiteral("org.gnome.desktop.background"), QStringLiteral("picture-uri"), true,
                                QStringLiteral("picture-uri-dark"), QString()},
                               given);
}

MethodOutcome SetBudgieWallpaper(const WallpaperRequest& given)
{
    // Budgie locks with a screensaver that shows org.gnome.desktop.screensaver's picture.
    return SetThroughGSettings({QStringLiteral("org.gnome.desktop.background"), QStringLiteral("picture-uri"), true,
                                QStringLiteral("picture-uri-dark"), QStringLiteral("org.gnome.desktop.screensaver")},
                               given);
}

MethodOutcome SetCinnamonWallpaper(const WallpaperRequest& given)
{
    return SetThroughGSettings(
        {QStringLiteral("org.cinnamon.desktop.background"), QStringLiteral("picture-uri"), true, QString(), QString()},
        given);
}

MethodOutcome SetMateWallpaper(const WallpaperRequest& given)
{
    // The key is only stored: on X11 caja draws the desktop, or the settings
    // daemon's background plugin when caja does not. With neither on this
    // display the root window is what the user sees.
    if (!IsWaylandSession() && !qEnvironmentVariable("DISPLAY").isEmpty()
        && FindProcessesOnDisplay(QStringLiteral("caja")).empty()
        && FindProcessesOnDisplay(QStringLiteral("mate-settings-daemon")).empty())
        return MethodOutcome::Failure(QStringLiteral(
            "neither caja, MATE's desktop program, nor mate-settings-daemon, its settings daemon, is running"));
    return SetThroughGSettings(
        {QStringLiteral("org.mate.background"), QStringLiteral("picture-filename"), false, QString(), QString()}, given);
}

} // namespace platform
