#include "museum/collect_works.h"

#include "museum/aic_api.h"
#include "museum/cma_api.h"
#include "museum/met_api.h"
#include "museum/rijks_api.h"
#include "museum/smk_api.h"

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
              const std::function<void(const FetchProgress&)>& progress, int firewallWaitMs)
        : source_(source), client_(client), cache_(cache), count_(count), progress_(progress),
          firewallWaitMs_(firewallWaitMs)
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
        if (answer.refusal == Refusal::Firewall && !waitedOutFirewall_) {
            // The firewall lifts after a while without requests: wait once, visibly,
            // then go on where we were.
            waitedOutFirewall_ = true;
            if (!client_.Wait(firewallWaitMs_, QStringLiteral("the %1's firewall refused us for asking too often").arg(Name()))) {
                result.cancelled = true;
                return std::nullopt;
            }
            answer = client_.Get(url);
        }
        if (answer.ok())
            return std::move(answer.body);
        if (answer.outcome == HttpOutcome::Cancelled) {
            result.cancelled = true;
            return std::nullopt;
        }
        result.unreachable = answer.outcome == HttpOutcome::Unreachable;
        if (answer.refusal == Refusal::Firewall) {
            result.error = QStringLiteral("The %1's firewall refuses our requests (it answered %2 with a block page), also "
                                          "after a wait of %3 seconds; nothing was installed. Try again later.")
                               .arg(Name())
                               .arg(answer.status)
                               .arg(firewallWaitMs_ / 1000);
            result.blocked = true;
            return std::nullopt;
        }
        if (answer.refusal == Refusal::BrowserChallenge) {
            result.error = QStringLiteral("The %1's server refused a request by a program (it asks for a browser); nothing "
                                          "was installed. Try another museum.")
                               .arg(Name());
            result.blocked = true;
            return std::nullopt;
        }
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
    // Works taken already (a pack being renewed holds them): passed over in silence.
    void Exclude(const std::set<QString>& ids) { seen_.insert(ids.begin(), ids.end()); }

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
    int firewallWaitMs_;
    bool waitedOutFirewall_ = false;
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
    // Object records read per fetch, at most: each costs a request, and the Met's
    // firewall counts them.
    const int lookups = count * kMetLookupsPerWork + 20;
    const int limit = std::clamp(count * 2, 20, kPageLimit);
    int looked = 0;
    for (int page = 0, offset = 0; page < kMaxPages && !c.Full() && looked < lookups; ++page) {
        const QUrl search = MetSearchUrl(base, query, offset, limit);
        bool cached = false;
        const std::optional<QByteArray> body = c.Ask(search, cached);
        if (!body)
            return;
        const SearchPage found = ParseMetSearch(*body, offset);
        if (!found.error.isEmpty()) {
            c.Fail(search, found.error);
            return;
        }
        if (!cached)
            c.Cache().StoreAnswer(search, *body);
        for (std::size_t i = 0; i < found.ids.size() && !c.Full() && looked < lookups; ++i, ++looked) {
            const QUrl object = MetObjectUrl(base, found.ids[i]);
            const std::optional<QByteArray> record = c.Ask(object, cached);
            if (!record) {
                if (c.result.cancelled || c.result.unreachable || c.result.blocked)
                    return;
                // One object the museum cannot give (the Met answers 404 for some
                // identifiers its search lists) costs only that work.
                c.result.skipped.push_back({found.ids[i], QString(), c.result.error});
                c.Tell(QStringLiteral("Skipped object %1: %2").arg(found.ids[i], c.result.error));
                c.result.error.clear();
                continue;
            }
            QString error, message;
            const Work work = ParseMetObject(*record, error, &message);
            if (!message.isEmpty()) {
                // Objects on loan and withdrawn ones answer so; the search lists them still.
                ++c.result.invalidRecords;
                c.result.skipped.push_back({found.ids[i], QString(), QStringLiteral("the museum says \"%1\"").arg(message)});
                c.Tell(QStringLiteral("Skipped object %1: the museum says \"%2\"").arg(found.ids[i], message));
                continue;
            }
            if (!error.isEmpty()) {
                c.Fail(object, error);
                return;
            }
            if (!cached)
                c.Cache().StoreAnswer(object, *record);
            c.Offer(work);
        }
        if (!found.more)
            break;
        offset += static_cast<int>(found.ids.size());
    }
    c.result.ok = true;
}

