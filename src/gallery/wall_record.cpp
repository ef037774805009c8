#include "gallery/wall_record.h"

#include "gallery/statement.h"
#include "graphics/jpeg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include "core/temporary_file.h"

#include <string>

#include <unistd.h>

namespace gallery {

using detail::Execute;
using detail::SqlError;
using detail::Statement;

namespace {

// Version 1 of the layout. Times are milliseconds since 1970 (UTC); a row's
// thumbnail is a file name inside the thumbnail folder.
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS changes(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    time INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS wall(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    change INTEGER NOT NULL REFERENCES changes(id),
    monitor TEXT NOT NULL, primary_monitor INTEGER NOT NULL,
    pack_file TEXT NOT NULL, pack_name TEXT NOT NULL, entry TEXT NOT NULL,
    title TEXT NOT NULL, year TEXT NOT NULL, author TEXT NOT NULL,
    exposition TEXT NOT NULL, thumbnail TEXT NOT NULL,
    page TEXT NOT NULL, credit TEXT NOT NULL, licence TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS wall_by_change ON wall(change);
CREATE TABLE IF NOT EXISTS marks(
    pack_file TEXT NOT NULL, entry TEXT NOT NULL,
    favourite INTEGER NOT NULL DEFAULT 0, banned INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY(pack_file, entry));
PRAGMA user_version = 1;
)";
constexpr qint64 kSchemaVersion = 1; // the user_version kSchema sets

constexpr const char* kSelectRows = R"(
SELECT w.id, w.change, c.time, w.monitor, w.primary_monitor, w.pack_file, w.pack_name, w.entry,
       w.title, w.year, w.author, w.exposition, w.thumbnail, w.page, w.credit, w.licence,
       COALESCE(m.favourite, 0), COALESCE(m.banned, 0)
FROM wall w JOIN changes c ON c.id = w.change
LEFT JOIN marks m ON m.pack_file = w.pack_file AND m.entry = w.entry
)";

// Every busy wait ends after this long; a change then fails with error 32 rather
// than hang a front end.
constexpr int kBusyTimeoutMs = 20000;

// Writes bytes to path through one of the program's temporary files (locked while
// written, so a killed writer's leftover is recognised and cleared), so a reader
// never sees a part of a thumbnail. No flush to disk: a thumbnail lost in a crash
// only shows as missing.
bool WriteThumbnail(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const std::string folder = QFile::encodeName(QFileInfo(path).absolutePath()).toStdString();
    core::TemporaryFile temporary = core::CreateTemporaryFile(folder, 0644);
    if (temporary.fd < 0)
        return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(temporary.fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += std::size_t(n);
    }
    const bool ok = written == bytes.size() && ::rename(temporary.path.c_str(), target.constData()) == 0;
    if (!ok)
        ::unlink(temporary.path.c_str());
    ::close(temporary.fd);
    return ok;
}

void RemoveFiles(const QString& folder, const QStringList& names)
{
    for (const QString& name : names)
        if (!name.isEmpty())
            QFile::remove(folder + name);
}

} // namespace

QString RecordFileIn(const QString& dataFolder) { return dataFolder + QStringLiteral("wall.sqlite"); }

QString ThumbnailFolderOf(const QString& recordFile)
{
    const QFileInfo info(recordFile);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("-thumbnails/");
}

QImage MakeThumbnail(const QImage& picture)
{
    if (picture.isNull() || (picture.width() <= kThumbnailSide && picture.height() <= kThumbnailSide))
        return picture;
    return picture.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

core::Result<std::unique_ptr<WallRecord>> WallRecord::Open(const QString& file, int keptChanges)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()) || !QDir().mkpath(ThumbnailFolderOf(file)))
        return core::MakeError(5, QStringLiteral("The folder of the record of the wall %1 cannot be made.")
                                      .arg(file)
                                      .toStdString());
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
    auto fail = [&](const char* what) {
        core::Error error = SqlError(db, rc, file, what);
        sqlite3_close(db);
        return error;
    };
    if (rc != SQLITE_OK)
        return fail("opening");
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if ((rc = Execute(db, "PRAGMA journal_mode=WAL")) != SQLITE_OK)
        return fail("switching to write-ahead logging");
    Execute(db, "PRAGMA synchronous=NORMAL");
    {
        // A damaged page would otherwise only show when a change reads it.
        Statement check(db, "PRAGMA quick_check(1)");
        if ((rc = check.prepared()) != SQLITE_OK || (rc = check.Step()) != SQLITE_ROW)
            return fail("checking");
        if (check.Text(0) != QLatin1String("ok")) {
            sqlite3_close(db);
            return core::MakeError(23, QStringLiteral("The record of the wall %1 is damaged (%2); move it aside "
                                                      "to start a new one.")
                                           .arg(file, check.Text(0))
                                           .toStdString());
        }
    }
    // A record whose tables were made is only read here: setting its version again
    // would be a write, synced to the disk, on every opening, a mere export's too.
    bool made = false;
    {
        Statement version(db, "PRAGMA user_version");
        made = version.prepared() == SQLITE_OK && version.Step() == SQLITE_ROW && version.Integer(0) == kSchemaVersion;
    }
    if (!made) {
        if ((rc = Execute(db, "BEGIN IMMEDIATE")) != SQLITE_OK)
            return fail("starting");
        if ((rc = Execute(db, kSchema)) != SQLITE_OK || (rc = Execute(db, "COMMIT")) != SQLITE_OK) {
            core::Error error = SqlError(db, rc, file, "making its tables");
            Execute(db, "ROLLBACK");
            sqlite3_close(db);
            return error;
        }
    }
    // Thumbnails of writers that were killed while writing them.
    core::RemoveStaleTemporaryFiles(QFile::encodeName(ThumbnailFolderOf(file)).toStdString());
    return std::unique_ptr<WallRecord>(new WallRecord(db, file, keptChanges));
}

