#include "gallery/wall_record.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using gallery::PictureKey;
using gallery::WallEntry;
using gallery::WallRecord;

namespace {

WallEntry Monitor(const QString& monitor, bool primary, const QString& pack, const QString& entry)
{
    WallEntry e;
    e.monitor = monitor;
    e.primary = primary;
    e.packFile = pack;
    e.packName = pack + " pack";
    e.entry = entry;
    e.title = entry + " title";
    return e;
}

QImage Picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    return image;
}

std::unique_ptr<WallRecord> OpenIn(const QTemporaryDir& dir, int kept = gallery::kKeptChanges)
{
    auto record = WallRecord::Open(dir.filePath("data/wall.sqlite"), kept);
    EXPECT_TRUE(record.ok()) << (record.ok() ? "" : record.error().text);
    return record.ok() ? std::move(record).value() : nullptr;
}

} // namespace

TEST(WallRecord, ChangesReadBackNewestFirstWithPrimaryFirstAndMarks)
{
    QTemporaryDir dir;
    auto record = OpenIn(dir);
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->OnWall()->empty());
    EXPECT_TRUE(record->PrimaryPicture()->empty());

    ASSERT_TRUE(record->Add({Monitor("DP-1", true, "a.zip", "one.jpg")}, {Picture(1920, 1080)}).ok());
    // The primary monitor comes second in the change but first when read.
    auto second = record->Add({Monitor("DP-2", false, "b.zip", "two.jpg"), Monitor("DP-1", true, "a.zip", "three.jpg")},
                              {Picture(200, 800), QImage()});
    ASSERT_TRUE(second.ok());
    ASSERT_TRUE(record->SetFavourite({"a.zip", "three.jpg"}, true).ok());
    ASSERT_TRUE(record->SetBanned({"b.zip", "two.jpg"}, true).ok());
    ASSERT_TRUE(record->SetBanned({"c.zip", "never-shown.jpg"}, true).ok());

    auto wall = record->OnWall();
    ASSERT_TRUE(wall.ok());
    ASSERT_EQ(wall->size(), 2u);
    EXPECT_EQ((*wall)[0].entry, "three.jpg");
    EXPECT_TRUE((*wall)[0].primary && (*wall)[0].favourite && !(*wall)[0].banned);
    EXPECT_TRUE((*wall)[0].thumbnail.isEmpty());
    EXPECT_EQ((*wall)[1].entry, "two.jpg");
    EXPECT_TRUE((*wall)[1].banned);
    EXPECT_EQ((*wall)[0].change, *second);
    EXPECT_EQ(record->PrimaryPicture().value(), (PictureKey{"a.zip", "three.jpg"}));

    // A tall picture's thumbnail is bounded by its height.
    const QImage thumb((*wall)[1].thumbnail);
    EXPECT_EQ(thumb.height(), gallery::kThumbnailSide);
    EXPECT_EQ(thumb.width(), 80);

    auto history = record->History();
    ASSERT_TRUE(history.ok());
    ASSERT_EQ(history->size(), 3u);
    EXPECT_EQ(history->back().entry, "one.jpg");
    EXPECT_EQ(record->History(1)->size(), 2u);
    auto entry = record->Entry(history->back().id);
    ASSERT_TRUE(entry.ok());
    EXPECT_EQ(entry->title, "one.jpg title");
    EXPECT_EQ(entry->packName, "a.zip pack");
    EXPECT_EQ(record->Entry(9999).error().code, 2);

    EXPECT_EQ(record->Banned().value(),
              (std::vector<PictureKey>{{"b.zip", "two.jpg"}, {"c.zip", "never-shown.jpg"}}));
    ASSERT_TRUE(record->SetBanned({"b.zip", "two.jpg"}, false).ok());
    EXPECT_EQ(record->Banned()->size(), 1u);
    EXPECT_EQ(record->Favourites().value(), (std::vector<PictureKey>{{"a.zip", "three.jpg"}}));
    EXPECT_FALSE(record->SetFavourite({"", "x.jpg"}, true).ok());
}

