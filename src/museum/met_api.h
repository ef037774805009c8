#pragma once
// The Metropolitan Museum of Art's Collection API (metmuseum.github.io): a search
// gives object identifiers only; each object's record then says whether it is in
// the public domain and where its web-size image lies.
#include "museum/work.h"

#include <QUrl>

namespace museum {

// GET {base}/public/collection/v1/search?hasImages=true&q=..
QUrl MetSearchUrl(const QString& base, const QString& query);
// GET {base}/public/collection/v1/objects/{id}
QUrl MetObjectUrl(const QString& base, const QString& id);

// The identifiers of a search answer, in its order (`ids`, `total`).
SearchPage ParseMetSearch(const QByteArray& body);

// One object's record: primaryImageSmall is the web-size image; the original
// (primaryImage) is never taken. `error` is set for an answer that is no record.
Work ParseMetObject(const QByteArray& body, QString& error);

} // namespace museum
