// Keeping a museum pack fresh: the keeper's decisions with a made-up clock and
// network, a real renewal against the stand-in museum server, and the Download
// art dialog's check box that subscribes the pack just made.
#include "graphics/jpeg.h"
#include "packs/pack.h"
#include "platform/registry.h"
#include "settings/fresh_pack.h"
#include "support/museum_server.h"
#include "support/temp_env.h"
#include "ui/download_art_dialog.h"
#include "ui/fresh_pack_keeper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <mutex>

namespace {

using testsupport::FileAnswer;
using testsupport::JsonAnswer;
using testsupport::MuseumFixture;
using testsupport::Route;

const QString kKey = QStringLiteral("\\Software\\Ambience\\Ambience");
const QDateTime kNow(QDate(2026, 12, 10), QTime(8, 0), Qt::UTC);

// A renewal that only says what it was asked and answers as told.
struct FakeRenewal {
    std::mutex lock;
    std::vector<museum::FetchRequest> asked;
    bool ok = true;

    core::Result<museum::FetchedPack> operator()(const museum::FetchRequest& request)
    {
        std::lock_guard<std::mutex> guard(lock);
        asked.push_back(request);
        if (!ok)
            return core::MakeError(museum::kMuseumUnreachable, "The Cleveland Museum of Art did not answer");
        museum::FetchedPack result;
        result.archive = request.output;
        return result;
    }
};

TEST(FreshPackKeeper, RenewsWhenDueOnAFreeNetworkAndKeepsTheRecord)
{
    enum class Pack { There, Missing };
    struct Case {
        const char* name;
        const char* subscription; // empty: off
        QDateTime renewed, tried;
        museum::NetworkState network;
        Pack pack;
        bool renewalOk;
        // Expected:
        bool renews;
        bool networkAsked;
        QDateTime recordRenewed, recordTried, next;
    };
    const QDateTime weekAgo = kNow.addDays(-8), twoDaysAgo = kNow.addDays(-2), hoursAgo = kNow.addSecs(-2 * 3600);
    using N = museum::NetworkState;
    const Case cases[] = {
        {"off", "", {}, {}, N::Online, Pack::There, true, false, false, {}, {}, kNow.addSecs(6 * 3600)},
        {"not due", "cma|seascape|20|7|seas.zip", twoDaysAgo, {}, N::Online, Pack::There, true, false, false, twoDaysAgo, {},
         twoDaysAgo.addDays(7)},
        {"due, online", "cma|seascape|20|7|seas.zip", weekAgo, {}, N::Online, Pack::There, true, true, true, kNow, {},
         kNow.addDays(7)},
        {"never renewed, network unknown", "cma|seascape|20|7|seas.zip", {}, {}, N::Unknown, Pack::There, true, true, true,
         kNow, {}, kNow.addDays(7)},
        {"due, metered", "cma|seascape|20|7|seas.zip", weekAgo, {}, N::Metered, Pack::There, true, false, true, weekAgo, {},
         kNow.addSecs(30 * 60)},
        {"due, offline", "cma|seascape|20|7|seas.zip", weekAgo, {}, N::Offline, Pack::There, true, false, true, weekAgo, {},
         kNow.addSecs(30 * 60)},
        {"due, the museum fails", "cma|seascape|20|7|seas.zip", weekAgo, {}, N::Online, Pack::There, false, true, true,
         weekAgo, kNow, kNow.addSecs(6 * 3600)},
        {"failed two hours ago", "cma|seascape|20|7|seas.zip", weekAgo, hoursAgo, N::Online, Pack::There, true, false,
         false, weekAgo, hoursAgo, hoursAgo.addSecs(6 * 3600)},
        {"the pack was removed", "cma|seascape|20|7|seas.zip", weekAgo, {}, N::Online, Pack::Missing, true, false, true,
         weekAgo, kNow, kNow.addSecs(6 * 3600)},
        {"no such museum", "xyz|seascape|20|7|seas.zip", weekAgo, {}, N::Online, Pack::There, true, false, false, weekAgo,
         {}, kNow.addSecs(6 * 3600)},
    };
    TempEnv env;
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = env.Root() + QStringLiteral("/packs%1").arg(index);
        QDir().mkpath(folder);
        if (c.pack == Pack::There) {
            QFile pack(folder + "/seas.zip");
            ASSERT_TRUE(pack.open(QIODevice::WriteOnly));
        }
        platform::Registry store(env.Root() + QStringLiteral("/registry%1.reg").arg(index++));
        if (*c.subscription)
            store.WriteString(kKey, settings::kFreshPackValue, QString::fromLatin1(c.subscription));
        ASSERT_TRUE(settings::SaveFreshPackRecord(store, kKey, {c.renewed, c.tried}).ok());

        FakeRenewal renewal;
        renewal.ok = c.renewalOk;
        int networkAsked = 0;
        ui::FreshPackSeams seams;
        seams.now = [] { return kNow; };
        seams.network = [&] {
            ++networkAsked;
            return c.network;
        };
        seams.renew = [&](const museum::FetchRequest& request, const std::atomic<bool>*) { return renewal(request); };
        ui::TFreshPackKeeper keeper(store, kKey, folder, seams);
        QSignalSpy finished(&keeper, &ui::TFreshPackKeeper::RenewalFinished);
        keeper.Check();
        if (c.renews) {
            EXPECT_TRUE(keeper.Renewing());
            ASSERT_TRUE(finished.wait(20000));
        }
        EXPECT_FALSE(keeper.Renewing());
        EXPECT_EQ(renewal.asked.size(), c.renews ? 1u : 0u);
        EXPECT_EQ(networkAsked > 0, c.networkAsked);
        if (c.renews) {
            const museum::FetchRequest& asked = renewal.asked.front();
            EXPECT_EQ(asked.source, museum::Source::Cma);
            EXPECT_EQ(asked.query, "seascape");
            EXPECT_EQ(asked.count, 20);
            EXPECT_EQ(asked.output, folder + "/seas.zip");
            EXPECT_EQ(asked.now, kNow); // the new works' day
            ASSERT_EQ(finished.size(), 1);
            EXPECT_EQ(finished.front().front().toBool(), c.renewalOk);
        }
        const settings::FreshPackRecord record = settings::LoadFreshPackRecord(store, kKey);
        EXPECT_EQ(record.renewed, c.recordRenewed);
        EXPECT_EQ(record.tried, c.recordTried);
        EXPECT_EQ(keeper.NextCheck(), c.next) << keeper.Why().toStdString();
        EXPECT_FALSE(keeper.Why().isEmpty());
    }
}

