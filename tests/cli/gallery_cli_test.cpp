// ambience-cli now, history, favourite, ban, unban and show-again, run as a user
// runs them; and many ambience-cli processes changing the wallpaper at once on one
// record of the wall.
#include "gallery/wall_record.h"
#include "platform/single_instance.h"
#include "packs/zip_builder.h"
#include "support/temp_env.h"
#include "ui/test_packs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

namespace {

struct CliRun {
    int code = -1;
    QString out, err;
};

CliRun Cli(const QStringList& args)
{
    QProcess p;
    p.start(BuildBinDir() + "/ambience-cli", args);
    CliRun r;
    // The desktop program answers at idle priority: on a loaded machine, slowly.
    if (!p.waitForFinished(300000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

struct GalleryCliTest : ::testing::Test {
    TempEnv env;
    void SetUp() override
    {
        // No desktop: the wallpaper file is written (exit code 3), nothing is set.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
            qunsetenv(name);
        ASSERT_TRUE(uitest::WriteSimplePack(env.ProgramDir() + "/first.zip", "First", 1, 4));
        ASSERT_TRUE(uitest::WriteSimplePack(env.ProgramDir() + "/second.zip", "Second", 2, 2));
    }
    QString RecordFile() const { return env.DataHome() + "/Ambience/Ambience/wall.sqlite"; }
};

} // namespace

TEST_F(GalleryCliTest, CommandsReadAndMarkTheRecord)
{
    // An export only reads the record: without one it makes none.
    const QString exported = env.DataHome() + "/exported.jpg";
    ASSERT_EQ(Cli({"export", exported, "--size", "320x200"}).code, 0);
    EXPECT_FALSE(QFile::exists(RecordFile()));
    struct Row {
        QStringList args;
        int code;
        const char* out; // in stdout; may be null
        const char* err; // in stderr; may be null
    } rows[] = {
        {{"now"}, 0, "Nothing is recorded on the wall yet", nullptr},
        {{"favourite"}, 1, nullptr, "no picture of a pack is on the wall"},
        {{"next", "--size", "320x200"}, 3, ", 1 of 6 in all", nullptr},
        {{"now"}, 0, "Pack: First (first.zip), 01 - Title 1.jpg", nullptr},
        {{"favourite"}, 0, "Favourite: 01 - Title 1.jpg (first.zip)", nullptr},
        {{"now"}, 0, "Marked: favourite", nullptr},
        {{"ban", "First", "2"}, 0, "Never shown again: 02 - Title 2.jpg (first.zip)", nullptr},
        {{"next", "--size", "320x200"}, 3, ", 3 of 6 in all", nullptr},
        {{"back", "--size", "320x200"}, 3, ", 1 of 6 in all", nullptr},
        {{"ban"}, 0, "Never shown again: 01 - Title 1.jpg", nullptr},
        {{"refresh", "--size", "320x200"}, 3, ", 1 of 6 in all", nullptr}, // the ban waits for the next change
        {{"unban"}, 0, "Allowed again: 01 - Title 1.jpg", nullptr},
        {{"history", "--limit", "2"}, 0, "(favourite)", nullptr},
        {{"show-again", "2", "--size", "320x200"}, 3, ", 3 of 6 in all", nullptr},
        {{"export", exported, "--size", "320x200"}, 0, ", 3 of 6 in all", nullptr}, // the picture on the wall
        {{"options", "FavouritesOnly=on"}, 0, "FavouritesOnly = true", nullptr},
        {{"random", "--size", "320x200", "--seed", "5"}, 3, ", 1 of 6 in all", nullptr},
        {{"favourite", "off"}, 0, "No longer a favourite: 01 - Title 1.jpg", nullptr},
        {{"random", "--size", "320x200", "--seed", "5"}, 3, nullptr, "no installed picture is a favourite"},
        {{"unban", "gone.zip", "01 - Old.jpg"}, 0, "Allowed again: 01 - Old.jpg (gone.zip)", nullptr},
        {{"ban", "No Such Pack", "1"}, 2, nullptr, "No Such Pack"},
        {{"ban", "First", "9"}, 2, nullptr, "there is no picture 9"},
        {{"ban", "First"}, 2, nullptr, "usage: ambience-cli ban [PACK PICTURE]"},
        {{"favourite", "maybe"}, 2, nullptr, "\"on\" or \"off\""},
        {{"history", "--limit", "0"}, 2, nullptr, "--limit wants"},
        {{"show-again", "999"}, 1, nullptr, "no entry 999"},
        {{"show-again", "x"}, 2, nullptr, "usage: ambience-cli show-again N"},
        {{"show-again", "1", "--pack", "First"}, 2, nullptr, "do not apply"},
    };
    for (const Row& row : rows) {
        const CliRun r = Cli(row.args);
        const std::string what = row.args.join(' ').toStdString() + "\n" + r.out.toStdString() + r.err.toStdString();
        EXPECT_EQ(r.code, row.code) << what;
        if (row.out) {
            EXPECT_TRUE(r.out.contains(QString::fromUtf8(row.out))) << what;
        }
        if (row.err) {
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(row.err))) << what;
        }
    }

    // The JSON form has every field, newest first.
    const CliRun r = Cli({"history", "--json"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 7) << r.out.toStdString();
    const QJsonObject newest = list.first().toObject();
    EXPECT_EQ(newest["packFile"].toString(), "first.zip");
    EXPECT_TRUE(newest["primary"].toBool());
    EXPECT_GT(newest["entry"].toInteger(), list.last().toObject()["entry"].toInteger());
    EXPECT_TRUE(QFile::exists(newest["thumbnail"].toString()));
}

// A museum pack's work carries its page, credit and whole title into the record.
TEST_F(GalleryCliTest, AMuseumWorkIsRecordedWithItsSource)
{
    const QByteArray sources = R"({"01 - 1889 - Short - Painter.jpg": {"title": "The whole, long title",
        "page": "https://museum.example/works/42", "credit": "Gift of a friend", "licence": "CC0 1.0"}})";
    ASSERT_TRUE(ZipBuilder()
                    .Add("01 - 1889 - Short - Painter.jpg", TinyJpeg())
                    .Add("sources.json", sources)
                    .Comment(PackComment("Museum"))
                    .WriteTo(env.ProgramDir() + "/museum.zip"));
    ASSERT_EQ(Cli({"refresh", "--pack", "museum.zip", "--size", "320x200"}).code, 3);
    const CliRun r = Cli({"now"});
    for (const char* line : {"Picture: The whole, long title (1889, Painter)", "Pack: Museum (museum.zip)",
                             "Source: https://museum.example/works/42", "Credit: Gift of a friend",
                             "Licence: CC0 1.0"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(line))) << line << "\n" << r.out.toStdString();
}

