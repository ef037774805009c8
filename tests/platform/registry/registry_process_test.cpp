// Real processes against one store: a writer dying before its rename, and two
// writers at once.
#include "platform/registry.h"

#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using platform::Registry;

namespace {

const QString kKey = QStringLiteral("\\Software\\Test");

QString Writer() { return BuildBinDir() + "/registry_writer"; }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Leftovers(const TempEnv& env)
{
    return QDir(env.ConfigHome() + "/Ambience").entryList({".ambience-*.tmp"}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(RegistryProcesses, CrashBetweenWriteAndRenameLeavesTheOldFile)
{
    TempEnv env;
    Registry store(env.RegistryFile());
    store.WriteInteger(kKey, "Kept", 1);
    const QByteArray before = ReadAll(env.RegistryFile());

    QProcess writer;
    writer.start(Writer(), {env.RegistryFile(), "crash", "New", "2"});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(writer.exitCode(), 3) << writer.readAllStandardError().toStdString();

    // The complete new version sits in its temporary file; the store is untouched.
    const QStringList leftovers = Leftovers(env);
    ASSERT_EQ(leftovers.size(), 1);
    EXPECT_TRUE(ReadAll(env.ConfigHome() + "/Ambience/" + leftovers[0]).contains("\"New\"=dword:00000002"));
    EXPECT_EQ(ReadAll(env.RegistryFile()), before);
    Registry after(env.RegistryFile());
    EXPECT_EQ(after.ReadInteger(kKey, "Kept"), 1);
    EXPECT_EQ(after.ReadInteger(kKey, "New"), std::nullopt);
    EXPECT_TRUE(after.TakeDamageNotice().isEmpty());

    // The dead writer's lock is gone with it, and the next write clears its leftovers.
    after.WriteInteger(kKey, "Later", 3);
    EXPECT_TRUE(Leftovers(env).isEmpty());
    EXPECT_EQ(Registry(env.RegistryFile()).ReadInteger(kKey, "Later"), 3);
}

TEST(RegistryProcesses, TwoWritersAtOnceBothKeepAllTheirValues)
{
    TempEnv env;
    constexpr int kCount = 150;
    QProcess a, b;
    a.start(Writer(), {env.RegistryFile(), "write", "A", QString::number(kCount)});
    b.start(Writer(), {env.RegistryFile(), "write", "B", QString::number(kCount)});
    // Meanwhile this process writes too.
    Registry store(env.RegistryFile());
    for (int i = 0; i < 50; ++i)
        store.WriteInteger(kKey, QStringLiteral("C%1").arg(i), i);
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    ASSERT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    ASSERT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();

    Registry result(env.RegistryFile());
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(result.ReadInteger(kKey, QStringLiteral("A%1").arg(i)), i);
        EXPECT_EQ(result.ReadInteger(kKey, QStringLiteral("B%1").arg(i)), i);
    }
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(result.ReadInteger(kKey, QStringLiteral("C%1").arg(i)), i);
    EXPECT_TRUE(result.TakeDamageNotice().isEmpty());
    EXPECT_TRUE(Leftovers(env).isEmpty());
}
