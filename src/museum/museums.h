#pragma once
// The collections a pack can be fetched from: their names, default
// addresses and how many requests each asks a client to make at most.
#include <QString>

#include <optional>
#include <vector>

namespace museum {

enum class Source { Aic, Met, Cma, Smk, Rijks };

// A limit of `requests` in any `windowMs` milliseconds.
struct RateLimit {
    int requests = 1;
    int windowMs = 1000;
};

struct MuseumInfo {
    Source source;
    const char* code;        // as typed on the command line: "aic"
    const char* name;        // "Art Institute of Chicago"
    const char* defaultBase; // the API's address
    const char* environment; // the variable that replaces the base
    RateLimit rate;
};

const MuseumInfo& Info(Source source);
// Every collection, in the order a person is offered them.
const std::vector<Source>& AllSources();
std::optional<Source> SourceFromCode(const QString& code);

// The base address to use: the given one, else the environment's, else the default;
// without a trailing "/".
QString ApiBase(Source source, const QString& given = {});

// The name without a leading "The", to follow "The" or "the" in a sentence.
QString ShortName(Source source);

// The theme a fetch without a query takes.
QString DefaultQuery();

} // namespace museum