TEST_F(GalleryCliTest, ADamagedRecordIsToldAndTheChangeStillHappens)
{
    QDir().mkpath(env.DataHome() + "/Ambience/Ambience");
    QFile damaged(RecordFile());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("not a record of anything\n").repeated(400));
    damaged.close();

    CliRun r = Cli({"next", "--size", "320x200"});
    EXPECT_EQ(r.code, 3) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(", 1 of 6 in all")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("is damaged")) << r.err.toStdString();
    r = Cli({"now"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(RecordFile())) << r.err.toStdString();
}

// A runtime folder of the test's own, where the desktop program's socket lies,
// and the desktop program started at login, waited for until it takes requests.
void PrivateRuntime(const TempEnv& env)
{
    const QString runtime = env.Root() + "/run";
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

void StartProgram(QProcess& program)
{
    program.start(BuildBinDir() + "/ambience", {"/startup"});
    ASSERT_TRUE(program.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    QString answer;
    while ((answer = platform::SingleInstance::Ask("Ambience", "ping", 2000)) != "ok" && waited.elapsed() < 90000)
        QThread::msleep(50);
    ASSERT_EQ(answer, "ok");
}

struct Stop {
    QProcess& program;
    ~Stop()
    {
        program.terminate();
        program.waitForFinished(60000);
        qunsetenv("XDG_RUNTIME_DIR");
    }
};

// The running program takes refresh, next and show-again from the command line,
// starting from the picture the record says is on the wall.
TEST_F(GalleryCliTest, TheRunningProgramStepsFromTheWallAndShowsAgain)
{
    ASSERT_NO_FATAL_FAILURE(PrivateRuntime(env));
    ASSERT_EQ(Cli({"next"}).code, 3); // nobody runs: done here, 1 of 6
    ASSERT_EQ(Cli({"next"}).code, 3); // 2 of 6
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(StartProgram(program));
    Stop stop{program};
    auto record = gallery::WallRecord::Open(RecordFile());
    ASSERT_TRUE(record.ok());
    const auto onWall = [&] {
        const gallery::WallEntry e = (*record)->OnWall().value().front();
        return e.packFile + "/" + e.entry;
    };
    struct Row {
        QStringList args;
        const char* entry;
        bool handedOver = true;
    } rows[] = {
        {{"refresh"}, "first.zip/02 - Title 2.jpg"},
        {{"next"}, "first.zip/03 - Title 3.jpg"},
        {{"show-again", "1"}, "first.zip/01 - Title 1.jpg"},
        {{"back"}, "second.zip/02 - Title 2.jpg"}, // from the first, back wraps to the last
        // Changed behind the running program's back: it steps from the wall, not
        // from what its window last selected.
        {{"next", "--local", "--size", "320x200"}, "first.zip/01 - Title 1.jpg", false},
        {{"refresh"}, "first.zip/01 - Title 1.jpg"},
        {{"next"}, "first.zip/02 - Title 2.jpg"},
    };
    for (const Row& row : rows) {
        const CliRun r = Cli(row.args);
        EXPECT_EQ(r.code, 3) << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out.contains("not set by the running Ambience"), row.handedOver) << r.out.toStdString();
        EXPECT_EQ(onWall(), row.entry) << row.args.join(' ').toStdString();
    }
    const CliRun gone = Cli({"show-again", "999"});
    EXPECT_EQ(gone.code, 1);
}

// Eight processes make fifty changes each on one record while this process reads
// it: seven ambience-cli processes changing the wallpaper themselves, and one
// handing its changes to the running desktop program, which records them. Every
// change is kept, and every read sees whole changes only.
TEST_F(GalleryCliTest, EightProcessesChangingAtOnceLoseNoRow)
{
    ASSERT_NO_FATAL_FAILURE(PrivateRuntime(env));
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(StartProgram(program));
    Stop stop{program};
    constexpr int kProcesses = 8, kChanges = 50;
    const QString loop = QStringLiteral(
        "for i in $(seq %1); do \"$0\" next $1 >/dev/null 2>&1; c=$?; "
        "[ $c -eq 3 ] || [ $c -eq 0 ] || exit $c; done").arg(kChanges);
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kProcesses; ++i) {
        writers.push_back(std::make_unique<QProcess>());
        // The first hands over (no options); the others compose here.
        const QString options = i == 0 ? QString() : QStringLiteral("--local --size 320x200");
        writers.back()->start("bash", {"-c", loop, BuildBinDir() + "/ambience-cli", options});
        ASSERT_TRUE(writers.back()->waitForStarted());
    }
    auto record = gallery::WallRecord::Open(RecordFile());
    ASSERT_TRUE(record.ok()) << record.error().text;
    size_t seen = 0;
    int reads = 0;
    for (auto& writer : writers) {
        while (!writer->waitForFinished(25)) {
            const auto rows = (*record)->History();
            ASSERT_TRUE(rows.ok()) << rows.error().text;
            EXPECT_GE(rows->size(), seen);
            seen = rows->size();
            ++reads;
            for (const gallery::WallEntry& e : *rows)
                ASSERT_FALSE(e.packFile.isEmpty());
        }
        EXPECT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
    }
    const auto rows = (*record)->History();
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(int(rows->size()), kProcesses * kChanges);
    std::set<qint64> changes;
    for (const gallery::WallEntry& e : *rows)
        changes.insert(e.change);
    EXPECT_EQ(int(changes.size()), kProcesses * kChanges);
    // The desktop program's fifty are among them: composed at its own screen's
    // size, so their thumbnails are not of the others' 320 x 200.
    EXPECT_EQ(std::count_if(rows->begin(), rows->end(),
                            [](const gallery::WallEntry& e) { return QImage(e.thumbnail).size() != QSize(320, 200); }),
              kChanges);
    EXPECT_GT(reads, 0);
}

