// ambience-cli's pack commands, run as a user would run them, on a packs folder of
// their own and on the sample packs the build places beside the programs.
#include "packs/zip_builder.h"

#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args, const QString& programDir = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!programDir.isEmpty())
        environment.insert(QStringLiteral("AMBIENCE_PROGRAM_DIR"), programDir);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice()); // no terminal to ask on
    process.start(BuildBinDir() + QStringLiteral("/ambience-cli"), args);
    CliRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(PacksCli, InstallListAndRemove)
{
    TempEnv env;
    const QString packs = env.ProgramDir();
    CliRun run = Cli({"packs"}, packs);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("No packs installed")) << run.out.toStdString();

    const QString source = env.Root() + "/Night Sky.zip";
    ZipBuilder().Add("1 - 1990 - Stars - Ann.jpg", TinyJpeg()).Comment(PackComment("Night Sky", {}, 6)).WriteTo(source);
    run = Cli({"install", source}, packs);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    const QString installed = env.UserPacksDir() + "/Night Sky.zip"; // the user's own folder
    EXPECT_TRUE(QFile::exists(installed));

    const QString notes = env.Root() + "/notes.txt";
    QFile(notes).open(QIODevice::WriteOnly);
    run = Cli({"install", notes}, packs);
    EXPECT_NE(run.code, 0);
    EXPECT_TRUE(run.err.contains(".zip")) << run.err.toStdString();

    run = Cli({"packs"}, packs);
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(QRegularExpression("Night Sky\\s+6\\s+1\\s+.*Night Sky\\.zip").match(run.out).hasMatch())
        << run.out.toStdString();

    run = Cli({"pack", "show", "night sky"}, packs);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("1\t1990\tStars\tAnn\t1 - 1990 - Stars - Ann.jpg")) << run.out.toStdString();

    // Without a terminal and without --yes nothing is deleted.
    run = Cli({"remove", "Night Sky"}, packs);
    EXPECT_NE(run.code, 0);
    EXPECT_TRUE(QFile::exists(installed));
    run = Cli({"remove", "Unknown"}, packs);
    EXPECT_NE(run.code, 0);
    run = Cli({"remove", "--yes", "Night Sky"}, packs);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(installed));
}

TEST(PacksCli, ShowReportsPicturesThatDoNotDecode)
{
    TempEnv env;
    const QString file = env.Root() + "/mixed.zip";
    ZipBuilder()
        .Add("1 - Good.jpg", TinyJpeg())
        .Add("2 - Bad.emf", "garbage")
        .Comment(PackComment("Mixed"))
        .WriteTo(file);
    const CliRun run = Cli({"pack", "show", file, "--check"}, env.ProgramDir());
    EXPECT_NE(run.code, 0);
    EXPECT_TRUE(run.out.contains("ok 48 x 32")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("\terror 23: ")) << run.out.toStdString();
}

// The build generates the sample packs beside the programs; every picture decodes.
TEST(PacksCli, SamplePacksAreInstalledAndDecode)
{
    TempEnv env;
    const QString bin = BuildBinDir(); // the program folder of the built programs
    CliRun run = Cli({"packs"}, bin);
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Ambience Gallery")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("Ambience Lines")) << run.out.toStdString();

    const QRegularExpression ok("\tok (\\d+) x (\\d+) pixels( \\(metafile\\))?$", QRegularExpression::MultilineOption);
    struct Expect {
        const char* file;
        int minimum;
        bool metafile;
    };
    for (const Expect& e : {Expect{"ambience-gallery.zip", 10, false}, Expect{"ambience-lines.zip", 4, true}}) {
        SCOPED_TRACE(e.file);
        run = Cli({"pack", "show", bin + "/" + e.file, "--check"}, bin);
        EXPECT_EQ(run.code, 0) << run.err.toStdString() << run.out.toStdString();
        int count = 0;
        for (auto it = ok.globalMatch(run.out); it.hasNext();) {
            const auto m = it.next();
            ++count;
            EXPECT_EQ(m.hasCaptured(3), e.metafile) << m.captured(0).toStdString();
            for (int side : {m.captured(1).toInt(), m.captured(2).toInt()}) {
                EXPECT_GE(side, 1000);
                EXPECT_LE(side, 3000);
            }
        }
        EXPECT_GE(count, e.minimum) << run.out.toStdString();
    }
}

} // namespace
