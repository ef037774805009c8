#include "museum/fetch.h"

#include "archive/errors.h"
#include "graphics/jpeg.h"
#include "museum/collect_works.h"
#include "museum/freshness.h"
#include "packmaker/pack_maker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>

#include <unistd.h>

namespace museum {
namespace {

RateLimit RateFor(const FetchRequest& request)
{
    if (request.rate)
        return *request.rate;
    // "5/1000": five requests a second; lets the tests run a faster limit.
    const QStringList parts = qEnvironmentVariable("AMBIENCE_MUSEUM_RATE").split(QLatin1Char('/'));
    if (parts.size() == 2) {
        bool a = false, b = false;
        const int requests = parts[0].toInt(&a);
        const int window = parts[1].toInt(&b);
        if (a && b && requests > 0 && window > 0)
            return {requests, window};
    }
    return Info(request.source).rate;
}

int RetryBaseFor(const FetchRequest& request)
{
    if (request.retryBaseMs >= 0)
        return request.retryBaseMs;
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("AMBIENCE_MUSEUM_RETRY_MS", &ok);
    return ok && ms >= 0 ? ms : 1000;
}

constexpr int kFirewallWaitMs = 60000; // the Met's firewall lifts after 30 seconds or more

HttpSettings SettingsFor(const FetchRequest& request, std::function<void(int, const QString&)> waiting)
{
    HttpSettings settings;
    settings.rate = RateFor(request);
    settings.retryBaseMs = RetryBaseFor(request);
    if (request.stallMs > 0)
        settings.timeoutMs = request.stallMs;
    if (request.requestLimitMs > 0)
        settings.requestLimitMs = request.requestLimitMs;
    settings.waiting = std::move(waiting);
    const QByteArray agent = UserAgent();
    settings.headers.append({"User-Agent", agent});
    // The Art Institute asks clients to name themselves and a contact this way.
    if (request.source == Source::Aic)
        settings.headers.append({"AIC-User-Agent", agent});
    // The Rijksmuseum's identifiers give their Linked Art record only when asked for it.
    if (request.source == Source::Rijks)
        settings.headers.append({QByteArray("Accept"), QByteArray("application/ld+json, */*;q=0.1")});
    return settings;
}

packmaker::PictureRecord RecordOf(const Work& work)
{
    packmaker::PictureRecord record;
    record.Title = work.title.toStdString();
    record.Author = work.artist.toStdString();
    record.Year = work.year.value_or(0);
    return record;
}

packmaker::WorkSource SourceOf(const Work& work, const QString& added)
{
    return {work.pageUrl.toStdString(), work.creditLine.toStdString(), work.licence.toStdString(), work.id.toStdString(),
            added.toStdString()};
}

// The pack's label names the terms its works come under: "open access (CC0)" when
// every one is dedicated under CC0, else "public domain" with each term, so a pack
// of works under the Public Domain Mark does not claim a dedication it lacks.
QString TermsLabel(const QStringList& licences)
{
    QStringList terms;
    for (const QString& licence : licences) {
        QString term = licence;
        if (licence.startsWith(QLatin1String("CC0")))
            term = QStringLiteral("CC0");
        else if (licence.startsWith(QLatin1String("Public Domain Mark")))
            term = QStringLiteral("Public Domain Mark");
        if (!term.isEmpty() && !terms.contains(term))
            terms << term;
    }
    terms.sort();
    if (terms == QStringList{QStringLiteral("CC0")})
        return QStringLiteral("open access (CC0)");
    return terms.isEmpty() ? QStringLiteral("public domain") : QStringLiteral("public domain (%1)").arg(terms.join(QStringLiteral(", ")));
}

// The image as downloaded must decode: a damaged one would fail the whole pack.
QString CheckImage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray data = file.readAll();
    const auto bytes = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                                     static_cast<std::size_t>(data.size()));
    const graphics::JpegImage image = graphics::DecodeJpeg(bytes);
    if (!image.ok())
        return QStringLiteral("the image is damaged (%1)").arg(QString::fromStdString(image.message));
    return {};
}

