#pragma once
// The cache of one museum's answers and images under $XDG_CACHE_HOME/Ambience/
// (default ~/.cache/Ambience/), so that a second run of a fetch, or one cut short,
// asks the museum only for what it does not have yet. Images are stored under the
// work's identifier once complete and checked; a download in progress is one of
// the program's temporary files (core/temporary_file.h) in the same folder,
// renamed into place, so a killed fetch leaves only what the next one removes.
// Fetches running at once share the cache: each image has a lock of its own,
// held while it is looked at and downloaded.
#include "core/temporary_file.h"
#include "museum/museums.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <atomic>
#include <optional>

namespace museum {

// A lock on one cache entry, released when it goes.
class EntryLock {
public:
    EntryLock() = default;
    explicit EntryLock(int fd) : fd_(fd) {}
    ~EntryLock();
    EntryLock(EntryLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    EntryLock& operator=(EntryLock&&) = delete;
    EntryLock(const EntryLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// $XDG_CACHE_HOME/Ambience/, or ~/.cache/Ambience/; empty when neither is known.
QString CacheRoot();

class FetchCache {
public:
    // The folder for a museum at an API base: the real museum's answers and a test
    // server's never mix.
    FetchCache(const QString& root, Source source, const QString& apiBase);

    bool Usable() const { return !folder_.isEmpty(); }
    QString Folder() const { return folder_; }
    QString ImagePath(const QString& workId) const;

    // Waits for the entry's lock (another fetch may be downloading it); an empty
    // lock when cancelled or when the lock file cannot be made.
    EntryLock LockImage(const QString& workId, const std::atomic<bool>* cancel) const;
    // A new temporary file in the images folder for a download, open and locked
    // (fd -1 and error set on failure). The caller renames it, then closes it.
    core::TemporaryFile NewDownloadFile() const;
    // Removes what killed fetches left: stale temporary files, and ".part" files of
    // earlier versions. Returns how many.
    int RemoveLeftovers() const;

    // A JSON answer stored less than a day ago (the museums update their data
    // once a day).
    std::optional<QByteArray> Answer(const QUrl& url) const;
    void StoreAnswer(const QUrl& url, const QByteArray& body) const;

private:
    QString folder_;
};

} // namespace museum
