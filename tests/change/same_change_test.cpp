// One desktop change whoever asks: for the same packs and the same requests, the
// window's actions, the agent's automatic change, the catalogue selection the CLI
// uses, and the ambience-cli program itself show the same pictures, count the
// same changes and hand the same file to the wallpaper setter.
#include "change/desktop_change.h"
#include "change/picture_selection.h"
#include "core/random.h"
#include "gallery/wall_record.h"
#include "packs/pack_list.h"
#include "platform/wallpaper.h"
#include "settings/options.h"
#include "support/change_kind.h"
#include "ui/window_agent.h"
#include "window_fixture.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

namespace {

using change::ChangeDone;
using change::PictureStep;
using testsupport::KindOf;
using testsupport::WhyNot;
using Outcome = core::Result<ChangeDone>;

struct Shown {
    QString pack;
    int picture = -1; // in its pack, from 0
    QString description;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s)
{
    return out << s.pack.toStdString() << " #" << s.picture << " " << s.description.toStdString();
}

Shown Of(const Outcome& r) { return r.ok() ? Shown{r->packName, r->pictureInPack, r->description} : Shown{}; }

// All a record row says of the picture, but the time, the files and the monitor's
// name (the window's screen has one, a size typed on the command line none).
std::string Said(const gallery::WallEntry& e)
{
    return QStringList{e.primary ? "primary" : "other", e.packFile, e.packName, e.entry, e.title, e.year, e.author,
                       e.source.page, e.source.credit, e.source.licence}
        .join(QLatin1Char('|'))
        .toStdString();
}

// What ambience-cli printed about the picture it showed.
Shown OfCli(const QString& out)
{
    static const QRegularExpression pack(QStringLiteral("^Pack: (.*) \\(.*\\)$"), QRegularExpression::MultilineOption);
    static const QRegularExpression picture(QStringLiteral("^Picture: (\\d+) of \\d+ in the pack, .*: (.*)$"),
                                            QRegularExpression::MultilineOption);
    const auto p = pack.match(out);
    const auto q = picture.match(out);
    if (!p.hasMatch() || !q.hasMatch())
        return {};
    return {p.captured(1), q.captured(1).toInt() - 1, q.captured(2)};
}

class SameChangeTest : public uitest::WindowTest {};

TEST_F(SameChangeTest, WindowAgentCatalogueAndCliShowTheSamePictures)
{
    ASSERT_TRUE(uitest::WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    ASSERT_TRUE(uitest::WriteSimplePack(PackPath("second.zip"), "Second", 2, 2));
    Open();

    TPackList catalogue(&context->Store());
    catalogue.Rescan(env.ProgramDir().toStdString() + "/");
    ASSERT_EQ(catalogue.Count(), 2);
    change::CatalogueSelection cliSelection(catalogue, context->Record());
    ui::TWindowAgentHost agentHost(*window);

    struct Row {
        PictureStep step;
        const char* command;
        std::uint32_t seed;
        Shown expected;
    };
    // From no selection: next goes to the first picture, back wraps to the last.
    const Row rows[] = {
        {PictureStep::Next, "next", 1, {"First", 0, "Title 1"}},
        {PictureStep::Next, "next", 2, {"First", 1, "Title 2"}},
        {PictureStep::Back, "back", 3, {"First", 0, "Title 1"}},
        {PictureStep::Back, "back", 4, {"Second", 1, "Title 2"}},
        {PictureStep::Current, "refresh", 5, {"Second", 1, "Title 2"}},
        {PictureStep::Random, "random", 6, {}},
        {PictureStep::Random, "random", 7, {}},
    };
    int changes = Settings().DesktopsChanged;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        SeedRandom(row.seed);
        const Outcome byWindow = Change(row.step);
        EXPECT_EQ(KindOf(byWindow), "unset") << WhyNot(byWindow);
        if (row.expected.picture >= 0) {
            EXPECT_EQ(Of(byWindow), row.expected);
        }

        change::ChangeRequest request;
        request.step = row.step;
        request.size = QSize(320, 200);
        SeedRandom(row.seed);
        const Outcome byCatalogue = change::ChangeDesktop(request, cliSelection, Settings(), recorder);
        EXPECT_EQ(Of(byCatalogue), Of(byWindow));
        ASSERT_TRUE(byCatalogue.ok() && byWindow.ok());
        EXPECT_EQ(byCatalogue->index, byWindow->index);

        // The program keeps its own store, so that it steps from its own last picture.
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", env.Root() + "/cli-config");
        environment.insert("XDG_DATA_HOME", env.Root() + "/cli-data");
        cli.setProcessEnvironment(environment);
        cli.start(BuildBinDir() + "/ambience-cli",
                  {QString::fromLatin1(row.command), "--local", "--size", "320x200", "--seed", QString::number(row.seed)});
        ASSERT_TRUE(cli.waitForFinished(120000));
        const QString out = QString::fromUtf8(cli.readAllStandardOutput());
        EXPECT_EQ(cli.exitCode(), 3) << out.toStdString(); // written; no desktop here took it
        EXPECT_EQ(OfCli(out), Of(byWindow)) << out.toStdString();

        changes += 2; // the window's and the catalogue's
        Settings().Load();
        EXPECT_EQ(Settings().DesktopsChanged, changes);
    }

    // The agent's automatic change is the window's Random, for each seed of the table.
    Outcome byWindow = core::MakeError(1, "no Random in the table");
    int agentChanges = 0;
    for (const Row& row : rows) {
        if (row.step != PictureStep::Random)
            continue;
        SeedRandom(row.seed);
        std::optional<Outcome> agentOutcome;
        ASSERT_TRUE(agentHost.ExpoRandomExecute([&agentOutcome](const Outcome& result) { agentOutcome = result; }));
        ASSERT_TRUE(QTest::qWaitFor([&agentOutcome] { return agentOutcome.has_value(); }, 120000));
        const Outcome byAgent = *agentOutcome;
        SeedRandom(row.seed);
        byWindow = Change(PictureStep::Random);
        EXPECT_EQ(Of(byAgent), Of(byWindow)) << "seed " << row.seed;
        EXPECT_EQ(KindOf(byAgent), KindOf(byWindow));
        ++agentChanges;
    }

    // Every change in this process handed the same file to the setter.
    ASSERT_TRUE(byWindow.ok()) << WhyNot(byWindow);
    ASSERT_FALSE(recorder.files.isEmpty());
    for (const QString& file : recorder.files)
        EXPECT_EQ(file, byWindow->file);
    EXPECT_TRUE(byWindow->file.endsWith("/Ambience/Ambience/ambience.bmp")) << byWindow->file.toStdString();

    // An export takes the same road without the setter and the count.
    const qsizetype handed = recorder.files.size();
    Settings().Load();
    const int before = Settings().DesktopsChanged;
    const QString target = env.Root() + "/export.jpg";
    const Outcome exported = Change(PictureStep::Current, target);
    EXPECT_EQ(KindOf(exported), "done");
    EXPECT_EQ(exported.ok() ? exported->file : QString(), target);
    EXPECT_EQ(recorder.files.size(), handed);
    EXPECT_EQ(Settings().DesktopsChanged, before);

    // The records agree too: the window's, the catalogue's (in this process's
    // record, one after the other) and the command line's (in its own home) name
    // the same picture for each request; the agent's and the last Random follow;
    // the export is not a change of the wall.
    auto cliRecord = gallery::WallRecord::Open(env.Root() + "/cli-data/Ambience/Ambience/wall.sqlite");
    ASSERT_TRUE(cliRecord.ok()) << cliRecord.error().text;
    const auto byCli = (*cliRecord)->History();
    const auto here = context->Record()->History();
    ASSERT_TRUE(byCli.ok() && here.ok());
    const size_t n = std::size(rows);
    ASSERT_EQ(byCli->size(), n);
    ASSERT_EQ(here->size(), 2 * n + 2 * size_t(agentChanges));
    for (size_t i = 0; i < n; ++i) {
        const std::string cli = Said((*byCli)[n - 1 - i]);
        EXPECT_EQ(Said((*here)[here->size() - 1 - 2 * i]), cli) << rows[i].command;
        EXPECT_EQ(Said((*here)[here->size() - 2 - 2 * i]), cli) << rows[i].command;
    }
    // Each agent's change and the window's Random after it.
    for (int a = 0; a < agentChanges; ++a)
        EXPECT_EQ(Said(here->at(size_t(2 * a))), Said(here->at(size_t(2 * a + 1)))) << "agent change " << a;
}

// A change that fails keeps what it had told before, for the command line to
// print: the pictures left out, and, once one was chosen, which it is.
TEST_F(SameChangeTest, AFailedChangeKeepsWhatItHadToldBefore)
{
    ASSERT_TRUE(uitest::WriteZip(PackPath("damaged.zip"), "[Pack]\nName=Damaged\nIcon=2\n",
                                 {{"01 - One.jpg", "no picture"}, {"02 - Two.jpg", "nor this"}}));
    Open();
    TPackList catalogue(&context->Store());
    catalogue.Rescan(env.ProgramDir().toStdString() + "/");
    change::ChangeRequest request;
    request.step = PictureStep::Next;
    request.size = QSize(320, 200);
    ChangeDone soFar;
    {
        change::CatalogueSelection selection(catalogue, context->Record());
        EXPECT_EQ(KindOf(change::ChangeDesktop(request, selection, Settings(), recorder, &soFar)), "failed");
    }
    EXPECT_EQ(soFar.notices.filter("(left out)").size(), 1) << soFar.notices.join('\n').toStdString();
    EXPECT_TRUE(soFar.size.isEmpty()) << "nothing was chosen";

    // Chosen, but the wallpaper file cannot be written.
    ASSERT_TRUE(uitest::WriteSimplePack(PackPath("first.zip"), "First", 1, 1));
    catalogue.Rescan(env.ProgramDir().toStdString() + "/");
    ASSERT_TRUE(QDir().mkpath(env.DataHome() + "/Ambience/Ambience/ambience.bmp/in-the-way"));
    change::CatalogueSelection selection(catalogue, context->Record());
    EXPECT_EQ(KindOf(change::ChangeDesktop(request, selection, Settings(), recorder, &soFar)), "failed");
    EXPECT_EQ(soFar.packName, "First");
    EXPECT_EQ(soFar.size, request.size);
}

} // namespace
