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

#include <thread>

namespace museum {
namespace {

constexpr int kMaxRedirects = 5;
constexpr std::int64_t kMaxAnswerBytes = std::int64_t{64} << 20; // a JSON answer; images go to files
constexpr std::int64_t kMaxFileBytes = std::int64_t{256} << 20; // an image: a web-size one is a few MB
constexpr int kCancelPollMs = 50;

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
    : settings_(std::move(settings)), cancel_(cancel)
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

bool HttpClient::Sleep(std::int64_t ms)
{
    const std::int64_t until = clock_.elapsed() + ms;
    while (clock_.elapsed() < until) {
        if (Cancelled())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<std::int64_t>(kCancelPollMs, until - clock_.elapsed())));
    }
    return !Cancelled();
}

bool HttpClient::WaitForSlot()
{
    const std::int64_t at = NextSendTime(sent_, settings_.rate, clock_.elapsed());
    if (!Sleep(at - clock_.elapsed()))
        return false;
    sent_.push_back(clock_.elapsed());
    while (sent_.size() > static_cast<std::size_t>(std::max(1, settings_.rate.requests)))
        sent_.pop_front();
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
        if (result.outcome == HttpOutcome::HttpError && RetriableStatus(result.status) && attempt < settings_.maxAttempts) {
            const std::int64_t delay = RetryDelayMs(attempt, RetryAfterMs(retryAfter, QDateTime::currentDateTimeUtc()),
                                                    settings_.retryBaseMs, settings_.retryCapMs);
            if (!Sleep(delay)) {
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

    QByteArray body;
    bool tooLarge = false;
    bool writeFailed = false;
    QObject::connect(reply, &QIODevice::readyRead, reply, [&] {
        // Only a successful answer is kept; an error page is read for its text.
        const QByteArray chunk = reply->readAll();
        result.bytes += chunk.size();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (sink && status >= 200 && status < 300) {
            if (result.bytes > kMaxFileBytes) {
                tooLarge = true;
                reply->abort();
            } else if (sink->write(chunk) != chunk.size()) {
                writeFailed = true;
            }
        } else if (body.size() + chunk.size() <= kMaxAnswerBytes) {
            body += chunk;
        } else {
            tooLarge = true;
            reply->abort();
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
    if (!reply->isFinished())
        loop.exec();
    poll.stop();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const qint64 expected = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    retryAfter = reply->rawHeader("Retry-After");
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    reply->deleteLater();

    if (Cancelled()) {
        result.outcome = HttpOutcome::Cancelled;
        result.error = QStringLiteral("cancelled");
        return result;
    }
    if (tooLarge) {
        result.outcome = HttpOutcome::HttpError;
        result.error = QStringLiteral("the answer is larger than %1 MB").arg((sink ? kMaxFileBytes : kMaxAnswerBytes) >> 20);
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
        result.error = QStringLiteral("the server answered %1 %2").arg(result.status).arg(reason).trimmed();
        return result;
    }
    if (result.status == 0) {
        result.outcome = IsUnreachable(error) ? HttpOutcome::Unreachable : HttpOutcome::Cut;
        result.error = error == QNetworkReply::OperationCanceledError
                           ? QStringLiteral("no answer within %1 seconds").arg(settings_.timeoutMs / 1000)
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
