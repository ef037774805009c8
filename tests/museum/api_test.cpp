// Each museum's answers, recorded or in the form its documentation gives (the
// sources are in tests/data/museum/README.md), read into works:
// public-domain status, the image at the size we take, title, year and artist.
#include "museum/aic_api.h"
#include "museum/cma_api.h"
#include "museum/met_api.h"
#include "museum/refusal.h"
#include "museum/smk_api.h"
#include "support/museum_server.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

using museum::Work;

QByteArray Fixture(const char* name)
{
    return testsupport::MuseumFixture(QString::fromLatin1(name)).replace("{base}", "http://museum.test").toUtf8();
}

struct Expected {
    QString id, title, artist;
    std::optional<int> year;
    QString imageUrl; // empty: none
    bool publicDomain;
};

void ExpectWorks(const std::vector<Work>& works, const std::vector<Expected>& expected)
{
    ASSERT_EQ(works.size(), expected.size());
    for (std::size_t i = 0; i < works.size(); ++i) {
        SCOPED_TRACE(expected[i].id.toStdString());
        EXPECT_EQ(works[i].id, expected[i].id);
        EXPECT_EQ(works[i].title, expected[i].title);
        EXPECT_EQ(works[i].artist, expected[i].artist);
        EXPECT_EQ(works[i].year, expected[i].year);
        EXPECT_EQ(works[i].imageUrl, expected[i].imageUrl);
        EXPECT_EQ(works[i].publicDomain, expected[i].publicDomain);
    }
}

TEST(MuseumApi, ArtInstituteSearchPagesAndIiifImages)
{
    const museum::SearchPage first = museum::ParseAicSearch(Fixture("aic_search_1.json"));
    ASSERT_TRUE(first.error.isEmpty()) << first.error.toStdString();
    EXPECT_TRUE(first.more);
    EXPECT_EQ(first.total, 5);
    const QString iiif = "http://museum.test/iiif/2/";
    ExpectWorks(first.works,
                {{"27992", "A Sunday on La Grande Jatte — 1884", "Georges Seurat", 1884,
                  iiif + "2d484387-2509-5e8e-2c43-22f9981972eb/full/1686,/0/default.jpg", true},
                 {"111628", "Nighthawks", "Edward Hopper", 1942,
                  iiif + "831a05de-d3f6-f4fa-a460-23008dd58dda/full/1686,/0/default.jpg", false},
                 {"16568", "Water Lilies", "Claude Monet", 1906, "", true}});
    EXPECT_FALSE(first.works[1].Usable());
    EXPECT_FALSE(first.works[2].Usable());
    EXPECT_EQ(first.works[0].fallbackImageUrls,
              QStringList{iiif + "2d484387-2509-5e8e-2c43-22f9981972eb/full/843,/0/default.jpg"});
    EXPECT_EQ(first.works[0].pageUrl, "https://www.artic.edu/artworks/27992");
    EXPECT_EQ(first.works[0].licence, "CC0 1.0 (public domain)");

    const museum::SearchPage last = museum::ParseAicSearch(Fixture("aic_search_2.json"));
    EXPECT_FALSE(last.more);
    ASSERT_EQ(last.works.size(), 2u);
    EXPECT_EQ(last.works[1].artist, "");
    EXPECT_EQ(last.works[1].year, std::nullopt);

    const QUrlQuery query(museum::AicSearchUrl("https://api.artic.edu", "Dutch Golden Age & co", 3, 25));
    EXPECT_EQ(query.queryItemValue("q", QUrl::FullyDecoded), "Dutch Golden Age & co");
    EXPECT_EQ(query.queryItemValue("query[term][is_public_domain]"), "true");
    EXPECT_EQ(query.queryItemValue("page"), "3");
    EXPECT_EQ(query.queryItemValue("limit"), "25");
    EXPECT_TRUE(query.queryItemValue("fields").contains("image_id"));
}

