// ambience and ambience-cli as processes: their version and help, ambience without
// a display, ambience-cli's completion (what the shell scripts show) and its
// manual page against its help.
#include "support/temp_env.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int code = -1;
    QString out;
    QString err;
};

ProgramRun Start(const QString& program, const QStringList& args, const QProcessEnvironment& environment)
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(BuildBinDir() + "/" + program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

ProgramRun Cli(const QStringList& args)
{
    return Start("ambience-cli", args, QProcessEnvironment::systemEnvironment());
}

QStringList Candidates(const QStringList& words)
{
    QStringList texts;
    for (const QString& line : Cli(QStringList{"__complete"} + words).out.split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith(':')) // ":files", ":nospace"
            texts << line.section('\t', 0, 0);
    return texts;
}

} // namespace

TEST(CommandLine, BothProgramsNameTheirVersionWithoutADisplay)
{
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(name);
    for (const char* program : {"ambience", "ambience-cli"}) {
        const ProgramRun r = Start(program, {"--version"}, bare);
        EXPECT_EQ(r.code, 0) << program;
        EXPECT_TRUE(QRegularExpression("^Ambience \\d+\\.\\d\\d\n$").match(r.out).hasMatch()) << r.out.toStdString();
    }
    EXPECT_EQ(Start("ambience", {"--version"}, bare).out, Cli({"--version"}).out);
    const ProgramRun help = Start("ambience", {"--help"}, bare);
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("/startup") && help.out.contains("/install")) << help.out.toStdString();
}

TEST(CommandLine, AmbienceWithoutAReachableDisplaySaysSoAndPointsToTheCli)
{
    TempEnv env;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("WAYLAND_DISPLAY");
    // Unset, an X display nobody serves, a Wayland socket that is not there.
    const std::vector<std::pair<QString, QString>> cases = {
        {"", ""}, {"DISPLAY", ":79"}, {"WAYLAND_DISPLAY", env.Root() + "/no-such-socket"}};
    for (const auto& [name, value] : cases) {
        QProcessEnvironment e = environment;
        e.remove("DISPLAY");
        if (!name.isEmpty())
            e.insert(name, value);
        const ProgramRun r = Start("ambience", {"/startup"}, e);
        EXPECT_EQ(r.code, 1) << name.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("ambience-cli")) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("einstall")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CommandLine, CompletionFollowsTheCommandTablePacksAndSettings)
{
    TempEnv env;
    ASSERT_TRUE(QFile::copy(TestDataDir() + "/packs/infozip-pack.zip", env.ProgramDir() + "/infozip-pack.zip"));
    struct Case {
        QStringList words; // the last one is being typed
        QStringList present;
        QStringList absent;
    };
    const std::vector<Case> cases = {
        {{""}, {"random", "export", "packs", "help"}, {"__complete", "__manual", "--version"}},
        {{"re"}, {"refresh", "remove", "render"}, {"random"}},
        {{"-"}, {"--help", "--version"}, {}},
        {{"random", "--"}, {"--local", "--pack", "--seed", "--background", "--password"}, {"--check", "--query"}},
        {{"export", "--"}, {"--pack"}, {"--local"}},
        {{"random", "--pack", ""}, {"infozip-pack"}, {}},
        {{"remove", "info"}, {"infozip-pack"}, {}},
        {{"random", "--background", "S"}, {"Shaded", "Smoothed", "Solid"}, {"Embossed"}},
        {{"random", "--pack", "infozip-pack", "--lig"}, {"--lightness"}, {}},
        {{"pack", ""}, {"show", "make", "fetch"}, {"infozip-pack"}},
        {{"pack", "fetch", ""}, {"aic", "met", "cma", "smk", "rijks"}, {"infozip-pack", "show"}},
        {{"pack", "fetch", "aic", "--"}, {"--query", "--count", "--install", "--api-base"}, {"--password", "--check"}},
        {{"pack", "make", "pictures/", "--"}, {"--name"}, {"--check"}},
        {{"pack", "show", ""}, {"infozip-pack"}, {"show"}},
        {{"pack", "show", "infozip-pack", "--c"}, {"--check"}, {}},
        {{"options", "Back"}, {"BackgroundType="}, {}},
        {{"render", "in.emf", "out.png", "--"}, {"--size"}, {"--local"}},
        {{"options", "PictureSize=M"}, {"PictureSize=Maximum"}, {"PictureSize=Optimal"}},
        {{"options", "AutoChangeIcon="}, {"AutoChangeIcon=0", "AutoChangeIcon=2"}, {}},
        {{"options", "BackgroundType=Solid", "Color"}, {"ColorLightness=", "ColorInfluence="}, {}},
        {{"nosuchcommand", ""}, {}, {"random"}},
        {{"help", "re"}, {"refresh", "remove", "render"}, {"random", "__manual"}},
        {{"help", "next", ""}, {}, {"random"}},
        {{"s"}, {"show-again"}, {"now"}},
        {{"favourite", ""}, {"on", "off"}, {"infozip-pack"}},
        {{"history", "--"}, {"--limit", "--json"}, {"--local"}},
        {{"show-again", "3", "--"}, {"--local", "--size", "--seed"}, {"--pack", "--picture"}},
    };
    for (const Case& c : cases) {
        const QStringList got = Candidates(c.words);
        const std::string where = c.words.join(' ').toStdString() + " -> " + got.join(' ').toStdString();
        for (const QString& want : c.present)
            EXPECT_TRUE(got.contains(want)) << where << " lacks " << want.toStdString();
        for (const QString& not_wanted : c.absent)
            EXPECT_FALSE(got.contains(not_wanted)) << where << " has " << not_wanted.toStdString();
    }
    // Settings go on after the "="; file names fit where the usage names a FILE.
    EXPECT_TRUE(Cli({"__complete", "options", ""}).out.startsWith(":nospace\n"));
    EXPECT_TRUE(Cli({"__complete", "install", ""}).out.startsWith(":files\n"));
}

