// Banned pictures and favourites on the change road: next, back, random and the
// agent's automatic change over a catalogue of six pictures, and the window and
// ambience-cli agreeing on the picture on the wall.
#include "change/desktop_change.h"
#include "change/picture_selection.h"
#include "change/selection_model.h"
#include "core/random.h"
#include "gallery/wall_record.h"
#include "packs/install.h"
#include "packs/selection.h"
#include "platform/monitors.h"
#include "ui/window_agent.h"
#include "window_fixture.h"

#include <QProcess>
#include <QRegularExpression>

using change::ChangeDone;
using change::PictureStep;
using Outcome = core::Result<ChangeDone>;

namespace {

// The global index of the picture a change showed; -1 when it failed.
int IndexOf(const Outcome& r)
{
    return r.ok() ? r->index : -1;
}

class MarksChangeTest : public uitest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(uitest::WriteSimplePack(PackPath("first.zip"), "First", 1, 4));
        ASSERT_TRUE(uitest::WriteSimplePack(PackPath("second.zip"), "Second", 2, 2));
        Open();
        ASSERT_NE(context->Record(), nullptr);
        catalogue.Rescan(env.ProgramDir().toStdString() + "/");
        ASSERT_EQ(catalogue.Count(), 2);
    }

    // Global index k of the six: first.zip's four, then second.zip's two.
    static gallery::PictureKey Key(int k)
    {
        const int n = k < 4 ? k + 1 : k - 3;
        return {k < 4 ? "first.zip" : "second.zip", QStringLiteral("%1 - Title %2.jpg").arg(n, 2, 10, QChar('0')).arg(n)};
    }

    void Mark(const std::vector<int>& banned, const std::vector<int>& favourites)
    {
        gallery::WallRecord& record = *context->Record();
        for (int k = 0; k < 6; ++k) {
            ASSERT_TRUE(record.SetBanned(Key(k), std::count(banned.begin(), banned.end(), k) > 0).ok());
            ASSERT_TRUE(record.SetFavourite(Key(k), std::count(favourites.begin(), favourites.end(), k) > 0).ok());
        }
    }

    Outcome CatalogueChange(PictureStep step, std::optional<int> from)
    {
        change::CatalogueSelection selection(catalogue, context->Record());
        change::ChangeRequest request;
        request.step = step;
        request.from = from;
        request.size = QSize(32, 24);
        return change::ChangeDesktop(request, selection, Settings(), recorder);
    }

    Outcome AutomaticChange()
    {
        ui::TWindowAgentHost host(*window);
        std::optional<Outcome> outcome;
        EXPECT_TRUE(host.ExpoRandomExecute([&outcome](const Outcome& r) { outcome = r; }));
        EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.has_value(); }, 120000));
        return outcome.value_or(core::MakeError(1, "no answer"));
    }

    TPackList catalogue;
};

