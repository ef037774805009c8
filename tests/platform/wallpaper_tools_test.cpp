// The desktop-specific wallpaper methods, run against stand-in tools that record
// the exact commands; no real desktop is involved.
#include "platform/tool_run.h"
#include "platform/wallpaper.h"
#include "platform/wallpaper_methods.h"
#include "stub_tools.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocalServer>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

QStringList Q(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

class WallpaperTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/test/bus");
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DESKTOP_SESSION", "SWAYSOCK",
                                 "KDE_SESSION_VERSION", "STUB_LOSE_WRITES", "STUB_EXIT", "STUB_SWWW_QUERY_EXIT"})
            env.Unset(name);
        env.Set("XDG_RUNTIME_DIR", QFile::encodeName(home.Root()));
        Picture(QColor(10, 120, 200));
    }

    // Writes the composer's wallpaper file, as the composer does.
    void Picture(const QColor& colour)
    {
        QDir().mkpath(DataFolder());
        QImage image(16, 9, QImage::Format_RGB888);
        image.fill(colour);
        ASSERT_TRUE(image.save(Bmp(), "BMP"));
    }
    QString DataFolder() const { return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Ambience/Ambience"); }
    QString Bmp() const { return DataFolder() + QStringLiteral("/ambience.bmp"); }
    QString Copy(int n) const { return DataFolder() + QStringLiteral("/ambience-%1.bmp").arg(n); }
    QStringList Copies() const
    {
        return QDir(DataFolder()).entryList({QStringLiteral("ambience-*")}, QDir::Files, QDir::Name);
    }
    static QString Uri(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

    TempEnv home;
    EnvGuard env;
    StubTools tools {env};
};

TEST_F(WallpaperTools, GnomeSetsBothUrisZoomedAndChecksTheKey)
{
    env.Set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    tools.WriteState(QStringLiteral("schema-org.gnome.desktop.background"),
                     {QStringLiteral("picture-options"), QStringLiteral("picture-uri"),
                      QStringLiteral("picture-uri-dark"), QStringLiteral("primary-color")});

    const auto result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "gnome");
    EXPECT_EQ(result->file, Copy(1));

    const QString literal = QLatin1Char('\'') + Uri(Copy(1)) + QLatin1Char('\'');
    const std::vector<QStringList> expected {
        Q({"gsettings", "list-keys", "org.gnome.desktop.background"}),
        Q({"gsettings", "set", "org.gnome.desktop.background", "picture-options", "'zoom'"}),
        Q({"gsettings", "set", "org.gnome.desktop.background", "picture-uri"}) << literal,
        Q({"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark"}) << literal,
        Q({"gsettings", "get", "org.gnome.desktop.background", "picture-uri"}),
    };
    EXPECT_EQ(tools.Calls(), expected);

    // The desktop caches by name: the copy it was given holds the picture, and the
    // next change gets a new name (the last few copies stay, see below).
    QFile original(Bmp()), copy(Copy(1));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), copy.readAll());

    Picture(QColor(200, 30, 30));
    const auto second = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(second.ok()) << second.error().text;
    EXPECT_EQ(second->file, Copy(2));
    EXPECT_TRUE(QFile::exists(Bmp()));
    EXPECT_EQ(QImage(Copy(2)).pixelColor(0, 0), QColor(200, 30, 30));
}

TEST_F(WallpaperTools, BudgieUsesGnomeKeysAndSkipsADarkKeyTheSchemaLacks)
{
    env.Set("XDG_CURRENT_DESKTOP", "Budgie:GNOME");
    tools.WriteState(QStringLiteral("schema-org.gnome.desktop.background"),
                     {QStringLiteral("picture-options"), QStringLiteral("picture-uri")});
    const auto result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "budgie");
    for (const QStringList& call : tools.Calls())
        EXPECT_FALSE(call.contains(QStringLiteral("picture-uri-dark"))) << call.join(' ').toStdString();
}