class FreshPackRenewal : public ::testing::Test {
protected:
    TempEnv env;

    QString Jpeg(const char* name, int w, int h, int shade)
    {
        QImage image(w, h, QImage::Format_RGB888);
        image.fill(QColor(shade, 255 - shade, shade / 2));
        const QString path = env.Root() + "/" + name;
        EXPECT_TRUE(graphics::SaveJpeg(image, path).ok());
        return path;
    }
};

// The keeper's own renewal, against the stand-in museum: a week after the pack was
// made, the oldest work leaves for one the museum has added since.
TEST_F(FreshPackRenewal, ReplacesTheOldestWorkWithANewOne)
{
    const QString later = R"json({"info": {"total": 1}, "data": [
        {"id": 99004, "title": "A New Arrival", "creation_date_earliest": 1872,
         "creators": [{"description": "Claude Monet (French, 1840–1926)"}], "share_license_status": "CC0",
         "url": "https://clevelandart.org/art/99004", "creditline": "Gift of a friend",
         "images": {"web": {"url": "{base}/cma/arrival_web.jpg", "width": "1200", "height": "800"}}}]})json";
    testsupport::MuseumServer server(
        {Route("/api/artworks/", {JsonAnswer(MuseumFixture("cma_search.json")), JsonAnswer(later)}),
         Route("/cma/1335.1917_print.jpg", {FileAnswer(Jpeg("schroon.jpg", 1700, 1000, 40))}),
         Route("/cma/1920.7_web.jpg", {FileAnswer(Jpeg("hokusai.jpg", 700, 1000, 90))}),
         Route("/cma/arrival_web.jpg", {FileAnswer(Jpeg("arrival.jpg", 1200, 800, 140))})});
    ASSERT_TRUE(server.Running());
    const QString folder = env.DataHome() + "/Ambience/Packs";
    QDir().mkpath(folder);
    // Only where the museum is and how fast it may be asked are the test's own.
    auto localMuseum = [&](museum::FetchRequest request, const QString& cache) {
        request.apiBase = server.Base();
        request.cacheRoot = env.Root() + cache;
        request.rate = museum::RateLimit{50, 1000};
        request.retryBaseMs = 20;
        return request;
    };
    museum::FetchRequest first;
    first.source = museum::Source::Cma;
    first.query = "seascape";
    first.count = 2;
    first.output = folder + "/seas.zip";
    first.now = kNow.addDays(-7);
    const core::Result<museum::FetchedPack> made = museum::Fetch(localMuseum(first, "/cache1/"));
    ASSERT_TRUE(made.ok()) << made.error().text;

    platform::Registry store(env.RegistryFile());
    ASSERT_TRUE(settings::SaveFreshPack(store, kKey, settings::FreshPack{"cma", "seascape", 2, 7, "seas.zip"}).ok());
    ASSERT_TRUE(settings::SaveFreshPackRecord(store, kKey, {first.now, {}}).ok());
    ui::FreshPackSeams seams = ui::SystemFreshPackSeams();
    seams.now = [] { return kNow; };
    seams.network = [] { return museum::NetworkState::Online; };
    const auto realRenewal = seams.renew;
    seams.renew = [&](const museum::FetchRequest& request, const std::atomic<bool>* cancel) {
        return realRenewal(localMuseum(request, "/cache2/"), cancel);
    };
    ui::TFreshPackKeeper keeper(store, kKey, folder, seams);
    QSignalSpy finished(&keeper, &ui::TFreshPackKeeper::RenewalFinished);
    keeper.Check();
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_TRUE(finished.front().front().toBool()) << finished.front().at(1).toString().toStdString();

    const TPack pack((folder + "/seas.zip").toStdString());
    ASSERT_EQ(pack.Pictures.size(), 2u);
    QStringList titles;
    for (const TPic& pic : pack.Pictures)
        titles << QString::fromStdString(pic.Title);
    EXPECT_TRUE(titles.contains("A New Arrival")) << titles.join(", ").toStdString();
    EXPECT_EQ(server.Count("/cma/arrival_web.jpg"), 1);
    EXPECT_EQ(settings::LoadFreshPackRecord(store, kKey).renewed, kNow);
    EXPECT_EQ(keeper.NextCheck(), kNow.addDays(7));
    // Nothing of the renewal is left beside the pack.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"seas.zip"});
}

