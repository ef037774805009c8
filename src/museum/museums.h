#pragma once
// The collections a pack can be fetched from: their names, default
// addresses and how many requests each asks a client to make at most.
#include <QString>

#include <optional>
#include <vector>

namespace museum {

enum class Source { Aic, Met, Cma, Smk, Rijks };

// How fast a client may ask. Without a burst: no more than `requests` in any
// `windowMs` milliseconds (a sliding window). With one: a token bucket that holds
// up to `burst` requests and refills at `requests` per `windowMs`, so a client
// asking as fast as it may sends `burst` at once and then one every
// windowMs / requests; in any T milliseconds it sends at most
// burst + T * requests / windowMs.
struct RateLimit {
    int requests = 1;
    int windowMs = 1000;
    int burst = 0;
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