TEST_F(WallpaperTools, CopiesAnotherDesktopStillNamesOutliveARefresh)
{
    // One account, two desktops: Cinnamon and MATE were last set to copies 1 and
    // 2, then GNOME refreshes many times. Their copies stay; of the rest only the
    // newest few do.
    for (const char* schema : {"org.gnome.desktop.background", "org.cinnamon.desktop.background"})
        tools.WriteState(QStringLiteral("schema-") + QLatin1String(schema),
                         {QStringLiteral("picture-options"), QStringLiteral("picture-uri")});
    tools.WriteState(QStringLiteral("schema-org.mate.background"),
                     {QStringLiteral("picture-filename"), QStringLiteral("picture-options")});
    struct Change {
        const char* desktop;
        QStringList copiesAfter;
    };
    const std::vector<Change> changes {
        {"X-Cinnamon", {"ambience-1.bmp"}},
        {"MATE", {"ambience-1.bmp", "ambience-2.bmp"}},
        {"GNOME", {"ambience-1.bmp", "ambience-2.bmp", "ambience-3.bmp"}},
        {"GNOME", {"ambience-1.bmp", "ambience-2.bmp", "ambience-3.bmp", "ambience-4.bmp"}},
        {"GNOME", {"ambience-1.bmp", "ambience-2.bmp", "ambience-3.bmp", "ambience-4.bmp", "ambience-5.bmp"}},
        {"GNOME", {"ambience-1.bmp", "ambience-2.bmp", "ambience-4.bmp", "ambience-5.bmp", "ambience-6.bmp"}},
        // Back on Cinnamon: its old copy 1 is named by nobody now.
        {"X-Cinnamon", {"ambience-2.bmp", "ambience-5.bmp", "ambience-6.bmp", "ambience-7.bmp"}},
    };
    for (const Change& change : changes) {
        env.Set("XDG_CURRENT_DESKTOP", change.desktop);
        const auto result = platform::SetDesktopWallpaper(Bmp());
        ASSERT_TRUE(result.ok()) << change.desktop << ": " << result.error().text;
        EXPECT_EQ(Copies(), change.copiesAfter) << change.desktop << " gave " << Copies().join(' ').toStdString();
    }

    // Without a session bus no key can be read: only the newest few stay.
    env.Unset("DBUS_SESSION_BUS_ADDRESS");
    env.Set("XDG_CURRENT_DESKTOP", "LXDE");
    ASSERT_TRUE(tools.RunDesktop(QStringLiteral("pcmanfm"), {QStringLiteral("--desktop")}));
    ASSERT_TRUE(platform::SetDesktopWallpaper(Bmp()).ok());
    EXPECT_EQ(Copies(), (QStringList {"ambience-6.bmp", "ambience-7.bmp", "ambience-8.bmp"}));
}

TEST_F(WallpaperTools, GsettingsThatCannotHaveWorkedIsNoSuccess)
{
    env.Set("XDG_CURRENT_DESKTOP", "GNOME");
    tools.WriteState(QStringLiteral("schema-org.gnome.desktop.background"),
                     {QStringLiteral("picture-options"), QStringLiteral("picture-uri")});

    // No session bus anywhere: gsettings would exit 0 and lose the value.
    env.Unset("DBUS_SESSION_BUS_ADDRESS");
    auto result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("session bus"))) << result.error().text;
    EXPECT_TRUE(tools.Calls().empty());

    // A bus, but the write is lost on the way: the read-back notices.
    env.Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/test/bus");
    env.Set("STUB_LOSE_WRITES", "1");
    result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("did not change"))) << result.error().text;

    // The schema is not installed.
    env.Unset("STUB_LOSE_WRITES");
    QFile::remove(tools.State() + QStringLiteral("/schema-org.gnome.desktop.background"));
    result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("org.gnome.desktop.background"))) << result.error().text;

    // Failed attempts leave no copies behind.
    EXPECT_TRUE(Copies().isEmpty()) << Copies().join(' ').toStdString();
}

