// ambience-cli against what a hostile tester tries: displays that are not there,
// platforms that cannot start, odd export targets. Clear answers, never an abort.
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

namespace {

struct CliRun {
    int code = -1;
    QString err;
};

CliRun Cli(const QStringList& args, const std::map<QString, QString>& extra = {})
{
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : extra)
        environment.insert(name, value);
    p.setProcessEnvironment(environment);
    p.start(BuildBinDir() + "/ambience-cli", args);
    p.waitForFinished(120000);
    // A crash (Qt's abort) shows as -1, not as an exit code.
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

TEST(HostileInput, NoDisplayOrAPlatformThatCannotStartNeverAborts)
{
    TempEnv env;
    const std::map<QString, QString> environments[] = {
        {{"QT_QPA_PLATFORM", "xcb"}},
        {{"DISPLAY", ":97"}},
        {{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-gone"}, {"XDG_RUNTIME_DIR", env.Root()}},
        {{"QT_QPA_PLATFORM", "no-such-platform"}},
    };
    struct Command {
        QStringList args;
        int code;
    };
    const Command commands[] = {
        {{"help"}, 0},
        {{"options"}, 0},
        {{"refresh", "--local"}, 3}, // composed and written; no desktop took it
    };
    for (const auto& environment : environments)
        for (const Command& c : commands) {
            const CliRun r = Cli(c.args, environment);
            EXPECT_EQ(r.code, c.code) << environment.begin()->second.toStdString() << " " << c.args.join(' ').toStdString()
                                      << "\n" << r.err.toStdString();
            EXPECT_FALSE(r.err.contains("Reinstalling")) << r.err.toStdString();
        }
}

TEST(HostileInput, ExportTargetsAreWrittenWholeOrRefused)
{
    TempEnv env;
    const QString fifo = env.Root() + "/pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // The longest name a folder entry may have: the temporary name must not add to it.
    const QString longName = env.Root() + "/" + QString(251, QLatin1Char('n')) + ".jpg";
    struct Case {
        QString target;
        int code;
        QString says;
    };
    const Case cases[] = {
        {"", 2, "file name is empty"},
        {fifo, 1, "is not a regular file; nothing was written"},
        {env.Root(), 1, env.Root()},
        {longName, 0, ""},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli({"export", c.target, "--size", "40x30"});
        EXPECT_EQ(r.code, c.code) << c.target.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }
    EXPECT_TRUE(QFileInfo(fifo).isSymLink() || !QFileInfo(fifo).isFile()) << "the FIFO is still a FIFO";
    EXPECT_EQ(QFileInfo(longName).size() > 0, true);
    // An empty name never turned into a wallpaper change.
    EXPECT_FALSE(QFile::exists(env.DataHome() + "/Ambience/Ambience/ambience.bmp"));
    QFile registry(env.RegistryFile());
    ASSERT_TRUE(registry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(registry.readAll().contains("\"DesktopsChanged\"=dword:00000000"));
}

} // namespace
