#include "museum/http_client.h"

#include "core/product.h"
#include "museum/politeness.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>
#include <thread>

namespace museum {
namespace {

constexpr int kMaxRedirects = 5;
constexpr int kCancelPollMs = 50;
// Of an error page only the beginning is kept: enough to tell what refused us.
constexpr std::int64_t kMaxErrorPageBytes = 64 << 10;
// What Qt's network thread may hold for us before we read it: without a bound it
// reads on as fast as the server sends, whatever we keep.
constexpr qint64 kReadBufferBytes = 1 << 20;

bool IsUnreachable(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer timeout aborts this way
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::UnknownNetworkError:
        return true;
    default:
        return false;
    }
}

} // namespace

QByteArray UserAgent()
{
    const TProduct product{QString()};
    return (product.ProductName + QLatin1Char('/') + product.ProductVersion + QStringLiteral(" (+")
            + product.SupportAddress + QLatin1Char(')'))
        .toUtf8();
}

HttpClient::HttpClient(HttpSettings settings, const std::atomic<bool>* cancel)
    : settings_(std::move(settings)), cancel_(cancel), pace_(settings_.rate)
{
    // The desktop's proxy (http_proxy and the like) is used as a browser would.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    manager_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    clock_.start();
}

HttpResult HttpClient::Get(const QUrl& url)
{
    return Run(url, nullptr, {});
}

HttpResult HttpClient::Download(const QUrl& url, const QString& path, const std::function<void(std::int64_t)>& received)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        HttpResult result;
        result.outcome = HttpOutcome::HttpError;
        result.error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return result;
    }
    HttpResult result = Run(url, &file, received);
    file.close();
    return result;
}

HttpResult HttpClient::Download(const QUrl& url, int fd, const std::function<void(std::int64_t)>& received)
{
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        HttpResult result;
        result.outcome = HttpOutcome::HttpError;
        result.error = QStringLiteral("cannot write the download: %1").arg(file.errorString());
        return result;
    }
    HttpResult result = Run(url, &file, received);
    file.close();
    return result;
}

bool HttpClient::Sleep(std::int64_t ms, const QString& why)
{
    const std::int64_t until = clock_.elapsed() + ms;
    int told = -1;
    while (clock_.elapsed() < until) {
        if (Cancelled())
            return false;
        const std::int64_t left = until - clock_.elapsed();
        const int seconds = static_cast<int>((left + 999) / 1000);
        if (!why.isEmpty() && ms >= 1000 && seconds != told && settings_.waiting) {
            told = seconds;
            settings_.waiting(seconds, why);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<std::int64_t>(kCancelPollMs, left)));
    }
    return !Cancelled();
}

bool HttpClient::Wait(std::int64_t ms, const QString& why)
{
    return Sleep(ms, why);
}

bool HttpClient::WaitForSlot()
{
    const std::int64_t at = pace_.Next(clock_.elapsed());
    if (!Sleep(at - clock_.elapsed()))
        return false;
    pace_.Sent(clock_.elapsed());
    ++sentCount_;
    return true;
}

HttpResult HttpClient::Run(const QUrl& first, QIODevice* sink, const std::function<void(std::int64_t)>& received)
{
    QUrl url = first;
    int redirects = 0;
    for (int attempt = 1;; ++attempt) {
        QByteArray retryAfter;
        QUrl redirect;
        if (auto* file = qobject_cast<QFile*>(sink)) {
            file->seek(0);
            file->resize(0);
        }
        HttpResult result = Once(url, sink, received, retryAfter, redirect);
        if (result.outcome == HttpOutcome::Cancelled)
            return result;
        if (!redirect.isEmpty()) {
            if (++redirects > kMaxRedirects) {
                result.outcome = HttpOutcome::HttpError;
                result.error = QStringLiteral("more than %1 redirects from %2").arg(kMaxRedirects).arg(first.toString());
                return result;
            }
            if (redirect.scheme() != QLatin1String("http") && redirect.scheme() != QLatin1String("https")) {
                result.outcome = HttpOutcome::HttpError;
                result.error = QStringLiteral("a redirect to %1, which is no web address").arg(redirect.toString());
                return result;
            }
            if (url.scheme() == QLatin1String("https") && redirect.scheme() == QLatin1String("http")) {
                result.outcome = HttpOutcome::HttpError;
                result.error = QStringLiteral("a redirect from a secure address to an insecure one (%1)").arg(redirect.toString());
                return result;
            }
            url = redirect;
            --attempt; // a redirect is no failed attempt
            continue;
        }
        if (result.outcome == HttpOutcome::HttpError && result.refusal == Refusal::None && RetriableStatus(result.status)
            && attempt < settings_.maxAttempts) {
            const std::optional<std::int64_t> asked = RetryAfterMs(retryAfter, QDateTime::currentDateTimeUtc());
            if (asked && *asked > settings_.retryCapMs) {
                // Minutes or days of silence would look like a hang: say so and stop.
                result.waitRefused = true;
                result.error = QStringLiteral("the server answered %1 and asks us to wait %2 seconds before asking again, "
                                              "longer than the %3 seconds we wait; try again later")
                                   .arg(result.status)
                                   .arg(*asked / 1000)
                                   .arg(settings_.retryCapMs / 1000);
                return result;
            }
            const std::int64_t delay = RetryDelayMs(attempt, asked, settings_.retryBaseMs, settings_.retryCapMs);
            const QString why = asked ? QStringLiteral("the server asked us to wait (%1)").arg(result.status)
                                      : QStringLiteral("the server is busy (%1)").arg(result.status);
            if (!Sleep(delay, why)) {
                result.outcome = HttpOutcome::Cancelled;
                return result;
            }
            continue;
        }
        return result;
    }
}