TEST_F(WallpaperTools, CinnamonAndMateUseTheirOwnSchemas)
{
    env.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
    tools.WriteState(QStringLiteral("schema-org.cinnamon.desktop.background"),
                     {QStringLiteral("picture-options"), QStringLiteral("picture-uri")});
    auto result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "cinnamon");
    EXPECT_EQ(tools.Calls().at(2), Q({"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri"})
                                       << QLatin1Char('\'') + Uri(Copy(1)) + QLatin1Char('\''));

    // MATE stores a plain path, quoted as a GVariant text: a quote in the path
    // must survive the trip and the read-back.
    tools.ClearCalls();
    env.Set("XDG_DATA_HOME", QFile::encodeName(home.Root() + QStringLiteral("/it's data")));
    Picture(QColor(1, 2, 3));
    env.Set("XDG_CURRENT_DESKTOP", "MATE");
    tools.WriteState(QStringLiteral("schema-org.mate.background"),
                     {QStringLiteral("picture-filename"), QStringLiteral("picture-options")});
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "mate");
    QString quoted = Copy(1);
    quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    const auto calls = tools.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2], Q({"gsettings", "set", "org.mate.background", "picture-filename"})
                            << QLatin1Char('\'') + quoted + QLatin1Char('\''));
}

TEST_F(WallpaperTools, XfceSetsEveryListedMonitorAndWorkspace)
{
    env.Set("XDG_CURRENT_DESKTOP", "XFCE");
    const QString a = QStringLiteral("/backdrop/screen0/monitorVirtual-1/workspace0/");
    const QString b = QStringLiteral("/backdrop/screen0/monitorVirtual-1/workspace1/");
    const QString c = QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace0/");
    tools.WriteState(QStringLiteral("xfconf-list"),
                     {a + "color-style", a + "image-style", a + "last-image", b + "last-image", c + "last-image",
                      QStringLiteral("/desktop-icons/style")});

    // xfconf would keep the value, but without xfdesktop nothing shows it.
    auto result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("Xfce's desktop program, xfdesktop, is not running"))) << result.error().text;
    EXPECT_TRUE(tools.Calls().empty());

    ASSERT_TRUE(tools.RunDesktop(QStringLiteral("xfdesktop")));
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "xfce");
    const QString file = Copy(1);
    const QStringList head = Q({"xfconf-query", "-c", "xfce4-desktop"});
    const std::vector<QStringList> expected {
        head + Q({"-l"}),
        head + QStringList {"-p", a + "last-image", "-s", file},
        head + QStringList {"-p", a + "image-style", "-s", "5"},
        head + QStringList {"-p", b + "last-image", "-s", file},
        head + QStringList {"-p", c + "last-image", "-s", file},
        head + QStringList {"-p", a + "last-image"},
    };
    EXPECT_EQ(tools.Calls(), expected);

    // xfconfd unreachable: the value does not stick, and that is reported.
    env.Set("STUB_LOSE_WRITES", "1");
    QFile::remove(tools.State() + QStringLiteral("/xfconf"));
    EXPECT_FALSE(platform::SetDesktopWallpaper(Bmp()).ok());
}

TEST_F(WallpaperTools, KdeRunsTheShellScriptThroughQdbus)
{
    env.Set("XDG_CURRENT_DESKTOP", "KDE");
    env.Set("KDE_SESSION_VERSION", "6");
    const auto result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "kde");

    const auto calls = tools.Calls();
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].size(), 5);
    EXPECT_EQ(calls[0].mid(0, 4), Q({"qdbus6", "org.kde.plasmashell", "/PlasmaShell",
                                     "org.kde.PlasmaShell.evaluateScript"}));
    const QString script = calls[0][4];
    EXPECT_TRUE(script.contains(QStringLiteral("wallpaperPlugin = 'org.kde.image'")));
    EXPECT_TRUE(script.contains(QStringLiteral("writeConfig('Image', '%1')").arg(Uri(Copy(1)))))
        << script.toStdString();

    // Plasma refuses (locked widgets, no shell running): no success.
    tools.ClearCalls();
    env.Set("STUB_EXIT", "1");
    const auto refused = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(tools.Calls().back().front(), "plasma-apply-wallpaperimage");
}

