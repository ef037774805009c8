// What ambience-cli says when a person asks for help, mistypes a command, or meets
// a folder or settings file it cannot use: one outcome, one message, and an exit
// status from the manual page's table.
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args, const std::map<QString, QString>& extra = {})
{
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto& [name, value] : extra)
        environment.insert(name, value);
    p.setProcessEnvironment(environment);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(BuildBinDir() + "/ambience-cli", args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(CommandMessages, HelpAndMistypedCommands)
{
    TempEnv env;
    struct Case {
        QStringList args;
        int code;
        QString out;     // contained in stdout ("" for nothing on stdout)
        QString err;     // the whole of stderr
    };
    const QString pointer = "Run 'ambience-cli help' for the list of commands.\n";
    const Case cases[] = {
        {{"help", "next"}, 0, "Usage: ambience-cli next [--local]", ""},
        {{"help", "remove"}, 0, "Usage: ambience-cli remove NAME|FILE [--yes]", ""},
        {{"remove", "--help"}, 0, "Usage: ambience-cli remove NAME|FILE [--yes]", ""},
        {{"help", "help"}, 0, "Usage: ambience-cli help [COMMAND]", ""},
        {{"help", "nosuch"}, 2, "", "ambience-cli: unknown command 'nosuch'\n" + pointer},
        {{"help", "__manual"}, 2, "", "ambience-cli: unknown command '__manual'\n" + pointer},
        {{"help", "next", "back"}, 2, "", "ambience-cli: usage: ambience-cli help [COMMAND]\n"},
        {{"nxt"}, 2, "", "ambience-cli: unknown command 'nxt'; did you mean 'next'?\n" + pointer},
        {{"Next"}, 2, "", "ambience-cli: unknown command 'Next'; did you mean 'next'?\n" + pointer},
        {{"instal", "x.zip"}, 2, "", "ambience-cli: unknown command 'instal'; did you mean 'install'?\n" + pointer},
        {{"optoins"}, 2, "", "ambience-cli: unknown command 'optoins'; did you mean 'options'?\n" + pointer},
        {{"ren"}, 2, "", "ambience-cli: unknown command 'ren'; did you mean 'render'?\n" + pointer},
        {{"re"}, 2, "", "ambience-cli: unknown command 're'\n" + pointer}, // refresh, remove, render: no guess
        {{"xyzzy"}, 2, "", "ambience-cli: unknown command 'xyzzy'\n" + pointer},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, c.code) << what;
        EXPECT_EQ(r.err, c.err) << what;
        if (c.out.isEmpty())
            EXPECT_TRUE(r.out.isEmpty()) << what << ": " << r.out.toStdString();
        else
            EXPECT_TRUE(r.out.startsWith(c.out)) << what << ": " << r.out.toStdString();
        EXPECT_FALSE(r.out.contains("Commands:")) << what << ": the whole help was printed";
    }
}

TEST(CommandMessages, ManualPageListsTheExitStatusOfEveryOutcome)
{
    const QString page = Cli({"__manual", "ambience-cli"}).out;
    const qsizetype section = page.indexOf("\n.SH EXIT STATUS\n");
    ASSERT_GE(section, 0);
    const QString statuses = page.mid(section, page.indexOf("\n.SH ", section + 1) - section);
    // One entry for each status the commands end with, in order.
    const QRegularExpression entry("\n\\.TP\n\\.B (\\d+)\n");
    QStringList codes;
    for (auto it = entry.globalMatch(statuses); it.hasNext();)
        codes << it.next().captured(1);
    EXPECT_EQ(codes, QStringList({"0", "1", "2", "3"})) << statuses.toStdString();
}

TEST(CommandMessages, InstallBesideAnUnreadableBundledFolderIsOneSuccess)
{
    TempEnv env;
    const QString source = TestDataDir() + "/packs/infozip-pack.zip";
    ASSERT_TRUE(QFileInfo::exists(source));
    // A program folder that cannot be listed (a file in its place fails for root too).
    const QString program = env.Root() + "/not-a-folder";
    QFile(program).open(QIODevice::WriteOnly);
    const CliRun r = Cli({"install", source}, {{"AMBIENCE_PROGRAM_DIR", program}});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("Installed ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(program)) << r.out.toStdString(); // why fewer packs are counted
    EXPECT_TRUE(QFileInfo::exists(env.UserPacksDir() + "/infozip-pack.zip"));
}

TEST(CommandMessages, AProblemMetManyTimesInOneRunIsSaidOnce)
{
    TempEnv env;
    // A folder where the settings file should be: every one of the dozen settings
    // read meets it.
    QDir().mkpath(env.RegistryFile());
    const CliRun r = Cli({"options"});
    EXPECT_EQ(r.err.count(env.RegistryFile()), 1) << r.err.toStdString();
}

TEST(CommandMessages, ASettingsLinkToAnotherFileIsNeverWrittenThrough)
{
    TempEnv env;
    const QString target = env.Root() + "/hostname";
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("myhost\n");
    file.close();
    QDir().mkpath(QFileInfo(env.RegistryFile()).path());
    ASSERT_TRUE(QFile::link(target, env.RegistryFile()));

    const CliRun r = Cli({"options", "PictureSize=Maximum"});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(target) && r.err.contains("does not hold settings")) << r.err.toStdString();
    EXPECT_EQ(ReadAll(target), QByteArray("myhost\n"));
    EXPECT_TRUE(QFileInfo(env.RegistryFile()).isSymLink());
    EXPECT_TRUE(QDir(QFileInfo(env.RegistryFile()).path()).entryList({"registry.reg.damaged-*"}).isEmpty());

    // Commands that only read work on, from what could be read (here nothing).
    const CliRun shown = Cli({"options"});
    EXPECT_EQ(shown.code, 0) << shown.err.toStdString();
    EXPECT_EQ(ReadAll(target), QByteArray("myhost\n"));
}