// The Rijksmuseum: a page of identifiers, then for each work its object record,
// the visual item it shows (rights) and the digital object (the image).
void CollectRijks(Collector& c, const QString& base, const QString& query, int count, int maxSide)
{
    const QString recordBase = RijksRecordBase(base, QString::fromLatin1(Info(Source::Rijks).defaultBase));
    // Objects looked at per fetch, at most: each costs up to three requests.
    const int lookups = count * kMetLookupsPerWork + 20;
    int looked = 0;
    QString token;
    // A record the museum cannot give (404, a damaged answer) costs only its work;
    // a museum out of reach, a block or a cancel ends the fetch.
    auto record = [&](const QUrl& url, const QString& id) -> std::optional<QByteArray> {
        bool cached = false;
        std::optional<QByteArray> body = c.Ask(url, cached);
        if (!body) {
            if (!c.result.cancelled && !c.result.unreachable && !c.result.blocked) {
                c.result.skipped.push_back({id, QString(), c.result.error});
                c.Tell(QStringLiteral("Skipped object %1: %2").arg(id, c.result.error));
                c.result.error.clear();
            }
            return std::nullopt;
        }
        if (!cached)
            c.Cache().StoreAnswer(url, *body);
        return body;
    };
    auto skip = [&](const QString& id, const QString& title, const QString& why) {
        c.result.skipped.push_back({id, title, why});
        c.Tell(QStringLiteral("Skipped \"%1\" (%2): %3").arg(title, id, why));
    };
    for (int page = 0; page < kMaxPages && !c.Full() && looked < lookups; ++page) {
        const QUrl search = RijksSearchUrl(base, query, token);
        bool cached = false;
        const std::optional<QByteArray> body = c.Ask(search, cached);
        if (!body)
            return;
        const SearchPage found = ParseRijksSearch(*body);
        if (!found.error.isEmpty()) {
            c.Fail(search, found.error);
            return;
        }
        if (!cached)
            c.Cache().StoreAnswer(search, *body);
        for (std::size_t i = 0; i < found.ids.size() && !c.Full() && looked < lookups; ++i, ++looked) {
            const QString& id = found.ids[i];
            const QUrl objectUrl = RijksRecordUrl(recordBase, id);
            if (objectUrl.isEmpty())
                continue; // not one of the museum's identifiers
            const std::optional<QByteArray> object = record(objectUrl, id);
            if (!object) {
                if (c.result.cancelled || c.result.unreachable || c.result.blocked)
                    return;
                continue;
            }
            QString error, visualId;
            Work work = ParseRijksObject(*object, visualId, error);
            if (!error.isEmpty()) {
                skip(id, QString(), QStringLiteral("its record was not understood: %1").arg(error));
                continue;
            }
            const QUrl visualUrl = RijksRecordUrl(recordBase, visualId);
            if (!visualUrl.isEmpty()) {
                const std::optional<QByteArray> visual = record(visualUrl, work.id);
                if (!visual) {
                    if (c.result.cancelled || c.result.unreachable || c.result.blocked)
                        return;
                    continue;
                }
                const QString digitalId = ParseRijksVisualItem(*visual, work.publicDomain, work.licence, error);
                // Its rights are known now: a work not in the public domain costs no further request.
                const QUrl digitalUrl = RijksRecordUrl(recordBase, digitalId);
                if (error.isEmpty() && work.publicDomain && !digitalUrl.isEmpty()) {
                    const std::optional<QByteArray> digital = record(digitalUrl, work.id);
                    if (!digital) {
                        if (c.result.cancelled || c.result.unreachable || c.result.blocked)
                            return;
                        continue;
                    }
                    QStringList images = ParseRijksDigitalObject(*digital, maxSide, error);
                    if (!images.isEmpty())
                        work.imageUrl = images.takeFirst();
                    work.fallbackImageUrls = images;
                }
                if (!error.isEmpty()) {
                    skip(work.id, work.title, QStringLiteral("its image record was not understood: %1").arg(error));
                    continue;
                }
            }
            c.Offer(work);
        }
        if (!found.more)
            break;
        token = found.nextToken;
    }
    c.result.ok = true;
}

} // namespace

Collected CollectWorks(Source source, const QString& base, const QString& query, int count, HttpClient& client,
                       const FetchCache& cache, const std::function<void(const FetchProgress&)>& progress,
                       int firewallWaitMs, int maxSide, const std::set<QString>& exclude)
{
    Collector c(source, client, cache, count, progress, firewallWaitMs);
    c.Exclude(exclude);
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
            [&](const QByteArray& body, int page) { return ParseCmaSearch(body, page * limit, maxSide); });
        break;
    case Source::Smk:
        CollectPaged(
            c, [&](int page) { return SmkSearchUrl(base, query, page * limit, limit); },
            [&](const QByteArray& body, int page) { return ParseSmkSearch(body, page * limit, maxSide); });
        break;
    case Source::Met:
        CollectMet(c, base, query, count);
        break;
    case Source::Rijks:
        CollectRijks(c, base, query, count, maxSide);
        break;
    }
    if (c.result.cancelled)
        c.result.ok = false;
    return std::move(c.result);
}

} // namespace museum
