// ambience-cli refresh, next, back, random and export over a folder of packs, in a
// temporary home: what they select, what they write, what they count.
#include "support/peak_memory.h"
#include "support/temp_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args)
{
    QProcess p;
    p.start(BuildBinDir() + "/ambience-cli", args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString Registry(const TempEnv& env)
{
    QFile f(env.RegistryFile());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

struct CliTest : ::testing::Test {
    TempEnv env;
    void SetUp() override
    {
        // No desktop to talk to: the wallpaper file is written, the setting is not.
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        ASSERT_TRUE(QFile::copy(TestDataDir() + "/packs/infozip-pack.zip", env.ProgramDir() + "/infozip-pack.zip"));
    }
};

} // namespace

TEST_F(CliTest, NextAndBackStepThroughAllPicturesAndRememberWhereTheyAre)
{
    CliRun r = Cli({"next", "--size", "320x200", "--seed", "1"});
    EXPECT_EQ(r.code, 3) << r.err.toStdString(); // written, but no desktop took it
    EXPECT_TRUE(r.out.contains("Picture: 1 of 2 in the pack, 1 of 2 in all")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("ambience.bmp"));
    const QImage wallpaper(env.DataHome() + "/Ambience/Ambience/ambience.bmp");
    EXPECT_EQ(wallpaper.size(), QSize(320, 200));

    r = Cli({"next", "--size", "320x200"});
    EXPECT_TRUE(r.out.contains("2 of 2 in all")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Blue Check (1950, Some Painter)")) << r.out.toStdString();
    r = Cli({"next", "--size", "320x200"}); // wraps to the first
    EXPECT_TRUE(r.out.contains("1 of 2 in all")) << r.out.toStdString();
    r = Cli({"back", "--size", "320x200"}); // wraps to the last
    EXPECT_TRUE(r.out.contains("2 of 2 in all")) << r.out.toStdString();
    r = Cli({"refresh", "--size", "320x200"}); // the same again
    EXPECT_TRUE(r.out.contains("2 of 2 in all")) << r.out.toStdString();

    // Five changes counted and recorded; the record of the wall names the picture.
    const QString store = Registry(env);
    EXPECT_TRUE(store.contains("\"DesktopsChanged\"=dword:00000005")) << store.toStdString();
    r = Cli({"now"});
    EXPECT_TRUE(r.out.contains("Pack: Made with zip (infozip-pack.zip), Art/02 - 1950 - Blue Check - Some Painter.jpg"))
        << r.out.toStdString();
    EXPECT_EQ(Cli({"history"}).out.count('\n'), 5);
}

TEST_F(CliTest, ExportChangesNothingButItsFile)
{
    const QString file = env.Root() + "/expo.jpg";
    CliRun r = Cli({"export", file, "--size", "200x150", "--pack", "Made with zip", "--picture", "2", "--background", "Smoothed"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(file).size(), QSize(200, 150));
    EXPECT_FALSE(QFile::exists(env.DataHome() + "/Ambience/Ambience/ambience.bmp"));
    EXPECT_FALSE(Registry(env).contains("LastPicture"));
    EXPECT_TRUE(Cli({"history"}).out.isEmpty()); // an export is not a change of the wall
    EXPECT_TRUE(Registry(env).contains("\"DesktopsChanged\"=dword:00000000"));
    // The override held for that run only.
    EXPECT_TRUE(Registry(env).contains("\"BackgroundType\"=dword:00000000"));
}

// Layouts whose pictures would take gigabytes are refused before anything is
// allocated or written: the process stays small and leaves no file behind.
TEST_F(CliTest, LayoutsPastTheBoundAreRefusedBeforeAnythingIsAllocated)
{
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"next", "--monitors", "A=400x400+0+0,B=400x400+32000+32000"}, "spanning the monitors would be 32400 x 32400"},
        {{"random", "--monitors", "A=32767x32767+0+0"}, "would be 32767 x 32767"},
        {{"export", env.Root() + "/huge.jpg", "--size", "20000x20000"}, "would be 20000 x 20000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const testsupport::MeasuredRun r = testsupport::RunMeasured(BuildBinDir() + "/ambience-cli", c.args);
        EXPECT_EQ(r.code, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
        EXPECT_LT(r.peakMb, 250); // one 32400 x 32400 canvas alone would be 4 GB
    }
    EXPECT_FALSE(QFile::exists(env.Root() + "/huge.jpg"));
    for (QDirIterator it(env.DataHome(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        EXPECT_TRUE(file.endsWith(".sqlite") || file.contains(".sqlite-")) << file.toStdString();
    }
    EXPECT_TRUE(Cli({"history"}).out.isEmpty());
}

TEST_F(CliTest, BadRequestsAreRefusedClearly)
{
    struct Case {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"next", "--size", "10"}, "--size wants"},
        {{"next", "--size", "10x10"}, "at least 320 x 200 pixels, not 10 x 10"},
        {{"random", "--monitors", "A=1920x1080+0+0,B=100x100+1920+0"}, "not 100 x 100"},
        {{"next", "--size", "199x320"}, "not 199 x 320"},
        {{"next", "--pack", "No Such Pack"}, "No Such Pack"},
        {{"refresh", "--picture", "9", "--pack", "infozip-pack.zip"}, "there is no picture 9"},
        {{"random", "--background", "Sparkly"}, "Sparkly"},
        {{"export"}, "which file"},
        {{"next", "--frobnicate"}, "unknown option"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    }
    const CliRun r = Cli({"export", env.Root() + "/missing/folder/x.jpg", "--size", "50x50"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("missing/folder/x.jpg")) << r.err.toStdString();
}
