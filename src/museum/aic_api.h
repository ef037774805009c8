#pragma once
// The Art Institute of Chicago's API (api.artic.edu/docs): the artworks search,
// filtered to public-domain works, and images from its IIIF Image API server.
#include "museum/work.h"

#include <QUrl>

namespace museum {

// GET {base}/api/v1/artworks/search?q=..&query[term][is_public_domain]=true&fields=..&limit=..&page=..
// `page` counts from 1.
QUrl AicSearchUrl(const QString& base, const QString& query, int page, int limit);

// The IIIF address of an image of the given width: {iiif_url}/{image_id}/full/{width},/0/default.jpg.
// The museum's documentation names 843 as the width it always serves and 1686 as
// the largest it serves for public-domain works.
constexpr int kAicLargeWidth = 1686;
constexpr int kAicSmallWidth = 843;
QString AicImageUrl(const QString& iiifBase, const QString& imageId, int width = kAicLargeWidth);

// The museum's page of an artwork: https://www.artic.edu/artworks/{id}.
QString AicPageUrl(const QString& id);

// The works of one search answer; images of works without an image_id are empty.
SearchPage ParseAicSearch(const QByteArray& body);

} // namespace museum
