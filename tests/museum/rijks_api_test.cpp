// The Rijksmuseum's answers, recorded, read into works: the search's identifiers
// and page token, an object's title, year, maker and credit, the visual item's
// rights and the digital object's IIIF image; damaged and unexpected records.
#include "museum/rijks_api.h"
#include "support/museum_server.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

QByteArray Fixture(const char* name)
{
    return testsupport::MuseumFixture(QString::fromLatin1(name)).replace("{base}", "http://museum.test").toUtf8();
}

TEST(RijksApi, SearchGivesIdentifiersAndTheNextPagesToken)
{
    const museum::SearchPage page = museum::ParseRijksSearch(Fixture("rijks_search.json"));
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(page.ids, (std::vector<QString>{"https://id.rijksmuseum.nl/200106038", "https://id.rijksmuseum.nl/200107928",
                                              "https://id.rijksmuseum.nl/200117708"}));
    EXPECT_EQ(page.total, 1447);
    EXPECT_TRUE(page.more);
    EXPECT_EQ(page.nextToken, "eyJ0b2tlbiI6ICJodHRwczovL2lkLnJpamtzbXVzZXVtLm5sLzIwMDEyNDYzNiJ9");

    const QUrl next = museum::RijksSearchUrl("https://data.rijksmuseum.nl", "still life", page.nextToken);
    EXPECT_EQ(next.path(), "/search/collection");
    const QUrlQuery query(next);
    EXPECT_EQ(query.queryItemValue("description", QUrl::FullyDecoded), "still life");
    EXPECT_EQ(query.queryItemValue("imageAvailable"), "true");
    EXPECT_EQ(query.queryItemValue("pageToken"), page.nextToken);
    EXPECT_FALSE(QUrlQuery(museum::RijksSearchUrl("https://data.rijksmuseum.nl", "x")).hasQueryItem("pageToken"));

    // The last page: no "next", and an empty result may leave the list out.
    const museum::SearchPage last = museum::ParseRijksSearch(R"({"partOf": {"totalItems": 0}, "type": "OrderedCollectionPage"})");
    EXPECT_TRUE(last.error.isEmpty());
    EXPECT_FALSE(last.more);
    EXPECT_TRUE(last.ids.empty());
}

