// Many ambience-cli processes on one settings store at once, and a store that
// cannot be written: no process loses another's change, the count is exact, and
// commands that only read go on working.
#include "platform/registry.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const QString kKey = QStringLiteral("\\Software\\Ambience\\Ambience\\Options");

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

// Starts all, then waits for all.
std::vector<CliRun> RunAll(const std::vector<QStringList>& commands)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList& args : commands) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(BuildBinDir() + "/ambience-cli", args);
    }
    std::vector<CliRun> runs;
    for (auto& p : processes) {
        p->waitForFinished(180000);
        runs.push_back({p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1,
                        QString::fromUtf8(p->readAllStandardOutput()), QString::fromUtf8(p->readAllStandardError())});
    }
    return runs;
}

TEST(SharedStore, ParallelWritersKeepEveryValueAndEveryCount)
{
    TempEnv env;
    ASSERT_EQ(RunAll({{"options", "AutoChangeEnabled=off"}})[0].code, 0);
    // Eight processes, each setting a different option.
    const std::vector<std::pair<QString, int>> assignments = {
        {"AutoChangeInterval", 12}, {"AutoChangeIcon", 2},  {"BackgroundType", 3},  {"PictureOrientation", 2},
        {"PictureSize", 3},         {"ColorInfluence", 5}, {"ColorLightness", 2}, {"ColorSaturation", 0},
    };
    std::vector<QStringList> writers;
    for (const auto& [name, value] : assignments)
        writers.push_back({"options", QStringLiteral("%1=%2").arg(name).arg(value)});
    for (const CliRun& r : RunAll(writers))
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
    platform::Registry store(env.RegistryFile());
    for (const auto& [name, value] : assignments)
        EXPECT_EQ(store.ReadInteger(kKey, name), value) << name.toStdString();

    // Eighty refreshes at once: eighty changes counted.
    std::vector<QStringList> refreshes(80, QStringList{"refresh", "--local", "--size", "320x200"});
    for (const CliRun& r : RunAll(refreshes))
        EXPECT_EQ(r.code, 3) << r.err.toStdString(); // written; no desktop here took it
    EXPECT_EQ(platform::Registry(env.RegistryFile()).ReadInteger(kKey, "DesktopsChanged"), 80);
    // And the options the writers set are still there.
    EXPECT_EQ(platform::Registry(env.RegistryFile()).ReadInteger(kKey, "BackgroundType"), 3);
}

TEST(SharedStore, AnUnwritableStoreLetsReadingCommandsWorkAndSavingOnesSaySo)
{
    TempEnv env;
    // The store's folder cannot be made: a file stands in its place.
    QDir().mkpath(env.ConfigHome());
    QFile blocker(env.ConfigHome() + "/Ambience");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    struct Case {
        QStringList args;
        int code;
    };
    const Case cases[] = {
        {{"options"}, 0},
        {{"packs"}, 0},
        {{"export", env.Root() + "/expo.jpg", "--size", "32x24"}, 0},
        {{"options", "PictureSize=0"}, 1},
        {{"refresh", "--local", "--size", "320x200"}, 1},
    };
    for (const Case& c : cases) {
        const CliRun r = RunAll({c.args})[0];
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        if (c.code != 0) {
            EXPECT_TRUE(r.err.contains("cannot save the settings")) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(env.ConfigHome() + "/Ambience")) << r.err.toStdString();
        }
    }
    EXPECT_TRUE(QFile::exists(env.Root() + "/expo.jpg"));
}

} // namespace
