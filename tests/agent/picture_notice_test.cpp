// How the picture on the wall is named (tray tip, notification), and the
// notification's actions.
#include "agent/picture_line.h"
#include "agent/picture_notice.h"
#include "agent_fakes.h"

#include <QTemporaryDir>
#include <QImage>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace agenttest;

gallery::WallEntry Work(QString title, QString year, QString author)
{
    gallery::WallEntry e;
    e.packFile = QStringLiteral("masters.zip");
    e.packName = QStringLiteral("Old Masters");
    e.entry = QStringLiteral("07 - work.jpg");
    e.title = std::move(title);
    e.year = std::move(year);
    e.author = std::move(author);
    return e;
}

TEST(PictureLine, NamesTitleYearAndAuthorAsThePackGaveThem)
{
    const struct {
        gallery::WallEntry entry;
        QString line;
    } cases[] = {
        {Work("Starry Night", "1889", "Vincent van Gogh"), "Starry Night (1889, Vincent van Gogh)"},
        {Work("Starry Night", "", "Vincent van Gogh"), "Starry Night (Vincent van Gogh)"},
        {Work("Starry Night", "0", ""), "Starry Night"},
        {Work("Water Lilies", "c. 1915", ""), "Water Lilies (c. 1915)"},
        {Work("  Lots   of\nspace ", "", ""), "Lots of space"},
        {Work("", "1889", "Nobody"), ""}, // no art: nothing to name
    };
    for (const auto& c : cases)
        EXPECT_EQ(agent::PictureLine(c.entry), c.line) << c.line.toStdString();
    // Cut with a mark, never inside a character of two UTF-16 units.
    const QString cut = agent::PictureLine(Work(QString(10, QChar('a')) + QString::fromUtf8("\U0001F3A8") + "bbbb", "", ""), 14);
    EXPECT_EQ(cut, QString(10, QChar('a')) + "...");
}

TEST(PictureNotice, SaysWhatIsOnTheWallWithItsThumbnailAndActions)
{
    QTemporaryDir dir;
    gallery::WallEntry e = Work("Bridge <at> Arles & co", "1888", "Vincent van Gogh");
    e.thumbnail = dir.filePath("thumb.jpg");
    QImage(32, 20, QImage::Format_RGB32).save(e.thumbnail);
    const platform::DesktopNotification n = agent::PictureNotice::Text(e);
    EXPECT_EQ(n.summary, "Bridge <at> Arles & co");
    EXPECT_TRUE(n.body.contains("1888, Vincent van Gogh"));
    EXPECT_TRUE(n.body.contains("Old Masters"));
    EXPECT_EQ(n.imagePath, QUrl::fromLocalFile(e.thumbnail).toString());
    EXPECT_EQ(n.actions, QStringList({"next", "Next", "favourite", "Favourite"}));
    // The body may be read as markup: the pack's words stay words.
    EXPECT_TRUE(agent::PictureNotice::Text(Work("T", "", "Smith & <b>Sons</b>")).body.contains("Smith &amp; &lt;b&gt;"));
    // A thumbnail pruned meanwhile is not offered.
    e.thumbnail = dir.filePath("gone.jpg");
    EXPECT_TRUE(agent::PictureNotice::Text(e).imagePath.isEmpty());
}

TEST(PictureNotice, ActionsOfItsOwnNotificationRunAndOthersAreIgnored)
{
    NotifierLog log;
    int nexts = 0;
    std::vector<gallery::PictureKey> favourites;
    agent::PictureNotice notice(std::make_unique<RecordingNotifier>(log), [&] { ++nexts; },
                                [&](const gallery::PictureKey& k) { favourites.push_back(k); });
    ASSERT_TRUE(notice.Tell(Work("One", "", "")));
    const quint32 first = 101;

    const struct {
        quint32 id;
        const char* action;
        int nexts;
        std::size_t favourites;
    } cases[] = {
        {first, "favourite", 0, 1},
        {first + 7, "next", 0, 1}, // another program's notification
        {first, "default", 0, 1},  // a click on the body: no action of ours
        {first, "next", 1, 1},     // takes the notification away: it named the old picture
        {first, "favourite", 1, 1},
    };
    for (const auto& c : cases) {
        log.act(c.id, QString::fromLatin1(c.action));
        EXPECT_EQ(nexts, c.nexts) << c.action;
        EXPECT_EQ(favourites.size(), c.favourites) << c.action;
    }
    EXPECT_EQ(favourites.front().entry, "07 - work.jpg");
    EXPECT_EQ(log.closed, std::vector<quint32>{first});

    // While one is shown the next picture takes its place; once closed, a new one comes.
    ASSERT_TRUE(notice.Tell(Work("Two", "", "")));
    EXPECT_EQ(log.sent.back().replaces, 0u);
    const quint32 second = 102;
    ASSERT_TRUE(notice.Tell(Work("Three", "", "")));
    EXPECT_EQ(log.sent.back().replaces, second);
    log.close(second);
    ASSERT_TRUE(notice.Tell(Work("Four", "", "")));
    EXPECT_EQ(log.sent.back().replaces, 0u);
    log.refuse = true;
    EXPECT_FALSE(notice.Tell(Work("Five", "", "")));
}

} // namespace
