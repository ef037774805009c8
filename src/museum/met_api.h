#pragma once
// The Metropolitan Museum of Art's Collection API (metmuseum.github.io): a search
// gives object identifiers only; each object's record then says whether it is in
// the public domain and where its web-size image lies.
#include "museum/work.h"

#include <QUrl>

namespace museum {

// GET {base}/public/collection/v1.1/search?hasImages=true&q=..&offset=..&limit=..
// (the unpaged /v1/search answers 410 Gone since 2026-10-01).
QUrl MetSearchUrl(const QString& base, const QString& query, int offset, int limit);
// GET {base}/public/collection/v1/objects/{id}
QUrl MetObjectUrl(const QString& base, const QString& id);

// The identifiers of a search answer, in its order (`ids`, `total`); `more` when
// the matches go on past offset + the identifiers given.
SearchPage ParseMetSearch(const QByteArray& body, int offset = 0);

// One object's record: the original image (primaryImage), which the pack maker
// reduces, with the web size (primaryImageSmall) to fall back on; the author with
// the record's artistPrefix ("Circle of"). `error` is set for an answer that is no
// record; `message` for the Met's {"message": "Not a valid object"}.
Work ParseMetObject(const QByteArray& body, QString& error, QString* message = nullptr);

} // namespace museum