TEST_F(MarksChangeTest, StepsPassOverBannedPicturesAndRandomKeepsToFavourites)
{
    const char* allBanned = "Every picture is set never to be shown again";
    const char* noFavourite = "no installed picture is a favourite";
    struct Row {
        const char* name;
        PictureStep step;
        bool automatic;
        std::optional<int> from;
        std::vector<int> banned, favourites;
        bool favouritesOnly;
        std::vector<int> lands; // any of these; empty: the change is refused
        const char* says;       // in the problem or a notice; may be null
    } rows[] = {
        {"next skips two", PictureStep::Next, false, 0, {1, 2}, {}, false, {3}, nullptr},
        {"back skips two", PictureStep::Back, false, 3, {1, 2}, {}, false, {0}, nullptr},
        {"next wraps past a banned first", PictureStep::Next, false, 5, {0}, {}, false, {1}, nullptr},
        {"back wraps past a banned last", PictureStep::Back, false, 0, {5, 4}, {}, false, {3}, nullptr},
        {"random avoids the banned", PictureStep::Random, false, {}, {0, 1, 2, 3}, {}, false, {4, 5}, nullptr},
        {"random from favourites", PictureStep::Random, false, {}, {}, {2, 5}, true, {2, 5}, nullptr},
        {"banned favourite left out", PictureStep::Random, false, {}, {5}, {2, 5}, true, {2}, nullptr},
        {"favourites ignored when off", PictureStep::Random, false, {}, {0, 1, 2, 3, 4}, {1}, false, {5}, nullptr},
        {"no favourites: all", PictureStep::Random, false, {}, {0, 1, 2, 3}, {}, true, {4, 5}, noFavourite},
        {"every favourite banned", PictureStep::Random, false, {}, {2, 5}, {2, 5}, true, {0, 1, 3, 4}, noFavourite},
        {"next over favourites only", PictureStep::Next, false, 0, {}, {4}, true, {1}, nullptr},
        {"automatic from favourites", PictureStep::Random, true, {}, {}, {3}, true, {3}, nullptr},
        {"automatic avoids the banned", PictureStep::Random, true, {}, {0, 1, 2, 4, 5}, {}, false, {3}, nullptr},
        {"automatic, no favourites", PictureStep::Random, true, {}, {}, {}, true, {0, 1, 2, 3, 4, 5}, noFavourite},
        {"automatic, every favourite banned", PictureStep::Random, true, {}, {1}, {1}, true, {0, 2, 3, 4, 5}, noFavourite},
        {"all banned: next", PictureStep::Next, false, 2, {0, 1, 2, 3, 4, 5}, {}, false, {}, allBanned},
        {"all banned: back", PictureStep::Back, false, 2, {0, 1, 2, 3, 4, 5}, {}, false, {}, allBanned},
        {"all banned: random", PictureStep::Random, false, {}, {0, 1, 2, 3, 4, 5}, {1}, true, {}, allBanned},
        {"all banned: automatic", PictureStep::Random, true, {}, {0, 1, 2, 3, 4, 5}, {}, false, {}, allBanned},
        {"refresh shows a banned one", PictureStep::Current, false, 2, {2}, {}, false, {2}, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Mark(row.banned, row.favourites);
        Settings().FavouritesOnly = row.favouritesOnly;
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            SeedRandom(seed);
            const Outcome r = row.automatic ? AutomaticChange() : CatalogueChange(row.step, row.from);
            const QString told = r.ok() ? r->notices.join(QLatin1Char(' ')) : QString::fromStdString(r.error().text);
            if (row.says) {
                EXPECT_TRUE(told.contains(QLatin1String(row.says))) << told.toStdString();
            }
            if (row.lands.empty()) {
                EXPECT_FALSE(r.ok());
                continue;
            }
            EXPECT_TRUE(r.ok()) << told.toStdString();
            EXPECT_NE(std::find(row.lands.begin(), row.lands.end(), IndexOf(r)), row.lands.end()) << "landed on " << IndexOf(r);
        }
    }
}

TEST_F(MarksChangeTest, WithNothingMarkedTheDrawsAreThePlainOnes)
{
    Mark({}, {3});
    Settings().FavouritesOnly = false;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandom(seed);
        const int plain = packs::RandomPictureIndex(6);
        SeedRandom(seed);
        EXPECT_EQ(IndexOf(CatalogueChange(PictureStep::Random, std::nullopt)), plain) << "seed " << seed;
        SeedRandom(seed);
        EXPECT_EQ(IndexOf(AutomaticChange()), plain) << "automatic, seed " << seed;
    }
}

TEST_F(MarksChangeTest, MarksOutliveTheirPackRemovedAndInstalledAgain)
{
    Mark({1}, {});
    ASSERT_TRUE(packs::RemovePack(PackPath("first.zip").toStdString()).ok());
    catalogue.Rescan(env.ProgramDir().toStdString() + "/");
    ASSERT_EQ(catalogue.Count(), 1);
    ASSERT_TRUE(uitest::WriteSimplePack(PackPath("first.zip"), "First", 1, 4));
    catalogue.Rescan(env.ProgramDir().toStdString() + "/");
    EXPECT_EQ(IndexOf(CatalogueChange(PictureStep::Next, 0)), 2);
}

