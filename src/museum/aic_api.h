#pragma once
// The Art Institute of Chicago's API (api.artic.edu/docs): the artworks search,
// filtered to public-domain works, and images from its IIIF Image API server.
#include "museum/work.h"

#include <QUrl>

namespace museum {

// GET {base}/api/v1/artworks/search?q=..&query[term][is_public_domain]=true&fields=..&limit=..&page=..
// `page` counts from 1.
QUrl AicSearchUrl(const QString& base, const QString& query, int page, int limit);

// The IIIF address of an image 3000 pixels wide (as wide as a 4K screen needs),
// or another width: {iiif_url}/{image_id}/full/{width},/0/default.jpg.
QString AicImageUrl(const QString& iiifBase, const QString& imageId, int width = 3000);

// The works of one search answer; images of works without an image_id are empty.
SearchPage ParseAicSearch(const QByteArray& body);

} // namespace museum