HttpResult HttpClient::Once(const QUrl& url, QIODevice* sink, const std::function<void(std::int64_t)>& received,
                            QByteArray& retryAfter, QUrl& redirect)
{
    HttpResult result;
    if (!WaitForSlot()) {
        result.outcome = HttpOutcome::Cancelled;
        return result;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(settings_.timeoutMs);
    for (const auto& [name, value] : settings_.headers)
        request.setRawHeader(name, value);
    QNetworkReply* reply = manager_.get(request);
    reply->setReadBufferSize(kReadBufferBytes);

    QByteArray body;
    bool tooLarge = false;
    bool writeFailed = false;
    bool overtime = false;
    bool pageEnough = false; // an error page read as far as we keep it
    QObject::connect(reply, &QIODevice::readyRead, reply, [&] {
        if (tooLarge || pageEnough)
            return;
        // Read in pieces and check the cap before keeping each: an endless answer
        // stops at the cap, not after.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool success = status >= 200 && status < 300;
        while (reply->bytesAvailable() > 0) {
            const QByteArray chunk = reply->read(std::min<qint64>(reply->bytesAvailable(), kReadBufferBytes));
            result.bytes += chunk.size();
            if (sink && success) {
                if (result.bytes > settings_.maxFileBytes) {
                    tooLarge = true;
                } else if (sink->write(chunk) != chunk.size()) {
                    writeFailed = true;
                }
            } else if (!success) {
                body += chunk.left(std::max<qint64>(0, kMaxErrorPageBytes - body.size()));
                pageEnough = body.size() >= kMaxErrorPageBytes;
            } else if (body.size() + chunk.size() <= settings_.maxAnswerBytes) {
                body += chunk;
            } else {
                tooLarge = true;
            }
            if (tooLarge || writeFailed || pageEnough) {
                reply->abort();
                break;
            }
        }
        if (received)
            received(result.bytes);
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, reply, [&] {
        if (Cancelled())
            reply->abort();
    });
    poll.start(kCancelPollMs);
    // A server that drips a byte now and then never trips the stall limit; this
    // bounds the whole request.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, reply, [&] {
        overtime = true;
        reply->abort();
    });
    limit.start(settings_.requestLimitMs);
    if (!reply->isFinished())
        loop.exec();
    poll.stop();
    limit.stop();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const qint64 expected = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    retryAfter = reply->rawHeader("Retry-After");
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    result.refusal = RefusalOf(result.status, reply->rawHeader("cf-mitigated"), reply->rawHeader("Content-Type"), body);
    reply->deleteLater();

    if (Cancelled()) {
        result.outcome = HttpOutcome::Cancelled;
        result.error = QStringLiteral("cancelled");
        return result;
    }
    if (tooLarge) {
        result.outcome = HttpOutcome::HttpError;
        result.error = QStringLiteral("the answer is larger than %1 MB")
                           .arg((sink ? settings_.maxFileBytes : settings_.maxAnswerBytes) >> 20);
        return result;
    }
    if (overtime) {
        result.outcome = HttpOutcome::Cut;
        result.error = QStringLiteral("the answer took longer than %1 seconds").arg((settings_.requestLimitMs + 999) / 1000);
        return result;
    }
    if (writeFailed) {
        result.outcome = HttpOutcome::HttpError;
        result.error = QStringLiteral("the image could not be written to the cache");
        return result;
    }
    if (result.status >= 300 && result.status < 400 && !location.isEmpty()) {
        redirect = url.resolved(location);
        return result;
    }
    if (result.status >= 400 || (result.status != 0 && result.status < 200)) {
        result.outcome = HttpOutcome::HttpError;
        result.body = std::move(body); // the page's beginning, for a caller that wants to read it
        result.error = QStringLiteral("the server answered %1 %2").arg(result.status).arg(reason).trimmed();
        return result;
    }
    if (result.status == 0) {
        result.outcome = IsUnreachable(error) ? HttpOutcome::Unreachable : HttpOutcome::Cut;
        result.error = error == QNetworkReply::OperationCanceledError
                           ? QStringLiteral("no answer within %1 seconds").arg((settings_.timeoutMs + 999) / 1000)
                           : errorText;
        return result;
    }
    if (error != QNetworkReply::NoError || (expected > 0 && result.bytes < expected)) {
        result.outcome = HttpOutcome::Cut;
        result.error = expected > 0 ? QStringLiteral("the connection was cut after %1 of %2 bytes").arg(result.bytes).arg(expected)
                                    : QStringLiteral("the connection was cut: %1").arg(errorText);
        return result;
    }
    result.outcome = HttpOutcome::Ok;
    result.body = std::move(body);
    return result;
}

} // namespace museum