TEST(FreshPackDialog, TheCheckBoxSubscribesThePackJustMade)
{
    TempEnv env;
    ui::TDownloadArtDialog dialog;
    EXPECT_FALSE(dialog.KeepFresh->isChecked()); // off unless asked for
    EXPECT_FALSE(dialog.FreshDays->isEnabled());
    EXPECT_FALSE(dialog.Answers().keepFresh);

    dialog.Museum->setCurrentIndex(dialog.Museum->findData("cma"));
    dialog.Theme->setCurrentIndex(dialog.Theme->count() - 1);
    dialog.OwnQuery->setText("boats | harbours");
    dialog.Count->setValue(12);
    dialog.KeepFresh->setChecked(true);
    EXPECT_TRUE(dialog.FreshDays->isEnabled());
    dialog.FreshDays->setValue(3);
    const ui::DownloadArtAnswers answers = dialog.Answers();
    EXPECT_TRUE(answers.keepFresh);
    EXPECT_EQ(answers.everyDays, 3);

    platform::Registry store(env.RegistryFile());
    const QString archive = env.UserPacksDir() + "/Cleveland Museum of Art - boats harbours.zip";
    ASSERT_TRUE(ui::SubscribeFreshPack(store, kKey, answers, archive, kNow).ok());
    const core::Result<std::optional<settings::FreshPack>> stored = settings::LoadFreshPack(store, kKey);
    ASSERT_TRUE(stored.ok() && stored->has_value());
    EXPECT_EQ(**stored, (settings::FreshPack{"cma", "boats harbours", 12, 3, "Cleveland Museum of Art - boats harbours.zip"}));
    EXPECT_EQ(settings::LoadFreshPackRecord(store, kKey).renewed, kNow); // made just now

    // The keeper then waits the three days before it asks the museum.
    ui::FreshPackSeams seams;
    seams.now = [] { return kNow.addSecs(60); };
    seams.network = [] { return museum::NetworkState::Online; };
    seams.renew = [](const museum::FetchRequest&, const std::atomic<bool>*) -> core::Result<museum::FetchedPack> {
        return core::MakeError(1, "not asked for");
    };
    ui::TFreshPackKeeper keeper(store, kKey, env.UserPacksDir(), seams);
    keeper.Check();
    EXPECT_FALSE(keeper.Renewing());
    EXPECT_EQ(keeper.NextCheck(), kNow.addDays(3));
}

} // namespace
