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
#include <QUrl>

#include <gtest/gtest.h>

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
        ASSERT_TRUE(result.ok) << result.detail.toStdString();
        EXPECT_EQ(result.method, QLatin1String(c.method));
        EXPECT_EQ(Get(c.schema, c.key), c.uri ? Uri(result.file) : result.file);
        EXPECT_EQ(Get(c.schema, "picture-options"), QStringLiteral("zoom"));
        EXPECT_TRUE(QFile::exists(result.file)) << result.file.toStdString();
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
        ASSERT_TRUE(result.ok) << change.desktop << ": " << result.detail.toStdString();
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

} // namespace
