#pragma once
// The cache of one museum's answers and images under $XDG_CACHE_HOME/Ambience/
// (default ~/.cache/Ambience/), so that a second run of a fetch, or one cut short,
// asks the museum only for what it does not have yet. Images are stored under the
// work's identifier once complete and checked; a download in progress has a
// ".part" name and is removed when it fails or is cancelled.
#include "museum/museums.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace museum {

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
    QString PartPath(const QString& workId) const;

    // A JSON answer stored less than a day ago (the museums update their data
    // once a day).
    std::optional<QByteArray> Answer(const QUrl& url) const;
    void StoreAnswer(const QUrl& url, const QByteArray& body) const;

private:
    QString folder_;
};

} // namespace museum