WallRecord::WallRecord(sqlite3* db, QString file, int keptChanges)
    : db_(db), file_(std::move(file)), thumbnails_(ThumbnailFolderOf(file_)), keptChanges_(keptChanges) {}

WallRecord::~WallRecord() { sqlite3_close(db_); }

core::Result<qint64> WallRecord::Add(const std::vector<WallEntry>& monitors, const std::vector<QImage>& thumbnails)
{
    if (monitors.empty())
        return core::MakeError(87, "A change with no monitor cannot be recorded.");
    // Thumbnails are encoded before the database is locked and written once the
    // rows are in, so other processes wait only for the rows, and a writer killed
    // on the way leaves a row without its thumbnail, never a thumbnail without
    // its row.
    QStringList names;
    std::vector<std::vector<std::uint8_t>> encoded(monitors.size());
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        QString name;
        std::string error;
        if (i < thumbnails.size() && !thumbnails[i].isNull() &&
            graphics::EncodeJpeg(MakeThumbnail(thumbnails[i]), 85, encoded[i], error))
            name = QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".jpg");
        names << name;
    }
    const std::lock_guard lock(mutex_);
    const QDateTime time = monitors.front().time.isValid() ? monitors.front().time : QDateTime::currentDateTimeUtc();
    QStringList pruned;
    qint64 change = 0;
    int rc = Execute(db_, "BEGIN IMMEDIATE");
    auto fail = [&](const char* what) {
        core::Error error = SqlError(db_, rc, file_, what);
        Execute(db_, "ROLLBACK");
        return error;
    };
    if (rc != SQLITE_OK)
        return fail("starting a change");
    {
        Statement insert(db_, "INSERT INTO changes(time) VALUES(?)");
        insert.Bind(1, time.toMSecsSinceEpoch());
        if ((rc = insert.Step()) != SQLITE_DONE)
            return fail("recording a change");
        change = sqlite3_last_insert_rowid(db_);
    }
    {
        Statement row(db_, "INSERT INTO wall(change, monitor, primary_monitor, pack_file, pack_name, entry, title, "
                           "year, author, exposition, thumbnail, page, credit, licence) "
                           "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const WallEntry& e = monitors[i];
            row.Bind(1, change);
            row.Bind(2, e.monitor);
            row.Bind(3, qint64(e.primary ? 1 : 0));
            int column = 4;
            const QString& thumbnail = names[int(i)];
            for (const QString* text : {&e.packFile, &e.packName, &e.entry, &e.title, &e.year, &e.author,
                                        &e.exposition, &thumbnail, &e.source.page, &e.source.credit,
                                        &e.source.licence})
                row.Bind(column++, *text);
            if ((rc = row.Step()) != SQLITE_DONE)
                return fail("recording a monitor");
            row.Reset();
        }
    }
    {
        // The oldest change still kept; everything before it goes.
        Statement edge(db_, "SELECT id FROM changes ORDER BY id DESC LIMIT 1 OFFSET ?");
        edge.Bind(1, qint64(keptChanges_ > 0 ? keptChanges_ - 1 : 0));
        if ((rc = edge.Step()) == SQLITE_ROW) {
            const qint64 oldest = edge.Integer(0);
            Statement files(db_, "SELECT thumbnail FROM wall WHERE change < ?");
            files.Bind(1, oldest);
            while ((rc = files.Step()) == SQLITE_ROW)
                pruned << files.Text(0);
            Statement dropRows(db_, "DELETE FROM wall WHERE change < ?");
            dropRows.Bind(1, oldest);
            Statement dropChanges(db_, "DELETE FROM changes WHERE id < ?");
            dropChanges.Bind(1, oldest);
            if (rc != SQLITE_DONE || (rc = dropRows.Step()) != SQLITE_DONE || (rc = dropChanges.Step()) != SQLITE_DONE)
                return fail("dropping old changes");
        } else if (rc != SQLITE_DONE) {
            return fail("counting changes");
        }
    }
    if ((rc = Execute(db_, "COMMIT")) != SQLITE_OK)
        return fail("finishing a change");
    RemoveFiles(thumbnails_, pruned);
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (!names[int(i)].isEmpty())
            WriteThumbnail(thumbnails_ + names[int(i)], encoded[i]); // the row stands without it
    return change;
}