TEST(MuseumApi, MetSearchGivesIdentifiersAndObjectsTheirWebImage)
{
    const museum::SearchPage found = museum::ParseMetSearch(Fixture("met_search.json"));
    ASSERT_TRUE(found.error.isEmpty());
    EXPECT_EQ(found.ids, (std::vector<QString>{"436535", "485938", "11111", "45734"}));
    // No match, as metmuseum/openaccess issue #44 quotes the answer.
    EXPECT_TRUE(museum::ParseMetSearch(R"({"total":0,"objectIDs":null})").error.isEmpty());
    // A whole recorded answer (srirakshabhat/artgallery, app/src/test/.../TestData.kt).
    const museum::SearchPage recorded = museum::ParseMetSearch(Fixture("met_search_sunflowers.json"));
    EXPECT_EQ(recorded.ids.size(), 89u);
    EXPECT_EQ(recorded.ids.front(), "436524");
    EXPECT_FALSE(recorded.more);

    // Recorded records; their sources are in tests/data/museum/README.md.
    struct Case {
        const char* file;
        Expected expected;
    };
    const Case cases[] = {
        {"met_object_436535.json", {"436535", "Wheat Field with Cypresses", "Vincent van Gogh", 1889,
                                    "http://museum.test/CRDImages/ep/original/DT1567.jpg", true}},
        {"met_object_485938.json", {"485938", "The Song of Orpheus", "Barnett Newman", 1944, "", false}},
        // The workshop's, circle's or attribution's prefix stays with the name.
        {"met_object_460863.json", {"460863", "Allegory of Triumph and Sacrifice", "Attributed to Andrea Briosco, called Riccio",
                                    1517, "http://museum.test/CRDImages/rl/original/SF-1975-1-1341.jpg", true}},
        // No artist, a year before the common era.
        {"met_object_247017.json", {"247017", "Cubiculum (bedroom) from the Villa of P. Fannius Synistor at Boscoreale", "",
                                    -50, "http://museum.test/CRDImages/gr/original/DP143704.jpg", true}},
        {"met_object_11111.json", {"11111", "Unphotographed Sketch", "", std::nullopt, "", true}},
    };
    for (const Case& c : cases) {
        QString error;
        const Work work = museum::ParseMetObject(Fixture(c.file), error);
        EXPECT_TRUE(error.isEmpty()) << c.file;
        ExpectWorks({work}, {c.expected});
    }
    // Where only the web size exists, it is taken.
    QString error;
    const Work webOnly = museum::ParseMetObject(
        Fixture("met_object_460863.json").replace("http://museum.test/CRDImages/rl/original/SF-1975-1-1341.jpg", ""), error);
    EXPECT_EQ(webOnly.imageUrl, "http://museum.test/CRDImages/rl/web-large/SF-1975-1-1341.jpg");
    EXPECT_TRUE(webOnly.fallbackImageUrls.isEmpty());
    EXPECT_EQ(museum::MetObjectUrl("https://collectionapi.metmuseum.org", "436535").toString(),
              "https://collectionapi.metmuseum.org/public/collection/v1/objects/436535");
    const QUrl search = museum::MetSearchUrl("https://collectionapi.metmuseum.org", "still life", 40, 20);
    EXPECT_EQ(search.path(), "/public/collection/v1.1/search");
    const QUrlQuery query(search);
    EXPECT_EQ(query.queryItemValue("hasImages"), "true");
    EXPECT_EQ(query.queryItemValue("offset"), "40");
    EXPECT_EQ(query.queryItemValue("limit"), "20");
    EXPECT_TRUE(museum::ParseMetSearch(Fixture("met_search_v11_1.json"), 0).more);
    EXPECT_FALSE(museum::ParseMetSearch(Fixture("met_search_v11_2.json"), 4).more);

    // The original image first, the web size to fall back on; where the work comes from.
    const Work wheat = museum::ParseMetObject(Fixture("met_object_436535.json"), error);
    EXPECT_EQ(wheat.fallbackImageUrls, QStringList{"http://museum.test/CRDImages/ep/web-large/DT1567.jpg"});
    EXPECT_EQ(wheat.pageUrl, "https://www.metmuseum.org/art/collection/search/436535");
    EXPECT_EQ(wheat.creditLine, "Purchase, The Annenberg Foundation Gift, 1993");
    // A listed identifier the Met answers with a message: no record, no error.
    QString message;
    museum::ParseMetObject(Fixture("met_object_855340.json"), error, &message);
    EXPECT_EQ(message, "Not a valid object");
    EXPECT_EQ(query.queryItemValue("q", QUrl::FullyDecoded), "still life");
}

