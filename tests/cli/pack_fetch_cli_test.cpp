// ambience-cli pack fetch, run as a user runs it, against the stand-in museum
// server: the pack installed and listed, the second run from the cache, Ctrl+C,
// and the command line's mistakes.
#include "graphics/jpeg.h"
#include "support/museum_server.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QDirIterator>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using testsupport::FileAnswer;
using testsupport::JsonAnswer;
using testsupport::MuseumFixture;
using testsupport::Route;

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

class PackFetchCli : public ::testing::Test {
protected:
    TempEnv env;

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("AMBIENCE_PROGRAM_DIR", env.ProgramDir());
        environment.insert("XDG_CACHE_HOME", env.Root() + "/cache");
        environment.insert("AMBIENCE_MUSEUM_RATE", "50/1000");
        environment.insert("AMBIENCE_MUSEUM_RETRY_MS", "20");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        return environment;
    }

    CliRun Cli(const QStringList& args, const QProcessEnvironment& environment)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(BuildBinDir() + "/ambience-cli", args);
        CliRun run;
        if (!process.waitForFinished(120000))
            return run;
        run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    CliRun Cli(const QStringList& args) { return Cli(args, Environment()); }

    QString Image(const char* name, int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * 3; ++x)
                image.scanLine(y)[x] = static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF);
        const QString path = env.Root() + "/" + name;
        EXPECT_TRUE(graphics::SaveJpeg(image, path).ok());
        return path;
    }

    QJsonArray MetRoutes(const QJsonObject& wheatImage)
    {
        const QString objects = "/public/collection/v1/objects/";
        return {Route("/public/collection/v1.1/search", {JsonAnswer(MuseumFixture("met_search.json"))}),
                Route(objects + "436535", {JsonAnswer(MuseumFixture("met_object_436535.json"))}),
                Route(objects + "485938", {JsonAnswer(MuseumFixture("met_object_485938.json"))}),
                Route(objects + "11111", {JsonAnswer(MuseumFixture("met_object_11111.json"))}),
                Route(objects + "45734", {JsonAnswer(MuseumFixture("met_object_45734.json"))}),
                Route("/CRDImages/ep/web-large/DT1567.jpg", {wheatImage}),
                Route("/CRDImages/as/web-large/DP251139.jpg", {FileAnswer(Image("quail.jpg", 60, 90))})};
    }

    QStringList Files(const QString& folder) const
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QFileInfo(it.next()).fileName();
        return files;
    }
};

TEST_F(PackFetchCli, InstallsThePackAndASecondRunComesFromTheCache)
{
    testsupport::MuseumServer server(MetRoutes(FileAnswer(Image("wheat.jpg", 120, 80))));
    ASSERT_TRUE(server.Running());
    CliRun run = Cli({"pack", "fetch", "met", "--query", "landscape", "--count", "5", "--install", "--api-base",
                      server.Base()});
    ASSERT_EQ(run.code, 0) << run.err.toStdString() << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("Skipped \"The Song of Orpheus\" (485938): not in the public domain")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("Skipped \"Unphotographed Sketch\" (11111): no image"));
    EXPECT_TRUE(run.out.contains("2 work(s) in the pack: 2 downloaded")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("Installed"));
    const QString pack = env.UserPacksDir() + "/The Metropolitan Museum of Art_ landscape.zip";
    ASSERT_TRUE(QFileInfo::exists(pack)) << run.out.toStdString();

    run = Cli({"pack", "show", pack});
    EXPECT_TRUE(run.out.contains("1889\tWheat Field with Cypresses\tVincent van Gogh")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("1667\tQuail and Millet\tKiyohara Yukinobu"));

    // The same fetch again, the server named through the environment: nothing is asked.
    const std::size_t asked = server.Requests().size();
    QProcessEnvironment environment = Environment();
    environment.insert("AMBIENCE_API_BASE_MET", server.Base());
    run = Cli({"pack", "fetch", "met", "--query", "landscape", "--count", "5", "--out", env.Root() + "/again.zip"},
              environment);
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("0 downloaded (0 KB), 2 from the cache")) << run.out.toStdString();
    EXPECT_EQ(server.Requests().size(), asked);
    EXPECT_TRUE(QFileInfo::exists(env.Root() + "/again.zip"));
}