TEST_F(WallpaperTools, LxqtAndLxdeHandThePictureToPcmanfm)
{
    env.Set("XDG_CURRENT_DESKTOP", "LXQt");
    // pcmanfm-qt would store the choice, but no desktop of it runs to show it.
    auto result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("pcmanfm-qt --desktop, is not running")))
        << result.error().text;
    EXPECT_TRUE(tools.Calls().empty());

    // A fresh "lxqt" profile: the desktop's settings file is where the change
    // lands, and its mode must be one the desktop shows.
    const QString profile = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/pcmanfm-qt/lxqt");
    ASSERT_TRUE(QDir().mkpath(profile));
    ASSERT_TRUE(tools.RunDesktop(QStringLiteral("pcmanfm-qt"), {QStringLiteral("--desktop"), QStringLiteral("--profile=lxqt")}));
    ASSERT_TRUE(tools.RunDesktop(QStringLiteral("pcmanfm"), {QStringLiteral("--desktop")}));
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "lxqt");
    EXPECT_EQ(tools.Calls().back(), (QStringList {"pcmanfm-qt", "--profile=lxqt", "--set-wallpaper=" + Copy(1),
                                                  "--wallpaper-mode=fit"}));
    QFile conf(profile + QStringLiteral("/settings.conf"));
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(conf.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Wallpaper=") + Copy(1))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("WallpaperMode=fit"))) << text.toStdString();

    // The desktop never wrote the change down: not shown, not a success.
    conf.close();
    QDir(profile).removeRecursively();
    result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("did not take the picture"))) << result.error().text;

    env.Set("XDG_CURRENT_DESKTOP", "");
    env.Set("DESKTOP_SESSION", "/usr/share/xsessions/LXDE.desktop");
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "lxde");
    EXPECT_EQ(tools.Calls().back(), (QStringList {"pcmanfm", "--set-wallpaper=" + Copy(2), "--wallpaper-mode=center"}));
}

TEST_F(WallpaperTools, WlrootsPrefersSwwwThenSway)
{
    env.Set("XDG_CURRENT_DESKTOP", "sway");
    env.Set("WAYLAND_DISPLAY", "wayland-1");
    env.Set("SWAYSOCK", "/run/user/test/sway-ipc.sock");
    auto result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "swww");
    EXPECT_EQ(tools.Calls().back(), (QStringList {"swww", "img", Copy(1)}));

    // No swww daemon: sway's own output command.
    env.Set("STUB_SWWW_QUERY_EXIT", "1");
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "sway");
    EXPECT_EQ(tools.Calls().back(),
              (QStringList {"swaymsg", "output", "*", "bg", '"' + Copy(2) + '"', "fill"}));
}

// The stand-in swaybg processes running now, by pid.
std::vector<qint64> StubSwaybgs(const StubTools& tools)
{
    std::vector<qint64> pids;
    for (const auto& p : platform::FindProcesses(QStringLiteral("swaybg"))) {
        if (p.args.join(' ').contains(tools.Bin()))
            pids.push_back(p.pid);
    }
    return pids;
}

