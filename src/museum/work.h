#pragma once
// One work of art as a museum's collection answer describes it, and the answer's
// page: the parts the fetch needs, whatever the museum calls them.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace museum {

// The licence of every work we take: the museums publish them as public domain
// under the Creative Commons CC0 dedication.
inline QString PublicDomainLicence()
{
    return QStringLiteral("CC0 1.0 (public domain)");
}

struct Work {
    QString id;       // the museum's own identifier, as text
    QString title;
    std::optional<int> year; // the begin year of the work; none when unknown
    QString artist;   // empty when the museum names none
    QString imageUrl; // the image at the size we take; empty when the work has none
    // Further sizes, largest first, tried in turn when the server refuses the one before.
    QStringList fallbackImageUrls;
    bool publicDomain = false;
    // Where the work comes from, kept in the pack beside its picture.
    QString pageUrl;    // the museum's own page of the work
    QString creditLine; // the museum's credit line ("Gift of ...")
    QString licence;    // "CC0 1.0 (public domain)" for the works we take

    bool Usable() const { return publicDomain && !imageUrl.isEmpty(); }
};

// A parsed answer. `error` says what was wrong with it (without the museum's name,
// which the caller adds); the other fields are then empty.
struct SearchPage {
    std::vector<Work> works;   // in the museum's order, usable or not
    std::vector<QString> ids;  // the Met's and the Rijksmuseum's searches give identifiers only
    int total = 0;             // works the search matched in all
    bool more = false;         // a further page exists
    QString nextToken;         // the Rijksmuseum's: where its next page begins
    QString error;
    // An answer that is a message rather than a record (the Met's
    // {"message": "Not a valid object"}): the work is skipped with this text.
    QString message;
};

} // namespace museum
