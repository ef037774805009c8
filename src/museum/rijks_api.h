#pragma once
// The Rijksmuseum's data services (data.rijksmuseum.nl/docs): a search that gives
// object identifiers only, paged by a token; each object's Linked Art record, read
// at its identifier (id.rijksmuseum.nl, asked for application/ld+json), names the
// visual item it shows; that item carries the image's rights and names the digital
// object whose access point is the picture on the museum's IIIF image server.
// Three records per work, as the museum publishes them.
#include "museum/work.h"

#include <QUrl>

namespace museum {

// The persistent identifiers' host: records are read there unless the search's
// base was replaced (tests), when that base serves both.
QString RijksRecordBase(const QString& searchBase, const QString& defaultSearchBase);

// GET {base}/search/collection?description=..&imageAvailable=true[&pageToken=..]
// The search has no free-text field: the theme is looked for in the works'
// descriptions.
QUrl RijksSearchUrl(const QString& base, const QString& query, const QString& pageToken = {});
// GET {recordBase}/{number} for an identifier "https://id.rijksmuseum.nl/{number}";
// an empty address for anything else.
QUrl RijksRecordUrl(const QString& recordBase, const QString& id);

// orderedItems' identifiers (`ids`), partOf.totalItems (`total`), and the next
// page's token (`nextToken`, `more`).
SearchPage ParseRijksSearch(const QByteArray& body);

// A HumanMadeObject: its object number (the work's id), English title, begin year,
// maker as the record states it, credit line and page. `visualItem` receives the
// identifier of the visual item it shows (empty when none).
Work ParseRijksObject(const QByteArray& body, QString& visualItem, QString& error);

// A VisualItem: public domain when its rights are the Public Domain Mark or CC0
// (`licence` says which); the identifier of the digital object that shows it.
QString ParseRijksVisualItem(const QByteArray& body, bool& publicDomain, QString& licence, QString& error);

// A DigitalObject: its IIIF image asked for at most maxSide on the longer side,
// then the largest the server gives ("max"), as image addresses best first.
QStringList ParseRijksDigitalObject(const QByteArray& body, int maxSide, QString& error);

} // namespace museum