core::Result<std::vector<WallEntry>> WallRecord::Rows(const char* where, qint64 argument)
{
    const std::lock_guard lock(mutex_);
    const std::string sql = std::string(kSelectRows) + where +
                            " ORDER BY w.change DESC, w.primary_monitor DESC, w.id";
    Statement select(db_, sql.c_str());
    if (select.prepared() != SQLITE_OK)
        return SqlError(db_, select.prepared(), file_, "reading");
    select.Bind(1, argument);
    std::vector<WallEntry> rows;
    int rc;
    while ((rc = select.Step()) == SQLITE_ROW) {
        WallEntry e;
        e.id = select.Integer(0);
        e.change = select.Integer(1);
        e.time = QDateTime::fromMSecsSinceEpoch(select.Integer(2), Qt::UTC);
        e.monitor = select.Text(3);
        e.primary = select.Integer(4) != 0;
        QString* texts[] = {&e.packFile, &e.packName,  &e.entry,       &e.title,         &e.year,
                            &e.author,   &e.exposition, &e.thumbnail, &e.source.page, &e.source.credit,
                            &e.source.licence};
        int column = 5;
        for (QString* text : texts)
            *text = select.Text(column++);
        if (!e.thumbnail.isEmpty())
            e.thumbnail.prepend(thumbnails_);
        e.favourite = select.Integer(16) != 0;
        e.banned = select.Integer(17) != 0;
        rows.push_back(std::move(e));
    }
    if (rc != SQLITE_DONE)
        return SqlError(db_, rc, file_, "reading");
    return rows;
}

