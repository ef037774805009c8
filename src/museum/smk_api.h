#pragma once
// Statens Museum for Kunst (the National Gallery of Denmark), its open API
// (api.smk.dk/api/v1/docs): the art search filtered to public-domain works with an
// image, paged by offset and rows, and images from its IIIF Image API server.
#include "museum/work.h"

#include <QJsonObject>
#include <QUrl>

namespace museum {

// GET {base}/api/v1/art/search/?keys=..&filters=[has_image:true],[public_domain:true]&offset=..&rows=..&lang=en
QUrl SmkSearchUrl(const QString& base, const QString& query, int offset, int rows);

// The works of one answer ({"found": N, "items": [...]}). The image is asked of the
// IIIF server at the picture's own longer side or maxSide, whichever is smaller,
// with the 1024-pixel thumbnail to fall back on; records of older scans without a
// IIIF identifier give their native image.
SearchPage ParseSmkSearch(const QByteArray& body, int offset, int maxSide = 4096);

// "Altdorfer, Albrecht" -> "Albrecht Altdorfer": the museum files names surname first.
QString SmkCreatorName(const QJsonObject& production);

} // namespace museum
