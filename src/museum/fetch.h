#pragma once
// A pack of a museum's public-domain art in one call: search the collection,
// take up to `count` works that are public domain (CC0) and have an image,
// download each image into the cache (or find it there), and make the pack with
// the pack maker, title, year and artist from the museum's record. Blocking;
// `progress` runs on the calling thread; `cancel` stops it at the next chance,
// leaving no pack and no partial file.
#include "core/result.h"
#include "museum/museums.h"
#include "museum/work.h"

#include <QDateTime>

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace museum {

// A picture kept from the pack being renewed.
struct KeptWork {
    QString imagePath; // the picture, taken from the pack
    Work work;         // its record and source
    QString added;     // when it first came into the pack (ISO 8601)
};

struct FetchRequest {
    Source source = Source::Aic;
    QString query;     // empty: DefaultQuery()
    int count = 40;    // works to take at most
    QString name;      // the pack's name; empty: DefaultPackName()
    QString output;    // the pack file to write; it appears only when complete
    QString apiBase;   // empty: the environment's (AMBIENCE_API_BASE_AIC, ...) or the museum's own
    QString cacheRoot; // empty: CacheRoot()
    int icon = 0;
    // Empty: AMBIENCE_MUSEUM_RATE ("requests/milliseconds", for tests) or the museum's own.
    std::optional<RateLimit> rate;
    int retryBaseMs = -1; // < 0: AMBIENCE_MUSEUM_RETRY_MS, else one second
    int maxSide = 4096;   // of the pack's pictures; the largest rendition up to it is asked for
    // Limits of one request; <= 0: the defaults (a minute to wait out a firewall,
    // 30 seconds without a byte, ten minutes in all). Tests make them short.
    int firewallWaitMs = 0;
    int stallMs = 0;
    int requestLimitMs = 0;
    // A renewal of a fresh pack: works the pack holds and those it retired are
    // never taken again; the pictures it holds (oldest first) go into the new pack
    // beside the new works.
    std::set<QString> excludeIds;
    std::vector<KeptWork> keep;
    // > 0: the pack holds at most this many works, so as many of the oldest in
    // `keep` leave as the new works that came need room; none leave for works
    // that did not come.
    int packSize = 0;
    // Works retired at earlier renewals, oldest first: never taken again, and kept
    // with those that leave now in the new pack's source entry (the last
    // kMaxRetiredIds).
    std::vector<QString> retired;
    QDateTime now; // when new works are added; invalid: the current time
};


enum class FetchStage { Searching, Downloading, Packing };

struct FetchProgress {
    FetchStage stage = FetchStage::Searching;
    int worksFound = 0;   // works taken so far (public domain, with an image)
    int imagesDone = 0;   // images downloaded or found in the cache
    int imagesWanted = 0;
    std::int64_t bytes = 0; // downloaded in this run
    double writing = 0;     // 0..1 while the pack is written
    QString note;           // a line worth telling, such as a work skipped and why
    int waitSeconds = 0;    // > 0 while waiting for a server: the seconds left (note says why)
};

struct SkippedWork {
    QString id;
    QString title;
    QString reason;
};

// A pack made of a museum's works, and what the fetch took to make it.
struct FetchedPack {
    QString archive;          // the pack written
    QString packName;
    int works = 0;            // pictures in the pack
    int downloaded = 0;
    int fromCache = 0;
    std::int64_t bytes = 0;
    int requests = 0;         // sent to the museum in this run
    std::vector<SkippedWork> skipped;
    int invalidRecords = 0;   // records the museum answered with a message instead
};

// How many retired works a fresh pack remembers: enough for years of renewals of
// any pack size the subscription offers.
inline constexpr std::size_t kMaxRetiredIds = 500;

// Why a fetch made no pack, beside the system's 1223 (cancelled) and the codes of
// a file that could not be read or written. The error's text names the museum
// and what was wrong.
inline constexpr int kMuseumUnreachable = core::kOwnCodes + 0x400 + 1; // the museum did not answer at all (offline?)
inline constexpr int kMuseumBlocked = core::kOwnCodes + 0x400 + 2;     // a firewall or bot protection refused us
inline constexpr int kMuseumAnswerUnusable = core::kOwnCodes + 0x400 + 3; // an HTTP error, or an answer that is no
                                                                          // collection's
inline constexpr int kNoWorksToFetch = core::kOwnCodes + 0x400 + 4;    // no (new) public-domain work with an image,
                                                                       // or none of their images came

// "<Museum>: <query>".
QString DefaultPackName(Source source, const QString& query);

// Renews the pack at request.output: new works come (a quarter of the pack,
// freshness.h), fetched as Fetch does with request.count the size the pack keeps,
// and as many of the oldest leave as the new ones need room; works it holds or
// retired before are not taken again. The pack is replaced only when the new one
// is complete.
core::Result<FetchedPack> RenewPack(const FetchRequest& request,
                                    const std::function<void(const FetchProgress&)>& progress = {},
                                    const std::atomic<bool>* cancel = nullptr, FetchedPack* soFar = nullptr);

// On a failure soFar (when given) receives what the fetch had done until then:
// the works it skipped and why, the requests sent.
core::Result<FetchedPack> Fetch(const FetchRequest& request, const std::function<void(const FetchProgress&)>& progress = {},
                                const std::atomic<bool>* cancel = nullptr, FetchedPack* soFar = nullptr);

} // namespace museum