class Fetcher {
public:
    Fetcher(const FetchRequest& request, const std::function<void(const FetchProgress&)>& progress,
            const std::atomic<bool>* cancel)
        : request_(request), progress_(progress), cancel_(cancel), client_(SettingsFor(request, [this](int seconds, const QString& why) { TellWait(seconds, why); }), cancel),
          base_(ApiBase(request.source, request.apiBase)),
          cache_(request.cacheRoot.isEmpty() ? CacheRoot() : request.cacheRoot, request.source, base_)
    {
        query_ = request.query.trimmed().isEmpty() ? DefaultQuery() : request.query.trimmed();
        result_.packName = request.name.trimmed().isEmpty() ? DefaultPackName(request.source, query_) : request.name.trimmed();
    }

    core::Result<FetchedPack> Run()
    {
        if (request_.output.isEmpty())
            return Fail(archiva::ErrorInvalidParameter, QStringLiteral("no file to write the pack to"));
        if (!cache_.Usable())
            return Fail(archiva::ErrorPathNotFound,
                        QStringLiteral("there is no cache folder for the images (neither XDG_CACHE_HOME nor HOME is set, "
                                       "or it cannot be written)"));
        cache_.RemoveLeftovers();
        const int count = std::clamp(request_.count, 1, 500);
        std::set<QString> exclude = request_.excludeIds;
        exclude.insert(request_.retired.begin(), request_.retired.end());
        Collected found = CollectWorks(request_.source, base_, query_, count, client_, cache_, progress_,
                                       request_.firewallWaitMs > 0 ? request_.firewallWaitMs : kFirewallWaitMs,
                                       request_.maxSide, exclude);
        result_.skipped = std::move(found.skipped);
        result_.invalidRecords = found.invalidRecords;
        if (found.cancelled || Cancelled())
            return Cancel();
        if (!found.ok)
            return Fail(found.unreachable ? kMuseumUnreachable : found.blocked ? kMuseumBlocked : kMuseumAnswerUnusable,
                        found.error);
        if (found.works.empty())
            return Fail(kNoWorksToFetch, exclude.empty()
                            ? QStringLiteral("The %1 has no public-domain works with an image for \"%2\"").arg(ShortName(request_.source), query_)
                            : QStringLiteral("The %1 has no new public-domain works with an image for \"%2\"; the pack stays as it is")
                                  .arg(ShortName(request_.source), query_));

        std::vector<std::pair<Work, QString>> taken;
        int unreachable = 0;
        state_.stage = FetchStage::Downloading;
        state_.imagesWanted = static_cast<int>(found.works.size());
        state_.worksFound = static_cast<int>(found.works.size());
        Tell(FetchStage::Downloading, 0, {});
        for (const Work& work : found.works) {
            const QString path = cache_.ImagePath(work.id);
            // Another fetch may be downloading this very image: wait for it, then
            // take what it kept.
            const EntryLock lock = cache_.LockImage(work.id, cancel_);
            if (Cancelled())
                return Cancel();
            if (QFileInfo(path).isFile()) {
                if (CheckImage(path).isEmpty()) {
                    ++result_.fromCache;
                    taken.emplace_back(work, path);
                    Tell(FetchStage::Downloading, static_cast<int>(taken.size()), {});
                    continue;
                }
                // Damaged on disk since it was kept: fetched again.
                QFile::remove(path);
            }
            bool refused = false;
            const QString reason = DownloadImage(work, path, refused);
            if (Cancelled())
                return Cancel();
            if (refused)
                return Fail(kMuseumBlocked, reason);
            if (!reason.isEmpty()) {
                if (reason.startsWith(kUnreachable))
                    ++unreachable;
                result_.skipped.push_back({work.id, work.title, reason});
                Tell(FetchStage::Downloading, static_cast<int>(taken.size()),
                     QStringLiteral("Skipped \"%1\" (%2): %3").arg(work.title, work.id, reason));
                continue;
            }
            ++result_.downloaded;
            taken.emplace_back(work, path);
            Tell(FetchStage::Downloading, static_cast<int>(taken.size()), {});
        }
        result_.requests = client_.RequestsSent();
        if (taken.empty()) {
            return Fail(unreachable > 0 ? kMuseumUnreachable : kNoWorksToFetch,
                        QStringLiteral("No image of the %1 could be downloaded%2")
                            .arg(ShortName(request_.source),
                                 unreachable > 0 ? QStringLiteral(": the museum's image server did not answer. Are you offline?")
                                                 : QString()));
        }
        return MakePack(taken);
    }