TEST_F(WallpaperTools, WlrootsNeedsACompositorAndReplacesTheUsersSwaybg)
{
    env.Set("WAYLAND_DISPLAY", "wayland-1");
    env.Set("STUB_SWWW_QUERY_EXIT", "1");
    // Nothing listens at the display's socket: no way can work, and no swaybg
    // is left to die unseen.
    for (const char* desktop : {"sway", "Hyprland"}) {
        env.Set("XDG_CURRENT_DESKTOP", desktop);
        const auto result = platform::SetDesktopWallpaper(Bmp());
        EXPECT_FALSE(result.ok()) << desktop;
        EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("no Wayland compositor can be reached")))
            << result.error().text;
        for (const QStringList& call : tools.Calls())
            EXPECT_NE(call.front(), "swaybg") << desktop;
    }

    QLocalServer compositor;
    ASSERT_TRUE(compositor.listen(home.Root() + QStringLiteral("/wayland-1")));
    auto kill = qScopeGuard([&] {
        for (const qint64 pid : StubSwaybgs(tools))
            ::kill(pid_t(pid), SIGTERM);
    });

    // Hyprland with hyprpaper: absolute path, loaded, then shown on every monitor.
    ASSERT_TRUE(tools.RunDesktop(QStringLiteral("hyprpaper")));
    auto result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "hyprpaper");
    const auto calls = tools.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 3], (QStringList {"hyprctl", "hyprpaper", "preload", Copy(1)}));
    EXPECT_EQ(calls[calls.size() - 2], (QStringList {"hyprctl", "hyprpaper", "wallpaper", ',' + Copy(1)}));
    tools.StopDesktops();

    // The user's own swaybg under sway: sway's background would stay under it,
    // so ours is started and theirs ended.
    env.Set("XDG_CURRENT_DESKTOP", "sway");
    env.Set("SWAYSOCK", QFile::encodeName(home.Root() + QStringLiteral("/sway-ipc.sock")));
    ASSERT_TRUE(tools.RunDesktop(QStringLiteral("swaybg"), {QStringLiteral("-i"), QStringLiteral("/old.png")}));
    // The stand-in forks its sleep, so for a moment two processes bear its name.
    std::vector<qint64> users;
    for (int i = 0; i < 100 && users.size() != 1; ++i, QThread::msleep(20))
        users = StubSwaybgs(tools);
    ASSERT_EQ(users.size(), 1u);
    tools.ClearCalls();
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "swaybg");
    EXPECT_EQ(tools.Calls().back(), (QStringList {"swaybg", "-i", Copy(2), "-m", "fill"}));
    for (const QStringList& call : tools.Calls())
        EXPECT_FALSE(call.contains(QStringLiteral("bg"))) << call.join(' ').toStdString();
    std::vector<qint64> now = StubSwaybgs(tools);
    for (int i = 0; i < 100 && now.size() != 1; ++i, QThread::msleep(20))
        now = StubSwaybgs(tools);
    ASSERT_EQ(now.size(), 1u) << "the user's swaybg is still running";
    EXPECT_NE(now.front(), users.front());

    // Ours of that change is replaced the same way: sway's own background
    // would stay under it too.
    result = platform::SetDesktopWallpaper(Bmp());
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "swaybg");
    std::vector<qint64> next = StubSwaybgs(tools);
    for (int i = 0; i < 100 && (next.size() != 1 || next.front() == now.front()); ++i, QThread::msleep(20))
        next = StubSwaybgs(tools);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_NE(next.front(), now.front());
}

TEST_F(WallpaperTools, NothingToTryIsReportedAsSuch)
{
    // A window manager we do not know, and no X display to draw on.
    env.Set("XDG_CURRENT_DESKTOP", "");
    auto result = platform::SetDesktopWallpaper(Bmp());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("without an X display"))) << result.error().text;

    env.Set("XDG_CURRENT_DESKTOP", "GNOME");
    result = platform::SetDesktopWallpaper(DataFolder() + QStringLiteral("/missing.bmp"));
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("missing.bmp")));
    EXPECT_TRUE(tools.Calls().empty());
}

// Whatever a desktop's way says when it does not work reads as plain sentences
// with no parentheses: the callers put the reason in parentheses or after a
// colon of their own, and a reason inside a reason would nest them.
TEST_F(WallpaperTools, ReasonsHoldNoParentheses)
{
    auto nests = [](const QString& text) { return text.contains(u'(') || text.contains(u')'); };
    struct Row {
        const char* desktop;
        std::vector<std::pair<const char*, const char*>> set; // a value of nullptr unsets
    };
    const Row rows[] = {
        {"GNOME", {{"DBUS_SESSION_BUS_ADDRESS", nullptr}}},
        {"GNOME", {{"STUB_LOSE_WRITES", "1"}}},
        {"KDE", {{"STUB_EXIT", "1"}}},
        {"KDE", {{"DBUS_SESSION_BUS_ADDRESS", nullptr}}},
        {"XFCE", {{"DBUS_SESSION_BUS_ADDRESS", nullptr}}},
        {"MATE", {{"DISPLAY", ":97"}}},
        {"LXQt", {{"DISPLAY", ":97"}}},
        {"sway", {{"WAYLAND_DISPLAY", "wayland-9"}, {"SWAYSOCK", "/nowhere"}}},
        {"", {{"DISPLAY", ":97"}}},
    };
    for (const Row& row : rows) {
        EnvGuard rowEnv;
        rowEnv.Set("XDG_CURRENT_DESKTOP", row.desktop);
        for (const auto& [name, value] : row.set)
            value ? rowEnv.Set(name, value) : rowEnv.Unset(name);
        const auto result = platform::SetDesktopWallpaper(Bmp());
        QStringList texts;
        if (result.ok())
            texts << result->description << result->notices;
        else
            texts << QString::fromStdString(result.error().text);
        for (const QString& text : texts)
            EXPECT_FALSE(nests(text)) << row.desktop << ": " << text.toStdString();
    }
}

