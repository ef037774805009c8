#include "museum/collect_works.h"

#include "museum/aic_api.h"
#include "museum/cma_api.h"
#include "museum/met_api.h"

#include <algorithm>
#include <set>

namespace museum {
namespace {

constexpr int kMaxPages = 20;        // of a paged search; enough for any count we take
constexpr int kPageLimit = 100;      // the largest page the Art Institute and Cleveland give
constexpr int kMetLookupsPerWork = 4; // object records read per work wanted, at most

class Collector {
public:
    Collector(Source source, HttpClient& client, const FetchCache& cache, int count,
              const std::function<void(const FetchProgress&)>& progress)
        : source_(source), client_(client), cache_(cache), count_(count), progress_(progress)
    {
    }

    bool Full() const { return static_cast<int>(result.works.size()) >= count_; }

    // An answer from the cache or the museum; nullopt when the museum could not be
    // asked (result says why).
    std::optional<QByteArray> Ask(const QUrl& url, bool& cached)
    {
        cached = false;
        if (std::optional<QByteArray> stored = cache_.Answer(url)) {
            cached = true;
            return stored;
        }
        HttpResult answer = client_.Get(url);
        if (answer.ok())
            return std::move(answer.body);
        if (answer.outcome == HttpOutcome::Cancelled) {
            result.cancelled = true;
            return std::nullopt;
        }
        result.unreachable = answer.outcome == HttpOutcome::Unreachable;
        result.error = result.unreachable
                           ? QStringLiteral("The %1 did not answer (%2): %3. Are you offline?")
                                 .arg(Name(), url.host(), answer.error)
                           : QStringLiteral("The %1 could not be asked for %2: %3").arg(Name(), url.toString(), answer.error);
        return std::nullopt;
    }

    void Fail(const QUrl& url, const QString& what)
    {
        result.error = QStringLiteral("The answer of the %1 was not understood (%2): %3").arg(Name(), url.toString(), what);
    }

    // Takes a work when it is usable and new; says why not otherwise.
    void Offer(const Work& work)
    {
        if (Full() || !seen_.insert(work.id).second)
            return;
        QString reason;
        if (!work.publicDomain)
            reason = QStringLiteral("not in the public domain");
        else if (work.imageUrl.isEmpty())
            reason = QStringLiteral("no image");
        if (!reason.isEmpty()) {
            result.skipped.push_back({work.id, work.title, reason});
            Tell(QStringLiteral("Skipped \"%1\" (%2): %3").arg(work.title, work.id, reason));
            return;
        }
        result.works.push_back(work);
        Tell({});
    }

    void Tell(const QString& note)
    {
        if (!progress_)
            return;
        FetchProgress p;
        p.stage = FetchStage::Searching;
        p.worksFound = static_cast<int>(result.works.size());
        p.imagesWanted = count_;
        p.note = note;
        progress_(p);
    }

    QString Name() const { return ShortName(source_); }

    const FetchCache& Cache() const { return cache_; }

    Collected result;

private:
    Source source_;
    HttpClient& client_;
    const FetchCache& cache_;
    int count_;
    const std::function<void(const FetchProgress&)>& progress_;
    std::set<QString> seen_;
};

void CollectPaged(Collector& c, const std::function<QUrl(int page)>& url,
                  const std::function<SearchPage(const QByteArray&, int page)>& parse)
{
    for (int page = 0; page < kMaxPages && !c.Full(); ++page) {
        const QUrl address = url(page);
        bool cached = false;
        const std::optional<QByteArray> body = c.Ask(address, cached);
        if (!body)
            return;
        const SearchPage answer = parse(*body, page);
        if (!answer.error.isEmpty()) {
            c.Fail(address, answer.error);
            return;
        }
        if (!cached)
            c.Cache().StoreAnswer(address, *body);
        for (const Work& work : answer.works)
            c.Offer(work);
        if (!answer.more || answer.works.empty())
            break;
    }
    c.result.ok = true;
}

void CollectMet(Collector& c, const QString& base, const QString& query, int count)
{
    const QUrl search = MetSearchUrl(base, query);
    bool cached = false;
    const std::optional<QByteArray> body = c.Ask(search, cached);
    if (!body)
        return;
    const SearchPage found = ParseMetSearch(*body);
    if (!found.error.isEmpty()) {
        c.Fail(search, found.error);
        return;
    }
    if (!cached)
        c.Cache().StoreAnswer(search, *body);
    const std::size_t lookups = std::min(found.ids.size(), static_cast<std::size_t>(count * kMetLookupsPerWork + 20));
    for (std::size_t i = 0; i < lookups && !c.Full(); ++i) {
        const QUrl object = MetObjectUrl(base, found.ids[i]);
        const std::optional<QByteArray> record = c.Ask(object, cached);
        if (!record) {
            if (c.result.cancelled || c.result.unreachable)
                return;
            // One object the museum cannot give (the Met answers 404 for some
            // identifiers its search lists) costs only that work.
            c.result.skipped.push_back({found.ids[i], QString(), c.result.error});
            c.Tell(QStringLiteral("Skipped object %1: %2").arg(found.ids[i], c.result.error));
            c.result.error.clear();
            continue;
        }
        QString error;
        const Work work = ParseMetObject(*record, error);
        if (!error.isEmpty()) {
            c.Fail(object, error);
            return;
        }
        if (!cached)
            c.Cache().StoreAnswer(object, *record);
        c.Offer(work);
    }
    c.result.ok = true;
}

} // namespace

Collected CollectWorks(Source source, const QString& base, const QString& query, int count, HttpClient& client,
                       const FetchCache& cache, const std::function<void(const FetchProgress&)>& progress)
{
    Collector c(source, client, cache, count, progress);
    const int limit = std::clamp(count + count / 2, 10, kPageLimit);
    switch (source) {
    case Source::Aic:
        CollectPaged(
            c, [&](int page) { return AicSearchUrl(base, query, page + 1, limit); },
            [](const QByteArray& body, int) { return ParseAicSearch(body); });
        break;
    case Source::Cma:
        CollectPaged(
            c, [&](int page) { return CmaSearchUrl(base, query, page * limit, limit); },
            [&](const QByteArray& body, int page) { return ParseCmaSearch(body, page * limit); });
        break;
    case Source::Met:
        CollectMet(c, base, query, count);
        break;
    }
    if (c.result.cancelled)
        c.result.ok = false;
    return std::move(c.result);
}

} // namespace museum