core::Result<std::vector<WallEntry>> WallRecord::History(int changes)
{
    return Rows("WHERE w.change IN (SELECT id FROM changes ORDER BY id DESC LIMIT ?)", changes > 0 ? changes : -1);
}

core::Result<std::vector<WallEntry>> WallRecord::OnWall() { return History(1); }

core::Result<std::vector<WallEntry>> WallRecord::ChangeRows(qint64 change)
{
    return Rows("WHERE w.change = ?", change);
}

core::Result<WallEntry> WallRecord::Entry(qint64 id)
{
    auto rows = Rows("WHERE w.id = ?", id);
    if (!rows.ok())
        return std::move(rows).error();
    if (rows->empty())
        return core::MakeError(2, QStringLiteral("The record of the wall has no entry %1 (it keeps the last %2 "
                                                 "changes).")
                                      .arg(id)
                                      .arg(keptChanges_)
                                      .toStdString());
    return std::move(rows->front());
}

core::Result<PictureKey> WallRecord::PrimaryPicture()
{
    auto rows = OnWall();
    if (!rows.ok())
        return std::move(rows).error();
    if (rows->empty())
        return PictureKey{};
    return rows->front().Key();
}

core::Result<qint64> WallRecord::OthersVersion()
{
    const std::lock_guard lock(mutex_);
    Statement version(db_, "PRAGMA data_version");
    int rc = version.prepared();
    if (rc != SQLITE_OK || (rc = version.Step()) != SQLITE_ROW)
        return SqlError(db_, rc, file_, "reading the record's version");
    return version.Integer(0);
}

core::Result<void> WallRecord::SetMark(const PictureKey& picture, const char* column, bool on)
{
    if (picture.empty())
        return core::MakeError(87, "Only a picture from a pack can be marked.");
    const std::lock_guard lock(mutex_);
    const std::string upsert = std::string("INSERT INTO marks(pack_file, entry, ") + column +
                               ") VALUES(?, ?, ?) ON CONFLICT(pack_file, entry) DO UPDATE SET " + column +
                               " = excluded." + column;
    Statement set(db_, upsert.c_str());
    set.Bind(1, picture.packFile);
    set.Bind(2, picture.entry);
    set.Bind(3, qint64(on ? 1 : 0));
    int rc = set.prepared();
    if (rc != SQLITE_OK || (rc = set.Step()) != SQLITE_DONE)
        return SqlError(db_, rc, file_, "marking a picture");
    // A picture with no mark left keeps no row.
    Execute(db_, "DELETE FROM marks WHERE favourite = 0 AND banned = 0");
    return core::Ok();
}

core::Result<void> WallRecord::SetFavourite(const PictureKey& picture, bool on)
{
    return SetMark(picture, "favourite", on);
}

core::Result<void> WallRecord::SetBanned(const PictureKey& picture, bool on) { return SetMark(picture, "banned", on); }

core::Result<std::vector<PictureKey>> WallRecord::Marked(const char* column)
{
    const std::lock_guard lock(mutex_);
    const std::string sql =
        std::string("SELECT pack_file, entry FROM marks WHERE ") + column + " != 0 ORDER BY pack_file, entry";
    Statement select(db_, sql.c_str());
    std::vector<PictureKey> keys;
    int rc = select.prepared();
    if (rc != SQLITE_OK)
        return SqlError(db_, rc, file_, "reading the marks");
    while ((rc = select.Step()) == SQLITE_ROW)
        keys.push_back({select.Text(0), select.Text(1)});
    if (rc != SQLITE_DONE)
        return SqlError(db_, rc, file_, "reading the marks");
    return keys;
}

core::Result<std::vector<PictureKey>> WallRecord::Favourites() { return Marked("favourite"); }

core::Result<std::vector<PictureKey>> WallRecord::Banned() { return Marked("banned"); }

} // namespace gallery
