// ambience-cli options, run as a separate process against a temporary home.
#include "platform/registry.h"
#include "support/temp_env.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("\\Software\\Ambience\\Ambience\\Options");

struct CliRun {
    int code = -1;
    QString out, err;
};

CliRun Cli(const QStringList& args)
{
    QProcess p;
    p.start(BuildBinDir() + "/ambience-cli", QStringList{"options"} + args);
    CliRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(OptionsCli, ListsChangesAndRefuses)
{
    TempEnv env;
    CliRun r = Cli({});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // the eleven, then MonitorMode, LockScreenToo, FavouritesOnly, NotifyAutomaticChange and FreshMuseumPack
    EXPECT_EQ(r.out.count('\n'), 16);
    EXPECT_TRUE(r.out.contains("FreshMuseumPack = (off)\n"));
    EXPECT_TRUE(r.out.contains("PictureSize = 1 (Optimal)\n"));
    // Showing writes nothing: another process may be changing the settings.
    EXPECT_FALSE(QFileInfo::exists(env.RegistryFile()));
    EXPECT_FALSE(QFileInfo::exists(env.ConfigHome() + "/autostart/ambience.desktop"));
    r = Cli({"AutoChangeEnabled=on"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(env.ConfigHome() + "/autostart/ambience.desktop"));

    r = Cli({"BackgroundType=Embossed", "AutoChangeEnabled=false", "AutoChangeInterval=12"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("BackgroundType = 2 (Embossed)\n"));
    EXPECT_TRUE(r.out.contains("AutoChangeInterval = 12 (hours)\n"));
    EXPECT_FALSE(QFileInfo::exists(env.ConfigHome() + "/autostart/ambience.desktop"));

    // A value the Options page does not offer changes nothing, not even the valid ones.
    r = Cli({"PictureSize=3", "AutoChangeInterval=7"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("AutoChangeInterval")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    platform::Registry store(env.RegistryFile());
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), 1);
    EXPECT_EQ(store.ReadInteger(kKey, "AutoChangeInterval"), 12);

    r = Cli({"DesktopsChanged=10"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("counter")) << r.err.toStdString();
}

// Keeping a museum pack fresh: set as one value, refused when it does not read or
// names no museum, stopped with "off".
TEST(OptionsCli, KeepsAMuseumPackFreshOrStops)
{
    TempEnv env;
    const QString root = QStringLiteral("\\Software\\Ambience\\Ambience");
    CliRun r = Cli({"FreshMuseumPack=rijks|still life|24|10|Rijksmuseum - Still life.zip"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("FreshMuseumPack = rijks|still life|24|10|Rijksmuseum - Still life.zip (24 works, a quarter "
                               "renewed every 10 day(s); not renewed yet)\n"))
        << r.out.toStdString();
    {
        platform::Registry store(env.RegistryFile());
        EXPECT_EQ(store.ReadString(root, "FreshMuseumPack"), "rijks|still life|24|10|Rijksmuseum - Still life.zip");
    }
    for (const char* wrong : {"FreshMuseumPack=xyz|still life|24|10|x.zip", "FreshMuseumPack=rijks|still life|0|10|x.zip",
                              "FreshMuseumPack=rijks|still life"}) {
        r = Cli({wrong, "PictureSize=3"});
        EXPECT_NE(r.code, 0) << wrong;
        EXPECT_TRUE(r.err.contains("nothing was changed")) << r.err.toStdString();
    }
    platform::Registry store(env.RegistryFile());
    EXPECT_EQ(store.ReadString(root, "FreshMuseumPack"), "rijks|still life|24|10|Rijksmuseum - Still life.zip");
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), 1);
    r = Cli({"FreshMuseumPack=off"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("FreshMuseumPack = (off)\n"));
    EXPECT_FALSE(platform::Registry(env.RegistryFile()).Value(root, "FreshMuseumPack").has_value());
}

TEST(OptionsCli, ReportsWrongTypesAndADamagedFileOnStderr)
{
    TempEnv env;
    {
        platform::Registry store(env.RegistryFile());
        store.WriteString(kKey, "AutoChangeInterval", "36");
    }
    {
        QFile f(env.RegistryFile());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\xff\xfe\x00 not a line\n", 15);
    }
    CliRun r = Cli({});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Invalid data type for 'AutoChangeInterval'")) << r.err.toStdString();
    EXPECT_EQ(r.err.count("registry.reg.damaged-"), 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("AutoChangeInterval = 36 (hours)\n"));

    // Showing wrote nothing; a change writes a clean file with the right type, and
    // then there is nothing more to report.
    r = Cli({"AutoChangeInterval=36"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = Cli({});
    ASSERT_EQ(r.code, 0);
    EXPECT_FALSE(r.err.contains("ambience-cli:")) << r.err.toStdString();
}
