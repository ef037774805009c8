#pragma once
// The search part of a fetch: page through a museum's answers until enough usable
// works are found, each answer read from the cache when it is there.
#include "museum/fetch.h"
#include "museum/fetch_cache.h"
#include "museum/http_client.h"
#include "museum/work.h"

#include <set>

namespace museum {

struct Collected {
    std::vector<Work> works; // usable, at most `count`
    std::vector<SkippedWork> skipped;
    int invalidRecords = 0; // records the museum answered with a message instead
    bool ok = false;
    bool cancelled = false;
    bool unreachable = false;
    bool blocked = false; // a firewall or bot protection refused us
    QString error; // with the museum's name
};

// firewallWaitMs: how long to wait out a firewall's block (once) before going on.
Collected CollectWorks(Source source, const QString& base, const QString& query, int count, HttpClient& client,
                       const FetchCache& cache, const std::function<void(const FetchProgress&)>& progress,
                       int firewallWaitMs, int maxSide, const std::set<QString>& exclude = {});

} // namespace museum
