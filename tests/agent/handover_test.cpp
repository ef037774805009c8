// ambience-cli hands refresh, random, next and back to a running desktop program
// (here on the offscreen platform), which carries them out and counts them.
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// A runtime folder of the test's own, where the program's socket lies.
void PrivateRuntime(const TempEnv& env)
{
    const QString runtime = env.Root() + "/run";
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Starts the desktop program at login and waits until it takes requests.
void StartProgram(QProcess& program)
{
    program.start(BuildBinDir() + "/ambience", {"/startup"});
    ASSERT_TRUE(program.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    QString answer;
    while ((answer = platform::SingleInstance::Ask("Ambience", "ping", 2000)) != "ok" && waited.elapsed() < 90000)
        QThread::msleep(100);
    ASSERT_EQ(answer, "ok");
}

TEST(HandOver, TheRunningProgramCarriesOutTheCommandLinesAction)
{
    TempEnv env;
    ASSERT_NO_FATAL_FAILURE(PrivateRuntime(env));

    // Nobody runs yet: the command does the work itself.
    QProcess cli;
    cli.start(BuildBinDir() + "/ambience-cli", {"next"});
    ASSERT_TRUE(cli.waitForFinished(120000));
    EXPECT_FALSE(cli.readAllStandardOutput().contains("running Ambience"));

    QProcess program;
    ASSERT_NO_FATAL_FAILURE(StartProgram(program));

    platform::Registry store(env.RegistryFile());
    const QString key = "\\Software\\Ambience\\Ambience\\Options";
    const int before = store.ReadInteger(key, "DesktopsChanged").value_or(-1);

    cli.start(BuildBinDir() + "/ambience-cli", {"next"});
    ASSERT_TRUE(cli.waitForFinished(120000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    // Offscreen there is no desktop to take the picture: written, counted, not set.
    EXPECT_EQ(cli.exitCode(), 3) << out.toStdString() << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("not set by the running Ambience")) << out.toStdString();
    EXPECT_EQ(store.ReadInteger(key, "DesktopsChanged").value_or(-1), before + 1);

    // An unknown request changes nothing and the program stays.
    EXPECT_EQ(platform::SingleInstance::Ask("Ambience", "action sideways", 60000), "ok");
    EXPECT_EQ(store.ReadInteger(key, "DesktopsChanged").value_or(-1), before + 1);

    program.terminate();
    EXPECT_TRUE(program.waitForFinished(60000));
    qunsetenv("XDG_RUNTIME_DIR");
}

TEST(HandOver, AMessageBoxStandingInTheProgramDoesNotHoldTheAnswerBack)
{
    TempEnv env;
    ASSERT_NO_FATAL_FAILURE(PrivateRuntime(env));
    // A damaged settings file: the program's first words are a message box, and
    // nobody here closes it.
    QDir().mkpath(QFileInfo(env.RegistryFile()).path());
    QFile damaged(env.RegistryFile());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is no settings file\n\x01\x02");
    damaged.close();

    QProcess program;
    ASSERT_NO_FATAL_FAILURE(StartProgram(program));

    QProcess cli;
    QElapsedTimer answered;
    answered.start();
    cli.start(BuildBinDir() + "/ambience-cli", {"next"});
    ASSERT_TRUE(cli.waitForFinished(120000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(cli.exitCode(), 3) << out.toStdString() << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("not set by the running Ambience")) << out.toStdString();
    std::printf("answered in %lld ms with the box open\n", static_cast<long long>(answered.elapsed()));
    EXPECT_EQ(program.state(), QProcess::Running);

    program.terminate();
    EXPECT_TRUE(program.waitForFinished(60000));
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace
