#pragma once
// The Cleveland Museum of Art's Open Access API (openaccess-api.clevelandart.org):
// the artworks search, filtered to CC0 works that have an image, paged by skip.
#include "museum/work.h"

#include <QUrl>

namespace museum {

// GET {base}/api/artworks/?q=..&cc0=1&has_image=1&limit=..&skip=..
QUrl CmaSearchUrl(const QString& base, const QString& query, int skip, int limit);

// The works of one answer: share_license_status "CC0" is public domain; the image
// is the largest rendition whose longer side is at most maxSide (print, about 3400
// pixels, then full, then web, about 1263), the smaller ones kept to fall back on.
SearchPage ParseCmaSearch(const QByteArray& body, int skip, int maxSide = 4096);

// "Claude Monet (French, 1840–1926)" -> "Claude Monet": the creator's description
// without the biography the museum adds in parentheses.
QString CmaCreatorName(const QString& description);

} // namespace museum