TEST_F(PackFetchCli, CtrlCLeavesNoPackAndNoPartialImage)
{
    // The image comes slowly: Ctrl+C arrives while the program waits for it.
    testsupport::MuseumServer server(
        MetRoutes(QJsonObject{{"status", 200}, {"file", Image("wheat.jpg", 120, 80)}, {"delay_ms", 20000}}));
    ASSERT_TRUE(server.Running());
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(BuildBinDir() + "/ambience-cli",
                  {"pack", "fetch", "met", "--install", "--count", "5", "--api-base", server.Base()});
    ASSERT_TRUE(process.waitForStarted());
    // The original is asked first (this server has none), then the web size, which comes slowly.
    for (int i = 0; i < 400 && server.Count("/CRDImages/ep/web-large/") == 0; ++i)
        QThread::msleep(25);
    ASSERT_EQ(server.Count("/CRDImages/ep/web-large/"), 1);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(15000));
    EXPECT_EQ(process.exitCode(), 130) << process.readAllStandardError().toStdString();
    EXPECT_EQ(Files(env.UserPacksDir()), QStringList{});
    EXPECT_EQ(Files(env.Root() + "/cache").filter(".part"), QStringList{});
    EXPECT_EQ(Files(env.Root() + "/cache").filter(".tmp"), QStringList{});
}

// A fetch killed with signal 9 in the middle of an image leaves its download; the
// next fetch removes it and makes the pack.
TEST_F(PackFetchCli, AFetchKilledWithSignal9LeavesNothingTheNextKeeps)
{
    QJsonArray routes = MetRoutes(QJsonObject{{"status", 200}, {"file", Image("wheat.jpg", 80, 60)},
                                              {"drip_ms", 2}});
    testsupport::MuseumServer server(routes);
    ASSERT_TRUE(server.Running());
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(BuildBinDir() + "/ambience-cli",
                  {"pack", "fetch", "met", "--count", "5", "--api-base", server.Base(), "--out", env.Root() + "/killed.zip"});
    ASSERT_TRUE(process.waitForStarted());
    // Seen once is enough: the download may be finished and renamed before a
    // second look.
    bool began = false;
    for (int i = 0; i < 400 && !began; ++i) {
        began = !Files(env.Root() + "/cache").filter(".tmp").isEmpty();
        if (!began)
            QThread::msleep(25);
    }
    ASSERT_TRUE(began) << "the download never began";
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(15000));
    EXPECT_FALSE(QFileInfo::exists(env.Root() + "/killed.zip"));

    const CliRun run = Cli({"pack", "fetch", "met", "--count", "5", "--api-base", server.Base(), "--out",
                            env.Root() + "/again.zip"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(env.Root() + "/again.zip"));
    EXPECT_EQ(Files(env.Root() + "/cache").filter(".tmp"), QStringList{});
    EXPECT_EQ(Files(env.Root()).filter(".ambience-"), QStringList{});
}

// --out onto a file that is no pack (a person's picture) leaves it alone unless
// --force says to replace it; an older pack is replaced as before.
TEST_F(PackFetchCli, OutOntoAFileThatIsNoPackIsRefusedUnlessForced)
{
    testsupport::MuseumServer server(MetRoutes(FileAnswer(Image("wheat.jpg", 120, 80))));
    ASSERT_TRUE(server.Running());
    const QString picture = Image("holiday.jpg", 40, 30);
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const QStringList fetch = {"pack", "fetch", "met", "--count", "5", "--api-base", server.Base(), "--out", picture};

    CliRun run = Cli(fetch);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains("exists and is no pack (ZIP archive)")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--force"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    EXPECT_EQ(server.Requests().size(), 0u); // refused before anything was asked

    run = Cli(QStringList(fetch) << "--force");
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2) == "PK");
    file.close();
    // Now a pack: replaced again without --force.
    run = Cli(fetch);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
}

TEST_F(PackFetchCli, MistakesOnTheCommandLineAskNothing)
{
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{"pack", "fetch"}, "which museum"},
        {{"pack", "fetch", "louvre"}, "aic (Art Institute of Chicago)"},
        {{"pack", "fetch", "aic", "--count", "0"}, "--count takes"},
        {{"pack", "fetch", "aic", "--out", "a.zip", "--install"}, "either --out or --install"},
        {{"pack", "fetch", "cma", "--api-base", "ftp://example"}, "--api-base"},
        {{"pack", "fetch", "met", "--colour"}, "unknown option --colour"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.says))) << run.err.toStdString();
    }
    EXPECT_FALSE(QDir(env.Root() + "/cache").exists()); // no fetch began
}

} // namespace