TEST_F(MarksChangeTest, EveryChangeIsRecordedAndShowAgainBringsAPictureBack)
{
    Mark({2}, {});
    const Outcome changed = Change(PictureStep::Next);
    ASSERT_TRUE(changed.ok());
    const ChangeDone& first = *changed;
    EXPECT_GT(first.recorded, 0);
    const auto wall = context->Record()->OnWall();
    ASSERT_TRUE(wall.ok() && wall->size() == 1u);
    EXPECT_EQ(wall->front().Key(), Key(first.index));
    EXPECT_TRUE(QImage(wall->front().thumbnail).width() > 0);
    EXPECT_EQ(wall->front().exposition, first.file);

    // A banned picture can still be asked for by name.
    change::CatalogueSelection selection(catalogue, context->Record());
    change::ChangeRequest request;
    request.picture = Key(2);
    request.size = QSize(32, 24);
    EXPECT_EQ(IndexOf(change::ChangeDesktop(request, selection, Settings(), recorder)), 2);
    request.picture = gallery::PictureKey{"gone.zip", "01 - Title 1.jpg"};
    const Outcome missing = change::ChangeDesktop(request, selection, Settings(), recorder);
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(!missing.ok() && QString::fromStdString(missing.error().text).contains("gone.zip"));
    EXPECT_EQ(context->Record()->History()->size(), 2u);

    // Two monitors, each its own picture: a row for each, the primary first, each
    // with a thumbnail of its own exposition.
    std::vector<platform::Monitor> monitors;
    QString error;
    ASSERT_TRUE(platform::ParseMonitorList(QStringLiteral("WIDE=64x36+0+0,TALL=36x64+64+0"), monitors, error));
    change::ChangeRequest two;
    two.step = PictureStep::Next;
    two.from = 0;
    two.size = QSize(64, 36);
    two.monitors = monitors;
    ASSERT_TRUE(change::ChangeDesktop(two, selection, Settings(), recorder).ok());
    const auto both = context->Record()->OnWall();
    ASSERT_TRUE(both.ok() && both->size() == 2u);
    EXPECT_EQ((*both)[0].monitor, "WIDE");
    EXPECT_TRUE((*both)[0].primary);
    EXPECT_EQ((*both)[0].Key(), Key(1));
    EXPECT_EQ((*both)[1].monitor, "TALL");
    EXPECT_FALSE((*both)[1].primary);
    EXPECT_EQ((*both)[1].Key(), Key(3)); // after the primary's, passing over the banned 2
    const QImage tall((*both)[1].thumbnail);
    EXPECT_GT(tall.height(), tall.width());
    request.picture.reset();

    // An export changes no wall.
    EXPECT_TRUE(Change(PictureStep::Current, env.Root() + "/out.jpg").ok());
    EXPECT_EQ(context->Record()->History()->size(), 4u);
}

// What ambience-cli printed as the picture's place in all packs, from 0; -1 when none.
int CliIndex(const QStringList& args)
{
    QProcess cli;
    cli.start(BuildBinDir() + "/ambience-cli", args);
    EXPECT_TRUE(cli.waitForFinished(120000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    static const QRegularExpression place(QStringLiteral(", (\\d+) of \\d+ in all"));
    const auto match = place.match(out);
    return match.hasMatch() ? match.captured(1).toInt() - 1 : -1;
}

TEST_F(MarksChangeTest, TheWindowAndTheCommandLineAgreeOnThePictureOnTheWall)
{
    static_cast<void>(Change(PictureStep::Next));
    const Outcome shown = Change(PictureStep::Next);
    ASSERT_EQ(IndexOf(shown), 1);
    // The command line runs in the same home: it reads the record the window wrote.
    EXPECT_EQ(CliIndex({"refresh", "--size", "320x200"}), 1);
    EXPECT_EQ(CliIndex({"next", "--size", "320x200"}), 2);
    EXPECT_EQ(CliIndex({"back", "--size", "320x200"}), 1);
    EXPECT_EQ(CliIndex({"next", "--size", "320x200"}), 2);
    // A window opened now, with nothing selected, shows what the command line put up.
    window.reset();
    context.reset();
    Open();
    EXPECT_EQ(window->Selection().CurrentPictureIndex(), 2);
    EXPECT_EQ(IndexOf(Change(PictureStep::Next)), 3);
    // Shown again after its list was refilled, with nothing selected: the wall's picture.
    window->Selection().CatalogueReplaced();
    ASSERT_EQ(window->Selection().Selected(), change::SelectionModel::Item::None);
    window->hide();
    window->show();
    EXPECT_EQ(window->Selection().CurrentPictureIndex(), 3);
}

} // namespace