TEST(MuseumApi, ClevelandTakesCc0AndItsLargestJpegRendition)
{
    const museum::SearchPage page = museum::ParseCmaSearch(Fixture("cma_search.json"), 0);
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_FALSE(page.more);
    ExpectWorks(page.works, {{"93014", "View of Schroon Mountain, Essex County, New York, After a Storm", "Thomas Cole", 1838,
                              "http://museum.test/cma/1335.1917_print.jpg", true},
                             {"99001", "A Modern Landscape", "A Painter", 1970, "http://museum.test/cma/2001.1_web.jpg", false},
                             {"99002", "Landscape without a Photograph", "", 1495, "", true},
                             {"99003", "A Damaged Print", "Katsushika Hokusai", 1830,
                              "http://museum.test/cma/1920.7_web.jpg", true}});
    // The full rendition is a TIFF: print, then web.
    EXPECT_EQ(page.works[0].fallbackImageUrls, QStringList{"http://museum.test/cma/1335.1917_web.jpg"});
    // A smaller pack side leaves the print rendition for when nothing else is there.
    const museum::SearchPage small = museum::ParseCmaSearch(Fixture("cma_search.json"), 0, 1600);
    EXPECT_EQ(small.works[0].imageUrl, "http://museum.test/cma/1335.1917_web.jpg");
    EXPECT_EQ(museum::CmaCreatorName("Claude Monet (French, 1840–1926)"), "Claude Monet");
    EXPECT_EQ(museum::CmaCreatorName("Workshop of Someone"), "Workshop of Someone");
    const QUrlQuery query(museum::CmaSearchUrl("https://openaccess-api.clevelandart.org", "still life", 30, 15));
    EXPECT_EQ(query.queryItemValue("cc0"), "1");
    EXPECT_EQ(query.queryItemValue("has_image"), "1");
    EXPECT_EQ(query.queryItemValue("skip"), "30");
    EXPECT_EQ(query.queryItemValue("limit"), "15");
}

TEST(MuseumApi, SmkTakesItsIiifImageAtThePacksSide)
{
    const museum::SearchPage page = museum::ParseSmkSearch(Fixture("smk_search.json"), 0);
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(page.total, 2);
    EXPECT_FALSE(page.more);
    // The picture's own 5141 pixels exceed the pack's 4096; an older scan gives its native image.
    ExpectWorks(page.works, {{"KKS1615", "Jomfru Maria med barnet og Sankt Anne ved vuggen", "Albrecht Altdorfer", 1479,
                              "http://museum.test/iiif/jp2/kks1615.tif.jp2/full/!4096,4096/0/default.jpg", true},
                             {"KKSgb6458", "Untitled sheet", "Hans Sebald Beham", std::nullopt,
                              "http://museum.test/api/v1/thumbnail/52f00edc-936e-42a7-950b-d0cd0df3864b.jpg", true}});
    EXPECT_EQ(page.works[0].fallbackImageUrls,
              QStringList{"http://museum.test/iiif-thumb/jp2/kks1615.tif.jp2/full/!1024,/0/default.jpg"});
    EXPECT_EQ(page.works[0].pageUrl, "https://open.smk.dk/en/artwork/image/KKS1615");
    EXPECT_EQ(museum::ParseSmkSearch(Fixture("smk_search.json"), 0, 2000).works[0].imageUrl,
              "http://museum.test/iiif/jp2/kks1615.tif.jp2/full/!2000,2000/0/default.jpg");
    const QUrlQuery query(museum::SmkSearchUrl("https://api.smk.dk", "landscape", 20, 10));
    EXPECT_EQ(query.queryItemValue("filters"), "[has_image:true],[public_domain:true]");
    EXPECT_EQ(query.queryItemValue("offset"), "20");
    EXPECT_EQ(query.queryItemValue("rows"), "10");
    EXPECT_TRUE(museum::ParseSmkSearch(R"({"items": {}})", 0).error.contains("items"));
}

