// ambience-cli on an encrypted pack: --password opens it, a wrong one and a
// missing one (no terminal to ask on) are refused with a sentence naming the pack,
// and a keyring that cannot be reached is passed over without a word.
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

CliRun Cli(const TempEnv& env, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("AMBIENCE_PROGRAM_DIR", env.ProgramDir());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // A session bus that is not there, so no keyring is reached, not even the machine's.
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Root() + "/no-bus");
    environment.insert("XDG_RUNTIME_DIR", env.Root());
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice()); // no terminal to ask on
    process.start(BuildBinDir() + "/ambience-cli", args);
    CliRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(PackPasswordCli, PasswordGivenWrongOrMissing)
{
    struct Case {
        const char* name;
        QStringList extra;
        int code;
        QStringList said; // in the error output
    };
    const Case cases[] = {
        {"right", {"--password", "secret"}, 0, {}},
        {"right, as --password=", {"--password=secret"}, 0, {}},
        {"wrong", {"--password", "nope"}, 2, {"does not open the pack", "Locked with 7-Zip", "Locked.zip"}},
        {"missing", {}, 2, {"is encrypted", "--password", "Locked with 7-Zip", "terminal"}},
    };
    TempEnv env;
    ASSERT_TRUE(QDir().mkpath(env.ProgramDir()));
    ASSERT_TRUE(QFile::copy(TestDataDir() + "/packs/aes-7zip.zip", env.ProgramDir() + "/Locked.zip"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = env.Root() + "/out.jpg";
        QFile::remove(out);
        const CliRun run = Cli(env, QStringList{"export", out, "--size", "320x200", "--pack", "Locked with 7-Zip"} + c.extra);
        EXPECT_EQ(run.code, c.code) << run.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(out), c.code == 0);
        for (const QString& part : c.said)
            EXPECT_TRUE(run.err.contains(part)) << run.err.toStdString();
        if (c.code != 0) { // one sentence, not the archive's error beside it
            EXPECT_EQ(run.err.count("Locked with 7-Zip"), 1) << run.err.toStdString();
        }
    }
}

} // namespace