TEST(RijksApi, RecordsAreReadAtTheirIdentifiers)
{
    EXPECT_EQ(museum::RijksRecordBase("https://data.rijksmuseum.nl", "https://data.rijksmuseum.nl"), "https://id.rijksmuseum.nl");
    EXPECT_EQ(museum::RijksRecordBase("http://127.0.0.1:4000", "https://data.rijksmuseum.nl"), "http://127.0.0.1:4000");
    struct Case {
        const char* id;
        const char* url; // empty: refused
    };
    const Case cases[] = {
        {"https://id.rijksmuseum.nl/200107928", "https://id.rijksmuseum.nl/200107928"},
        {"https://id.rijksmuseum.nl/500711199912110510799100", "https://id.rijksmuseum.nl/500711199912110510799100"},
        {"https://example.org/200107928", ""},
        {"https://id.rijksmuseum.nl/200107928/../../etc", ""},
        {"https://id.rijksmuseum.nl.example.org/200107928", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(museum::RijksRecordUrl("https://id.rijksmuseum.nl", c.id).toString(), QString::fromLatin1(c.url)) << c.id;
}

TEST(RijksApi, ObjectsGiveTitleYearMakerCreditAndTheirVisualItem)
{
    struct Case {
        const char* fixture;
        const char* id;
        const char* title;
        const char* artist;
        int year;
        const char* credit;
        const char* page;
        const char* visual;
    };
    const Case cases[] = {
        {"rijks_object_200107928.json", "SK-C-5",
         "The Night Watch Militia Company of District II under the Command of Captain Frans Banninck Cocq",
         "Rembrandt van Rijn", 1642, "On loan from the City of Amsterdam",
         "https://www.rijksmuseum.nl/nl/collectie/object/SK-C-5--3137deb45cd7765f9a76084a16c99544",
         "https://id.rijksmuseum.nl/202107928"},
        {"rijks_object_200117708.json", "RP-T-1930-54(V)", "Three Scribes", "Rembrandt van Rijn", 1628,
         "Gift of C. Hofstede de Groot, The Hague",
         "https://www.rijksmuseum.nl/nl/collectie/object/RP-T-1930-54(V)--fd59b34d66487dc82649b7c76502ad4b",
         "https://id.rijksmuseum.nl/202117708"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        QString visual, error;
        const museum::Work work = museum::ParseRijksObject(Fixture(c.fixture), visual, error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(work.id, c.id);
        EXPECT_EQ(work.title, c.title);
        EXPECT_EQ(work.artist, c.artist);
        EXPECT_EQ(work.year, c.year);
        EXPECT_EQ(work.creditLine, c.credit);
        EXPECT_EQ(work.pageUrl, c.page);
        EXPECT_EQ(visual, c.visual);
        EXPECT_FALSE(work.publicDomain); // only its visual item says so
    }

    // A record without a statement of its maker names those who made it; one
    // without anything usable still gives its number, and no visual item.
    QString visual, error;
    museum::Work bare = museum::ParseRijksObject(
        R"({"id": "https://id.rijksmuseum.nl/200000001", "type": "HumanMadeObject", "produced_by": {"timespan":
            {"begin_of_the_begin": "-0450-01-01T00:00:00Z"}, "part": [{"carried_out_by": [{"notation":
            [{"@language": "nl", "@value": "Meester van Alkmaar"}]}]}]}})",
        visual, error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(bare.id, "200000001");
    EXPECT_EQ(bare.artist, "Meester van Alkmaar");
    EXPECT_EQ(bare.year, -450);
    EXPECT_EQ(bare.pageUrl, "https://id.rijksmuseum.nl/200000001");
    EXPECT_TRUE(visual.isEmpty());
}

TEST(RijksApi, VisualItemsGiveRightsAndDigitalObjectsTheImage)
{
    bool publicDomain = false;
    QString licence, error;
    EXPECT_EQ(museum::ParseRijksVisualItem(Fixture("rijks_visual_202107928.json"), publicDomain, licence, error),
              "https://id.rijksmuseum.nl/500711199912110510799100");
    EXPECT_TRUE(publicDomain);
    EXPECT_EQ(licence, "Public Domain Mark 1.0");

    struct Rights {
        const char* classified;
        bool publicDomain;
    };
    for (const Rights& r : {Rights{"https://creativecommons.org/publicdomain/zero/1.0/", true},
                            Rights{"http://rightsstatements.org/vocab/InC/1.0/", false},
                            Rights{"https://creativecommons.org/licenses/by/4.0/", false}}) {
        const QByteArray body = QStringLiteral(R"({"type": "VisualItem", "subject_to": [{"type": "Right",
            "classified_as": [{"id": "%1"}]}], "digitally_shown_by": [{"id": "https://id.rijksmuseum.nl/5001"}]})")
                                    .arg(QLatin1String(r.classified))
                                    .toUtf8();
        museum::ParseRijksVisualItem(body, publicDomain, licence, error);
        EXPECT_EQ(publicDomain, r.publicDomain) << r.classified;
    }

    const QStringList images = museum::ParseRijksDigitalObject(Fixture("rijks_digital_500711199912110510799100.json"), 4096, error);
    EXPECT_EQ(images, (QStringList{"http://museum.test/iiif/PJEZO/full/!4096,4096/0/default.jpg",
                                   "http://museum.test/iiif/PJEZO/full/max/0/default.jpg"}));
    EXPECT_TRUE(museum::ParseRijksDigitalObject(R"({"type": "DigitalObject"})", 4096, error).isEmpty());
    EXPECT_EQ(museum::ParseRijksDigitalObject(R"({"access_point": [{"id": "https://example.org/a.jpg"}]})", 4096, error),
              QStringList{"https://example.org/a.jpg"});
}

TEST(RijksApi, DamagedOrUnexpectedRecordsAreNamed)
{
    struct Case {
        const char* name;
        QByteArray body;
        const char* says;
    };
    const Case cases[] = {
        {"html page", "<html><body>Not Found</body></html>", "not JSON"},
        {"empty", "", "not JSON"},
        {"cut", R"({"type": "HumanMadeObject", "identified_by": [)", "not JSON"},
        {"array", "[]", "not an object"},
        {"a person", R"({"id": "https://id.rijksmuseum.nl/2103429", "type": "Person"})", "no object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString visual, error;
        museum::ParseRijksObject(c.body, visual, error);
        EXPECT_TRUE(error.contains(QLatin1String(c.says))) << error.toStdString();
        EXPECT_TRUE(visual.isEmpty());
        if (QByteArray(c.says) != "no object") {
            bool publicDomain = true;
            QString licence;
            error.clear();
            EXPECT_TRUE(museum::ParseRijksVisualItem(c.body, publicDomain, licence, error).isEmpty());
            EXPECT_FALSE(publicDomain);
            EXPECT_FALSE(error.isEmpty());
            error.clear();
            EXPECT_TRUE(museum::ParseRijksDigitalObject(c.body, 4096, error).isEmpty());
            EXPECT_FALSE(error.isEmpty());
        }
    }
    EXPECT_TRUE(museum::ParseRijksSearch(R"({"orderedItems": {"id": "x"}})").error.contains("orderedItems"));
    EXPECT_FALSE(museum::ParseRijksSearch("<html>").error.isEmpty());
}

} // namespace