// Two monitors, a landscape and an upright one: each desktop gets each monitor's
// own exposition where it can set monitors apart, the spanning picture where it
// takes one for all, and says once where it can do neither. Every file it is
// given is a fresh copy of the right picture.
TEST_F(WallpaperTools, SeveralMonitorsGetWhatEachDesktopCanShow)
{
    auto write = [&](const QString& name, QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB888);
        image.fill(colour);
        const QString path = DataFolder() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    };
    platform::WallpaperRequest request = platform::WallpaperRequest::Of(Bmp());
    request.monitors = {{QStringLiteral("DP-1"), QRect(0, 0, 16, 9), Bmp()},
                        {QStringLiteral("HDMI-2"), QRect(16, 0, 9, 16), write("ambience-monitor2.bmp", {9, 16}, Qt::red)}};
    request.spanned = write("ambience-spanned.bmp", {25, 16}, Qt::green);
    request.dark = write("ambience-dark.bmp", {16, 9}, Qt::darkBlue);
    request.darkSpanned = write("ambience-dark-spanned.bmp", {25, 16}, Qt::darkGreen);
    request.lockScreen = true;
    // The picture a given file is a copy of, by its first pixel and size.
    auto source = [](const QString& path) {
        const QImage image(QUrl(path).isLocalFile() ? QUrl(path).toLocalFile() : path);
        const QColor c = image.isNull() ? QColor() : image.pixelColor(0, 0);
        if (c == QColor(10, 120, 200)) return QStringLiteral("primary");
        if (c == QColor(Qt::red)) return QStringLiteral("upright");
        if (c == QColor(Qt::green)) return QStringLiteral("spanned");
        if (c == QColor(Qt::darkBlue)) return QStringLiteral("dark");
        if (c == QColor(Qt::darkGreen)) return QStringLiteral("dark spanned");
        return QStringLiteral("?") + path;
    };
    auto unquote = [](QString v) {
        if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"'))
            v = v.mid(1, v.size() - 2);
        return v;
    };

    struct Row {
        const char* desktop;
        std::function<void()> prepare;
        // What was given, as "tool what=picture" in call order.
        QStringList expected;
        const char* notice; // part of a notice said once, or empty
    };
    const QStringList gnomeKeys {"picture-options", "picture-uri", "picture-uri-dark"};
    const Row rows[] = {
        {"sway",
         [&] {
             env.Set("WAYLAND_DISPLAY", "wayland-1");
             env.Set("SWAYSOCK", "/run/user/test/sway-ipc.sock");
             env.Set("STUB_SWWW_QUERY_EXIT", "1");
         },
         {"swaymsg DP-1=primary", "swaymsg HDMI-2=upright"}, "the lock screen of a wlroots compositor"},
        {"sway", [&] { env.Unset("STUB_SWWW_QUERY_EXIT"); }, {"swww DP-1=primary", "swww HDMI-2=upright"}, ""},
        {"GNOME",
         [&] {
             tools.WriteState(QStringLiteral("schema-org.gnome.desktop.background"), gnomeKeys);
             tools.WriteState(QStringLiteral("schema-org.gnome.desktop.screensaver"), {"picture-options", "picture-uri"});
         },
         {"gsettings picture-options='spanned'", "gsettings picture-uri=spanned", "gsettings picture-uri-dark=dark spanned"},
         "GNOME's lock screen shows the desktop's picture, blurred"},
        {"Budgie:GNOME", [] {},
         {"gsettings picture-options='spanned'", "gsettings picture-uri=spanned", "gsettings picture-uri-dark=dark spanned",
          "gsettings screensaver picture-uri=spanned", "gsettings screensaver picture-options='spanned'"},
         ""},
        {"XFCE", [&] { ASSERT_TRUE(tools.RunDesktop(QStringLiteral("xfdesktop"))); },
         {"xfconf-query monitorDP-1=primary", "xfconf-query monitorHDMI-2=upright"}, "the lock screen of Xfce"},
        {"LXQt",
         [&] {
             QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/pcmanfm-qt/lxqt"));
             ASSERT_TRUE(tools.RunDesktop(QStringLiteral("pcmanfm-qt"),
                                          {QStringLiteral("--desktop"), QStringLiteral("--profile=lxqt")}));
         },
         {"pcmanfm-qt wallpaper=spanned --wallpaper-mode=stretch"}, "the lock screen of LXQt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.desktop);
        env.Set("XDG_CURRENT_DESKTOP", row.desktop);
        row.prepare();
        tools.ClearCalls();
        const auto result = platform::SetDesktopWallpaper(request);
        ASSERT_TRUE(result.ok()) << result.error().text;
        QStringList given;
        for (const QStringList& call : tools.Calls()) {
            const QString& tool = call[0];
            if (tool == u"swaymsg" && call.size() > 4 && call[1] == u"output")
                given << QStringLiteral("swaymsg %1=%2").arg(unquote(call[2]), source(unquote(call[4])));
            else if (tool == u"swww" && call.size() == 5 && call[2] == u"-o")
                given << QStringLiteral("swww %1=%2").arg(call[3], source(call[4]));
            else if (tool == u"gsettings" && call[1] == u"set")
                given << QStringLiteral("gsettings %1%2=%3")
                             .arg(call[2].endsWith(u"screensaver") ? QStringLiteral("screensaver ") : QString(), call[3],
                                  call[3] == u"picture-options" ? call[4] : source(unquote(call[4])));
            else if (tool == u"xfconf-query" && call.contains(QStringLiteral("-s")))
                given << QStringLiteral("xfconf-query %1=%2")
                             .arg(call[call.indexOf(QStringLiteral("-p")) + 1].section(QLatin1Char('/'), 3, 3),
                                  source(call.last()));
            else if (tool == u"pcmanfm-qt")
                for (const QString& a : call)
                    if (a.startsWith(QLatin1String("--set-wallpaper=")))
                        given << QStringLiteral("pcmanfm-qt wallpaper=%1 %2")
                                     .arg(source(a.mid(16)), call.filter(QStringLiteral("--wallpaper-mode=")).join(' '));
        }
        EXPECT_EQ(given, row.expected);
        if (*row.notice) {
            EXPECT_TRUE(result->notices.join(' ').contains(QLatin1String(row.notice))) << result->notices.join(' ').toStdString();
            // Said once: the next change does the same without saying it again.
            const auto again = platform::SetDesktopWallpaper(request);
            ASSERT_TRUE(again.ok());
            EXPECT_FALSE(again->notices.join(' ').contains(QLatin1String(row.notice)));
        }
        tools.StopDesktops();
    }
}

} // namespace