    // What the fetch has done so far: after a failure, what it did until then.
    const FetchedPack& SoFar() const { return result_; }

private:
    static inline const QString kUnreachable = QStringLiteral("no answer: ");

    bool Cancelled() const { return cancel_ && cancel_->load(); }

    core::Error Fail(int code, const QString& error)
    {
        result_.requests = client_.RequestsSent();
        return core::MakeError(code, error.toStdString());
    }

    core::Error Cancel()
    {
        return Fail(archiva::ErrorCancelled, QStringLiteral("cancelled; no pack was written"));
    }

    // A countdown in the stage the fetch is in, so a progress bar keeps its place.
    void TellWait(int seconds, const QString& why)
    {
        if (!progress_)
            return;
        FetchProgress p = state_;
        p.waitSeconds = seconds;
        p.note = QStringLiteral("Waiting %1 s: %2").arg(seconds).arg(why);
        progress_(p);
    }

    void Tell(FetchStage stage, int done, const QString& note)
    {
        if (!progress_)
            return;
        state_.stage = stage;
        state_.imagesDone = done;
        state_.bytes = result_.bytes;
        state_.note = note;
        progress_(state_);
    }

    // Downloads into a temporary file, checks it and only then gives it the cache
    // name; returns why the work cannot be taken, or nothing. `refused` is set when
    // the image server refuses programs altogether: the returned text says so.
    QString DownloadImage(const Work& work, const QString& path, bool& refused)
    {
        core::TemporaryFile part = cache_.NewDownloadFile();
        if (part.fd < 0)
            return QStringLiteral("cannot write in %1: %2").arg(cache_.Folder(), QString::fromLocal8Bit(std::strerror(part.error)));
        const QString partPath = QFile::decodeName(QByteArray::fromStdString(part.path));
        const std::int64_t before = result_.bytes;
        auto received = [&](std::int64_t bytes) {
            result_.bytes = before + bytes;
            if (progress_) {
                state_.bytes = result_.bytes;
                state_.note.clear();
                progress_(state_);
            }
        };
        QStringList urls = {work.imageUrl};
        urls += work.fallbackImageUrls;
        HttpResult got;
        for (const QString& url : urls) {
            result_.bytes = before;
            got = client_.Download(QUrl(url), part.fd, received);
            // An image server that will not give one size may give the next smaller one.
            const bool sizeRefused = got.outcome == HttpOutcome::HttpError && got.status >= 400 && got.status < 500
                                     && got.status != 429 && got.refusal == Refusal::None && !got.waitRefused;
            if (!sizeRefused)
                break;
        }
        QString reason;
        if (got.refusal == Refusal::BrowserChallenge) {
            refused = true;
            reason = QStringLiteral("The %1's image server refused a download by a program (it asks for a browser); "
                                    "nothing was installed. Try another museum.")
                         .arg(ShortName(request_.source));
        } else if (got.refusal == Refusal::Firewall) {
            refused = true;
            reason = QStringLiteral("The %1's image server refuses our downloads (a firewall's block page); nothing was "
                                    "installed. Try again later.")
                         .arg(ShortName(request_.source));
        } else if (got.waitRefused) {
            refused = true;
            reason = QStringLiteral("The %1's image server: %2; nothing was installed.").arg(ShortName(request_.source), got.error);
        } else if (got.outcome == HttpOutcome::Cancelled)
            reason = QStringLiteral("cancelled");
        else if (got.outcome == HttpOutcome::Unreachable)
            reason = kUnreachable + got.error;
        else if (!got.ok())
            reason = got.error;
        else
            reason = CheckImage(partPath);
        if (reason.isEmpty() && ::rename(part.path.c_str(), QFile::encodeName(path).constData()) != 0)
            reason = QStringLiteral("cannot keep the image in %1").arg(cache_.Folder());
        if (!reason.isEmpty())
            ::unlink(part.path.c_str());
        ::close(part.fd);
        return reason;
    }