// Answers that are no JSON, or JSON of another shape, are errors that say what
// was wrong; nothing of them is taken.
TEST(MuseumApi, DamagedOrUnexpectedAnswersAreNamed)
{
    struct Case {
        const char* name;
        QByteArray body;
        const char* says;
    };
    const Case cases[] = {
        {"html page", "<html><body>Service Unavailable</body></html>", "not JSON"},
        {"empty", "", "not JSON"},
        {"cut json", R"({"data": [{"id": 1, "title": "A)", "not JSON"},
        {"array", "[1, 2, 3]", "not an object"},
        {"no data", R"({"pagination": {}, "config": {"iiif_url": "x"}})", "\"data\""},
        {"data not a list", R"({"data": {"id": 1}})", "\"data\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const museum::SearchPage aic = museum::ParseAicSearch(c.body);
        EXPECT_TRUE(aic.error.contains(QLatin1String(c.says))) << aic.error.toStdString();
        EXPECT_TRUE(aic.works.empty());
        const museum::SearchPage cma = museum::ParseCmaSearch(c.body, 0);
        EXPECT_TRUE(cma.error.contains(QLatin1String(c.says))) << cma.error.toStdString();
    }
    EXPECT_TRUE(museum::ParseAicSearch(R"({"data": [{"id": 1, "image_id": "a", "is_public_domain": true}]})")
                    .error.contains("iiif_url"));
    EXPECT_FALSE(museum::ParseMetSearch(R"({"total": 3, "objectIDs": "many"})").error.isEmpty());
    QString error;
    museum::ParseMetObject(R"({"message": "Not a valid object"})", error);
    EXPECT_TRUE(error.contains("objectID"));
}

// What stands between a program and the answer: a firewall's block page, a bot
// challenge, or an ordinary error page.
TEST(MuseumApi, RefusalsAreToldFromOrdinaryErrors)
{
    using museum::Refusal;
    struct Case {
        const char* name;
        int status;
        QByteArray cfMitigated, contentType, body;
        Refusal expected;
    };
    const QByteArray incapsula = testsupport::MuseumFixture("met_firewall_403.html").toUtf8();
    const QByteArray challenge = testsupport::MuseumFixture("aic_challenge.html").toUtf8();
    const Case cases[] = {
        {"met firewall", 403, "", "text/html", incapsula, Refusal::Firewall},
        {"cloudflare header", 403, "challenge", "text/html; charset=UTF-8", challenge, Refusal::BrowserChallenge},
        {"cloudflare page only", 403, "", "text/html", challenge, Refusal::BrowserChallenge},
        {"plain 403", 403, "", "text/html", "<html><h1>Forbidden</h1></html>", Refusal::None},
        {"json 403", 403, "", "application/json", R"({"error": "forbidden"})", Refusal::None},
        {"success", 200, "", "text/html", challenge, Refusal::None},
        {"not found", 404, "", "text/html", incapsula, Refusal::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(museum::RefusalOf(c.status, c.cfMitigated, c.contentType, c.body), c.expected) << c.name;
}

} // namespace