TEST(CommandLine, EverySettingValueCompletionOffersIsTaken)
{
    TempEnv env;
    const QStringList names = Candidates({"options", ""});
    ASSERT_GE(names.size(), 9);
    for (const QString& name : names) {
        const QStringList values = Candidates({"options", name});
        EXPECT_GE(values.size(), 2) << name.toStdString();
        for (const QString& assignment : values) {
            const ProgramRun r = Cli({"options", assignment});
            EXPECT_EQ(r.code, 0) << assignment.toStdString() << ": " << r.err.toStdString();
        }
    }
}

TEST(CommandLine, ManualPageDescribesEveryCommandOfTheHelp)
{
    const QString help = Cli({"help"}).out;
    const QString page = Cli({"__manual", "ambience-cli"}).out;
    ASSERT_TRUE(page.startsWith(".TH AMBIENCE-CLI 1")) << page.left(200).toStdString();
    const QRegularExpression listed("^  ([a-z][a-z-]*) ?(.*)$", QRegularExpression::MultilineOption);
    int commands = 0;
    for (auto it = listed.globalMatch(help); it.hasNext(); ++commands) {
        const auto m = it.next();
        if (m.captured(1) == "help")
            continue;
        // The entry's tag line: the name in bold, then the usage.
        EXPECT_TRUE(page.contains("\n.TP\n\\fB" + QString(m.captured(1)).replace("-", "\\-") + "\\fR"))
            << m.captured(1).toStdString();
        for (const QString& option : m.captured(2).split(QRegularExpression("[^a-z-]+"), Qt::SkipEmptyParts)) {
            if (option.startsWith("--")) {
                EXPECT_TRUE(page.contains("\\fB" + QString(option).replace("-", "\\-") + "\\fR"))
                    << m.captured(1).toStdString() << " " << option.toStdString();
            }
        }
    }
    EXPECT_GE(commands, 10);
    EXPECT_FALSE(page.contains("__complete"));
    EXPECT_TRUE(Cli({"__manual", "ambience"}).out.contains("\n.B /install\n"));
    EXPECT_EQ(Cli({"__manual", "nothing"}).code, 2);
}

// "pack make" and "pack fetch" are carried out by ambience-cli-packs: every other
// command starts without the libraries only they need (and without libcrypto). The helper is found beside
// the program's file, also when the program is started through a link (as the
// installed bin/ambience-cli is), and its absence is said.
TEST(CommandLine, OnlyThePackHelperLoadsThePackMakingAndNetworkLibraries)
{
    QProcessEnvironment trace = QProcessEnvironment::systemEnvironment();
    trace.insert("LD_TRACE_LOADED_OBJECTS", "1");
    const struct {
        const char* program;
        bool loads;
    } programs[] = {{"ambience-cli", false}, {"ambience-cli-packs", true}};
    for (const auto& row : programs) {
        const QString loaded = Start(row.program, {}, trace).out;
        // libcrypto comes when an encrypted entry is first opened, or with libzip.
        for (const char* library : {"libQt6Network.so", "libzip.so", "libexiv2.so", "libcrypto.so"})
            EXPECT_EQ(loaded.contains(library), row.loads) << row.program << " " << library << "\n"
                                                           << loaded.toStdString();
    }

    QTemporaryDir linked, alone;
    ASSERT_TRUE(QFile::link(BuildBinDir() + "/ambience-cli", linked.filePath("ambience-cli")));
    ASSERT_TRUE(QFile::copy(BuildBinDir() + "/ambience-cli", alone.filePath("ambience-cli")));
    const struct {
        QString program;
        int code;
        const char* said;
    } starts[] = {
        {linked.filePath("ambience-cli"), 2, "which museum?"},
        {alone.filePath("ambience-cli"), 1, "ambience-cli-packs, which comes with ambience-cli for it, cannot be started"},
    };
    for (const auto& row : starts) {
        QProcess p;
        p.start(row.program, {"pack", "fetch"});
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), row.code) << err.toStdString();
        EXPECT_TRUE(err.contains(row.said)) << err.toStdString();
    }
}