    core::Result<FetchedPack> MakePack(const std::vector<std::pair<Work, QString>>& taken)
    {
        packmaker::MakeRequest make;
        make.Name = result_.packName.toStdString();
        make.Icon = request_.icon;
        make.MaxSide = request_.maxSide;
        // Every work we take is public domain: captions credit the artist without "©".
        make.PlainCredit = true;
        make.Output = QFileInfo(request_.output).absoluteFilePath().toStdString();
        const QString added = (request_.now.isValid() ? request_.now : QDateTime::currentDateTimeUtc()).toUTC().toString(Qt::ISODate);
        // A renewal: the oldest leave only to make room for the new works that came.
        std::vector<std::size_t> leaving;
        if (request_.packSize > 0)
            leaving = WorksToRetire(request_.keep.size(), request_.packSize, static_cast<int>(taken.size()));
        std::vector<QString> retired = request_.retired;
        for (std::size_t i = 0; i < request_.keep.size(); ++i) {
            const KeptWork& kept = request_.keep[i];
            if (std::find(leaving.begin(), leaving.end(), i) != leaving.end()) {
                retired.push_back(kept.work.id);
                continue;
            }
            const std::string source = QFileInfo(kept.imagePath).absoluteFilePath().toStdString();
            make.Sources.push_back(source);
            make.Records[source] = RecordOf(kept.work);
            make.WorkSources[source] = SourceOf(kept.work, kept.added);
        }
        for (const auto& [work, path] : taken) {
            const std::string source = QFileInfo(path).absoluteFilePath().toStdString();
            make.Sources.push_back(source);
            make.Records[source] = RecordOf(work);
            make.WorkSources[source] = SourceOf(work, added);
        }
        QStringList licences;
        for (const auto& [source, work] : make.WorkSources)
            licences << QString::fromStdString(work.Licence);
        make.Label = QStringLiteral("%1, %2: %3").arg(QString::fromLatin1(Info(request_.source).name), TermsLabel(licences), query_).toStdString();
        const std::size_t remembered = std::min(retired.size(), kMaxRetiredIds);
        for (auto id = retired.end() - static_cast<std::ptrdiff_t>(remembered); id != retired.end(); ++id)
            make.RetiredIds.push_back(id->toStdString());
        const core::Result<packmaker::MadePack> made = packmaker::MakePack(
            make,
            [&](const packmaker::MakeProgress& p) {
                state_.writing = p.Picture ? 0.0 : p.Writing;
                Tell(FetchStage::Packing, static_cast<int>(taken.size()), {});
            },
            cancel_);
        if ((!made.ok() && made.error().code == archiva::ErrorCancelled) || Cancelled())
            return Cancel();
        if (!made.ok())
            return Fail(made.error().code,
                        QStringLiteral("The pack was not made: %1").arg(QString::fromStdString(made.error().text)));
        result_.archive = QString::fromStdString(made->Archive);
        result_.works = static_cast<int>(made->Taken.size());
        result_.requests = client_.RequestsSent();
        return result_;
    }

    const FetchRequest& request_;
    const std::function<void(const FetchProgress&)>& progress_;
    const std::atomic<bool>* cancel_;
    HttpClient client_;
    QString base_;
    FetchCache cache_;
    QString query_;
    FetchedPack result_;
    FetchProgress state_; // what the progress callback is told
};

} // namespace

QString DefaultPackName(Source source, const QString& query)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(Info(source).name), query.trimmed().isEmpty() ? DefaultQuery() : query.trimmed());
}

core::Result<FetchedPack> Fetch(const FetchRequest& request, const std::function<void(const FetchProgress&)>& progress,
                                const std::atomic<bool>* cancel, FetchedPack* soFar)
{
    Fetcher fetcher(request, progress, cancel);
    core::Result<FetchedPack> result = fetcher.Run();
    if (!result.ok() && soFar)
        *soFar = fetcher.SoFar();
    return result;
}

} // namespace museum