// A desktop program at idle priority on a busy machine can be slow to answer even
// a ping. While one listens, ambience-cli waits for it instead of composing a
// second change beside it, and one that hangs up is told, with nothing changed.
TEST_F(GalleryCliTest, AListeningProgramIsWaitedForAndNeverComposedBeside)
{
    ASSERT_NO_FATAL_FAILURE(PrivateRuntime(env));
    struct Row {
        int pingDelayMs; // -1: hangs up instead of answering
        int code;
        const char* says;
    } rows[] = {
        {4000, 0, "Wallpaper: set by the running Ambience"},
        {-1, 1, "the running Ambience does not answer, so nothing was changed"},
    };
    for (const Row& row : rows) {
        auto standIn = std::make_unique<platform::SingleInstance>(QStringLiteral("Ambience"));
        ASSERT_TRUE(standIn->Claim());
        platform::SingleInstance* instance = standIn.get();
        QObject::connect(instance, &platform::SingleInstance::MessageReceived, instance,
                         [&, instance](const QString& message, quintptr connection) {
                             if (message != QLatin1String("ping"))
                                 instance->Reply(connection, QStringLiteral("done\tthe stand-in's picture"));
                             else if (row.pingDelayMs >= 0)
                                 QTimer::singleShot(row.pingDelayMs, instance,
                                                    [instance, connection] { instance->Reply(connection, "ok"); });
                             else
                                 QTimer::singleShot(0, [&standIn] { standIn.reset(); });
                         });
        QProcess cli;
        QEventLoop loop;
        QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        cli.start(BuildBinDir() + "/ambience-cli", {"next"});
        loop.exec();
        ASSERT_EQ(cli.state(), QProcess::NotRunning);
        const QString said = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
        EXPECT_EQ(cli.exitCode(), row.code) << said.toStdString();
        EXPECT_TRUE(said.contains(QLatin1String(row.says))) << said.toStdString();
        EXPECT_FALSE(QFile::exists(RecordFile())) << "ambience-cli composed a change of its own";
    }
    qunsetenv("XDG_RUNTIME_DIR");
}