TEST(WallRecord, KeepsTheLastChangesAndDeletesTheThumbnailsOfTheOthers)
{
    QTemporaryDir dir;
    auto record = OpenIn(dir);
    ASSERT_TRUE(record);
    const int total = gallery::kKeptChanges + 5;
    for (int i = 0; i < total; ++i)
        ASSERT_TRUE(record->Add({Monitor("", true, "a.zip", QString::number(i))}, {Picture(16, 9)}).ok()) << i;
    auto history = record->History();
    ASSERT_TRUE(history.ok());
    ASSERT_EQ(int(history->size()), gallery::kKeptChanges);
    EXPECT_EQ(history->front().entry, QString::number(total - 1));
    EXPECT_EQ(history->back().entry, QString::number(total - gallery::kKeptChanges));
    const QDir thumbnails(gallery::ThumbnailFolderOf(record->File()));
    EXPECT_EQ(int(thumbnails.entryList(QDir::Files).size()), gallery::kKeptChanges);
    for (const WallEntry& e : *history)
        EXPECT_TRUE(QFile::exists(e.thumbnail)) << e.thumbnail.toStdString();
}

TEST(WallRecord, ADamagedOrForeignFileGivesAClearError)
{
    struct Case {
        const char* name;
        QByteArray contents;
    };
    QByteArray truncatedHeader("SQLite format 3");
    truncatedHeader.append('\0');
    truncatedHeader.append(QByteArray(200, '\x7f'));
    const Case cases[] = {
        {"text", QByteArray("these are not the rows you are looking for\n").repeated(200)},
        {"damaged header", truncatedHeader.leftJustified(8192, '\x55')},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("wall.sqlite");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(c.contents);
        out.close();
        auto record = WallRecord::Open(file);
        ASSERT_FALSE(record.ok()) << c.name;
        EXPECT_EQ(record.error().code, 23) << c.name;
        EXPECT_NE(record.error().text.find("damaged"), std::string::npos) << c.name << ": " << record.error().text;
        EXPECT_NE(record.error().text.find(file.toStdString()), std::string::npos) << c.name;
    }
}

TEST(WallRecord, TwoHoldsOnOneFileSeeEachOthersChanges)
{
    QTemporaryDir dir;
    auto first = OpenIn(dir);
    auto second = OpenIn(dir);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->Add({Monitor("", true, "a.zip", "x.jpg")}, {}).ok());
    ASSERT_TRUE(second->SetFavourite({"a.zip", "x.jpg"}, true).ok());
    auto wall = second->OnWall();
    ASSERT_TRUE(wall.ok());
    ASSERT_EQ(wall->size(), 1u);
    EXPECT_TRUE(first->OnWall()->front().favourite);

    // Each sees the other's writes move its version, not its own; and finds a
    // change by its number.
    const qint64 seen = *first->OthersVersion();
    const auto own = first->Add({Monitor("", true, "a.zip", "y.jpg")}, {});
    ASSERT_TRUE(own.ok());
    EXPECT_EQ(*first->OthersVersion(), seen);
    ASSERT_TRUE(second->Add({Monitor("", true, "a.zip", "z.jpg")}, {}).ok());
    EXPECT_NE(*first->OthersVersion(), seen);
    const auto rows = second->ChangeRows(*own);
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front().entry, "y.jpg");
}

// Commands that only read the record (an export looks up what is on the wall)
// must leave its file as it was: no write, and so no wait for the disk.
TEST(WallRecord, OnlyReadingAMadeRecordLeavesItsFileAsItWas)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("data/wall.sqlite");
    auto record = OpenIn(dir);
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->Add({Monitor("", true, "a.zip", "x.jpg")}, {}).ok());
    record.reset();
    const auto contents = [&file] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = contents();
    ASSERT_FALSE(before.isEmpty());
    record = OpenIn(dir);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->OnWall()->size(), 1u);
    EXPECT_FALSE(record->PrimaryPicture()->empty());
    record.reset();
    EXPECT_EQ(contents(), before);
}