// How much of a screenshot shows a picture laid as sway's "fill" lays it: the
// check that tells a background sway took from one a client above it hides.
TEST(ScreenShowsPicture, CountsTheScreenThatShowsThePictureAsFilled)
{
    auto solid = [](QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    };
    // Left half blue, right half yellow.
    auto halves = [](QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < size.height(); ++y)
            for (int x = size.width() / 2; x < size.width(); ++x)
                image.setPixelColor(x, y, Qt::yellow);
        return image;
    };
    QImage covered = halves({320, 180});
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 160; ++x)
            covered.setPixelColor(x, y, Qt::red); // a window over the left half
    const struct {
        const char* what;
        QImage screen, picture;
        double least, most;
    } rows[] = {
        {"the picture itself", halves({320, 180}), halves({320, 180}), 1.0, 1.0},
        {"a smaller picture, scaled up", halves({320, 180}), halves({64, 36}), 0.9, 1.0},
        // A square picture on a wide screen is cut at top and bottom, not squeezed.
        {"a square picture, centred", halves({320, 180}), halves({200, 200}), 0.9, 1.0},
        {"another picture", solid({320, 180}, Qt::red), halves({320, 180}), 0.0, 0.0},
        {"half hidden", covered, halves({320, 180}), 0.45, 0.55},
        {"no screenshot", QImage(), halves({320, 180}), 0.0, 0.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const double share = platform::ScreenShowsPicture(row.screen, row.picture);
        EXPECT_GE(share, row.least);
        EXPECT_LE(share, row.most);
    }
}
