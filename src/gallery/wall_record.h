#pragma once
// The record of the wall: every desktop change, one row per monitor, newest last;
// and the person's marks of pictures (favourite, never show again).
//
// The record is one SQLite file in WAL mode with a busy timeout: the window, the
// agent and any number of ambience-cli processes write and read it at the same
// time; each change is one transaction, so a reader sees all of a change's rows or
// none, and a process killed while writing leaves the record as it was before.
// Thumbnails are JPEG files in a folder beside the database file.
//
// A WallRecord may be used from several threads: calls are serialised.
#include "core/result.h"
#include "gallery/wall_entry.h"

#include <QImage>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

struct sqlite3;

namespace gallery {

// How many changes the record keeps; older ones and their thumbnails are deleted.
inline constexpr int kKeptChanges = 1000;
// The longer side of a thumbnail, in pixels.
inline constexpr int kThumbnailSide = 320;

// The record's file in the given data folder (which ends with "/").
QString RecordFileIn(const QString& dataFolder);
// The folder of the thumbnails of the record at recordFile.
QString ThumbnailFolderOf(const QString& recordFile);
// A copy of picture at most kThumbnailSide on its longer side (smooth scaling);
// smaller pictures are returned as they are. For the worker thread of a change.
QImage MakeThumbnail(const QImage& picture);

class WallRecord {
public:
    // Opens the record at file, making it (and its folder) when missing. Errors:
    // 23 when the file is no database or is damaged, 5 when it cannot be opened for
    // writing, with a sentence that names the file. keptChanges bounds the record.
    static core::Result<std::unique_ptr<WallRecord>> Open(const QString& file, int keptChanges = kKeptChanges);
    ~WallRecord();
    WallRecord(const WallRecord&) = delete;
    WallRecord& operator=(const WallRecord&) = delete;

    QString File() const { return file_; }

    // Records one change: one row for each monitor (thumbnails[i] belongs to
    // monitors[i]; a missing or null image records no thumbnail). Thumbnails larger
    // than kThumbnailSide are scaled down. Then drops the changes beyond the bound,
    // with their thumbnail files. Returns the new change's number.
    core::Result<qint64> Add(const std::vector<WallEntry>& monitors, const std::vector<QImage>& thumbnails);

    // The rows of the last `changes` changes, newest change first, and within a
    // change the primary monitor first. changes <= 0: all the record keeps.
    core::Result<std::vector<WallEntry>> History(int changes = 0);
    // The rows of the latest change (primary monitor first); empty when none yet.
    core::Result<std::vector<WallEntry>> OnWall();
    // The rows of one change by its number (primary monitor first); empty when the
    // record no longer keeps it.
    core::Result<std::vector<WallEntry>> ChangeRows(qint64 change);
    // One row by its id. Error 2 when the record has no such row (any more).
    core::Result<WallEntry> Entry(qint64 id);
    // The picture the record says is on the primary monitor; an empty key when
    // nothing is recorded yet or that change showed no art.
    core::Result<PictureKey> PrimaryPicture();

    // A number that moves whenever another connection (another process, or another
    // WallRecord on the same file) has written to the record since the last call.
    core::Result<qint64> OthersVersion();

    // The person's marks; a picture keeps them whether or not it was ever shown.
    core::Result<void> SetFavourite(const PictureKey& picture, bool on);
    core::Result<void> SetBanned(const PictureKey& picture, bool on);
    // Marked pictures, sorted by pack file and entry.
    core::Result<std::vector<PictureKey>> Favourites();
    core::Result<std::vector<PictureKey>> Banned();

private:
    WallRecord(sqlite3* db, QString file, int keptChanges);
    core::Result<void> SetMark(const PictureKey& picture, const char* column, bool on);
    core::Result<std::vector<PictureKey>> Marked(const char* column);
    core::Result<std::vector<WallEntry>> Rows(const char* where, qint64 argument);

    sqlite3* db_;
    QString file_;
    QString thumbnails_;
    int keptChanges_;
    std::mutex mutex_;
};

} // namespace gallery
