// The GSettings desktops (GNOME, Cinnamon, MATE) through the real gsettings and
// dconf, on a private session bus with a private dconf database.
#include "desktop/desktop_programs.h"
#include "platform/tool_run.h"
#include "platform/wallpaper.h"
#include "platform/wallpaper_file.h"
#include "platform/wallpaper_methods.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QUrl>

#include <gtest/gtest.h>

#include <tuple>

namespace {

class DconfSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = MissingPrograms({QStringLiteral("gsettings"), QStringLiteral("dbus-daemon")});
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        if (!QFile::exists(QStringLiteral("/usr/libexec/dconf-service")))
            GTEST_SKIP() << "dconf-service is not installed";
        if (!session.Problem().isEmpty())
            GTEST_SKIP() << session.Problem().toStdString();
        for (const char* schema : {"org.gnome.desktop.background", "org.cinnamon.desktop.background",
                                   "org.mate.background"}) {
            if (!Run({QStringLiteral("list-keys"), QLatin1String(schema)}).Ok())
                GTEST_SKIP() << "the settings schema " << schema << " is not installed";
        }
        // A data folder whose name gsettings must quote and a URI must encode.
        env.Set("XDG_DATA_HOME", QFile::encodeName(home.Root() + QStringLiteral("/it's é data")));
        QDir().mkpath(DataFolder());
    }

    static platform::ToolRun Run(const QStringList& args) { return platform::RunTool(QStringLiteral("gsettings"), args); }
    // The key's value as the real gsettings prints it, unquoted.
    static QString Get(const char* schema, const char* key)
    {
        return platform::ParseGVariantString(
            QString::fromUtf8(Run({QStringLiteral("get"), QLatin1String(schema), QLatin1String(key)}).out));
    }
    static QString Uri(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

    QString DataFolder() const { return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Ambience/Ambience"); }
    QString Bmp(const QColor& colour) const
    {
        QImage image(32, 18, QImage::Format_RGB888);
        image.fill(colour);
        const QString path = DataFolder() + QStringLiteral("/ambience.bmp");
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    QStringList Copies() const
    {
        return QDir(DataFolder()).entryList({QStringLiteral("ambience-*")}, QDir::Files, QDir::Name);
    }

    TempEnv home;
    PrivateSession session {home.Root()};
    EnvGuard env;
};

TEST_F(DconfSettings, EachDesktopsKeysReadBackThroughDconf)
{
    struct Case {
        const char* desktop;
        const char* method;
        const char* schema;
        const char* key;
        bool uri;
    };
    for (const Case& c : {Case {"ubuntu:GNOME", "gnome", "org.gnome.desktop.background", "picture-uri", true},
                          Case {"X-Cinnamon", "cinnamon", "org.cinnamon.desktop.background", "picture-uri", true},
                          Case {"MATE", "mate", "org.mate.background", "picture-filename", false}}) {
        SCOPED_TRACE(c.desktop);
        // Not zoomed to begin with: the change must set the option too.
        ASSERT_TRUE(Run({QStringLiteral("set"), QLatin1String(c.schema), QStringLiteral("picture-options"),
                         QStringLiteral("'wallpaper'")})
                        .Ok());
        env.Set("XDG_CURRENT_DESKTOP", c.desktop);
        const auto result = platform::SetDesktopWallpaper(Bmp(QColor(20, 90, 160)));
        ASSERT_TRUE(result.ok()) << result.error().text;
        EXPECT_EQ(result->method, QLatin1String(c.method));
        EXPECT_EQ(Get(c.schema, c.key), c.uri ? Uri(result->file) : result->file);
        EXPECT_EQ(Get(c.schema, "picture-options"), QStringLiteral("zoom"));
        EXPECT_TRUE(QFile::exists(result->file)) << result->file.toStdString();
    }
    // GNOME's dark-style key names a picture that exists as well.
    const QString dark = QUrl(Get("org.gnome.desktop.background", "picture-uri-dark")).toLocalFile();
    EXPECT_TRUE(!dark.isEmpty() && QFile::exists(dark)) << dark.toStdString();
    // The database is the private one, kept on disk.
    EXPECT_TRUE(QFile::exists(home.ConfigHome() + QStringLiteral("/dconf/user")));
}

TEST_F(DconfSettings, CopiesAnotherDesktopsKeyNamesOutliveRefreshes)
{
    // One account, three desktops: Cinnamon and MATE were set once, then GNOME
    // refreshes again and again; then the account is back on Cinnamon.
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
        {"GNOME", {"ambience-1.bmp", "ambience-2.bmp", "ambience-5.bmp", "ambience-6.bmp", "ambience-7.bmp"}},
        {"X-Cinnamon", {"ambience-2.bmp", "ambience-6.bmp", "ambience-7.bmp", "ambience-8.bmp"}},
    };
    int n = 0;
    for (const Change& change : changes) {
        env.Set("XDG_CURRENT_DESKTOP", change.desktop);
        const auto result = platform::SetDesktopWallpaper(Bmp(QColor(10 * ++n, 100, 200)));
        ASSERT_TRUE(result.ok()) << change.desktop << ": " << result.error().text;
        EXPECT_EQ(Copies(), change.copiesAfter) << n << " " << change.desktop << " left "
                                                << Copies().join(' ').toStdString();
        // Whatever any desktop's key names is still there to be shown.
        for (const auto& named : platform::WallpapersNamedInSettings()) {
            if (named.file.startsWith(DataFolder())) {
                EXPECT_TRUE(QFile::exists(named.file)) << n << " " << named.schema.toStdString() << " names "
                                                       << named.file.toStdString();
            }
        }
        EXPECT_LE(Copies().size(), platform::WallpaperCopy::kKeptCopies + 2);
    }
    EXPECT_EQ(QUrl(Get("org.cinnamon.desktop.background", "picture-uri")).toLocalFile(),
              DataFolder() + QStringLiteral("/ambience-8.bmp"));
    EXPECT_EQ(Get("org.mate.background", "picture-filename"), DataFolder() + QStringLiteral("/ambience-2.bmp"));
}

double MeanGray(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return image.isNull() ? 0 : sum / (double(image.width()) * image.height());
}

// The program itself, composing for two monitors (a landscape and an upright one)
// with the lock screen asked for: GNOME gets one spanning picture and its dark key a
// different, darker twin; its lock screen, which blurs the desktop's picture and
// reads no key of its own, is left alone and the user told so. Cinnamon and MATE
// span too and say that their lock screen is not supported.
TEST_F(DconfSettings, TheProgramSpansTheMonitorsWithADarkerTwinAndTheLockScreen)
{
    QDir().mkpath(home.ProgramDir());
    ASSERT_TRUE(QFile::copy(BuildBinDir() + QStringLiteral("/ambience-gallery.zip"),
                            home.ProgramDir() + QStringLiteral("/ambience-gallery.zip")));
    auto cli = [](const QStringList& args) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(BuildBinDir() + QStringLiteral("/ambience-cli"), args);
        process.waitForFinished(120000);
        return std::pair {process.exitCode(), QString::fromUtf8(process.readAll())};
    };
    ASSERT_EQ(cli({QStringLiteral("options"), QStringLiteral("LockScreenToo=on")}).first, 0);
    const QStringList twoMonitors {QStringLiteral("next"), QStringLiteral("--local"), QStringLiteral("--monitors"),
                                   QStringLiteral("A=320x200+0+0,B=200x320+320+0")};
    auto file = [&](const char* schema, const char* key, bool uri) {
        const QString value = Get(schema, key);
        return uri ? QUrl(value).toLocalFile() : value;
    };

    env.Set("XDG_CURRENT_DESKTOP", "GNOME");
    const QString lockBefore = Get("org.gnome.desktop.screensaver", "picture-uri");
    auto [code, out] = cli(twoMonitors);
    ASSERT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Wallpaper: Set as GNOME's background"))) << out.toStdString();
    EXPECT_EQ(Get("org.gnome.desktop.background", "picture-options"), QStringLiteral("spanned"));
    const QImage light(file("org.gnome.desktop.background", "picture-uri", true));
    const QString darkFile = file("org.gnome.desktop.background", "picture-uri-dark", true);
    const QImage dark(darkFile);
    EXPECT_EQ(light.size(), QSize(520, 320));
    EXPECT_EQ(light.convertToFormat(QImage::Format_RGB32),
              QImage(DataFolder() + QStringLiteral("/ambience-spanned.bmp")).convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(darkFile, file("org.gnome.desktop.background", "picture-uri", true));
    EXPECT_EQ(dark.size(), light.size());
    EXPECT_LT(MeanGray(dark), MeanGray(light) - 10);
    if (const QString shots = qEnvironmentVariable("AMBIENCE_SCREENSHOTS"); !shots.isEmpty()) {
        // The two spanning pictures one above the other, to look at.
        QImage both(520, 640, QImage::Format_RGB32);
        QPainter painter(&both);
        painter.drawImage(0, 0, light);
        painter.drawImage(0, 320, dark);
        painter.end();
        QDir().mkpath(shots);
        both.save(shots + QStringLiteral("/gnome-spanned-light-dark.png"));
    }
    EXPECT_EQ(Get("org.gnome.desktop.screensaver", "picture-uri"), lockBefore);
    EXPECT_NE(Get("org.gnome.desktop.screensaver", "picture-options"), QStringLiteral("spanned"));
    EXPECT_TRUE(out.contains(QStringLiteral("GNOME's lock screen shows the desktop's picture, blurred")))
        << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("lock screen's picture could not be set"))) << out.toStdString();

    // One monitor: zoomed, and still a darker twin for the dark style.
    std::tie(code, out) = cli({QStringLiteral("next"), QStringLiteral("--local"), QStringLiteral("--size"),
                               QStringLiteral("320x200")});
    ASSERT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(Get("org.gnome.desktop.background", "picture-options"), QStringLiteral("zoom"));
    EXPECT_EQ(QImage(file("org.gnome.desktop.background", "picture-uri", true)).size(), QSize(320, 200));
    EXPECT_LT(MeanGray(QImage(file("org.gnome.desktop.background", "picture-uri-dark", true))),
              MeanGray(QImage(file("org.gnome.desktop.background", "picture-uri", true))) - 10);

    for (const auto& [desktop, schema, key, uri] :
         {std::tuple {"X-Cinnamon", "org.cinnamon.desktop.background", "picture-uri", true},
          std::tuple {"MATE", "org.mate.background", "picture-filename", false}}) {
        SCOPED_TRACE(desktop);
        env.Set("XDG_CURRENT_DESKTOP", desktop);
        std::tie(code, out) = cli(twoMonitors);
        ASSERT_EQ(code, 0) << out.toStdString();
        EXPECT_EQ(Get(schema, "picture-options"), QStringLiteral("spanned"));
        EXPECT_EQ(QImage(file(schema, key, uri)).size(), QSize(520, 320));
        EXPECT_TRUE(out.contains(QStringLiteral("lock screen"))) << out.toStdString();
    }
}

} // namespace
