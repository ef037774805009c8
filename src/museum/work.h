#pragma once
// One work of art as a museum's collection answer describes it, and the answer's
// page: the parts the fetch needs, whatever the museum calls them.
#include <QString>

#include <optional>
#include <vector>

namespace museum {

struct Work {
    QString id;       // the museum's own identifier, as text
    QString title;
    std::optional<int> year; // the begin year of the work; none when unknown
    QString artist;   // empty when the museum names none
    QString imageUrl; // the image at the size we take; empty when the work has none
    QString smallerImageUrl; // a smaller size to try when the server refuses the first
    bool publicDomain = false;

    bool Usable() const { return publicDomain && !imageUrl.isEmpty(); }
};

// A parsed answer. `error` says what was wrong with it (without the museum's name,
// which the caller adds); the other fields are then empty.
struct SearchPage {
    std::vector<Work> works;   // in the museum's order, usable or not
    std::vector<QString> ids;  // the Met's search gives identifiers only
    int total = 0;             // works the search matched in all
    bool more = false;         // a further page exists
    QString error;
};

} // namespace museum
