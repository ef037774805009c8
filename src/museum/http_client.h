#pragma once
// A polite HTTP client for one museum: requests go one at a time, within the
// museum's rate limit, with our User-Agent; busy answers (429, 5xx) are asked
// again after growing delays or the server's Retry-After; redirects are followed
// (never from https to http); a stalled transfer times out. Blocking: each call
// runs a local event loop, so it serves a command line and a worker thread alike.
#include "museum/museums.h"
#include "museum/politeness.h"
#include "museum/refusal.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QUrl>

#include <atomic>
#include <cstdint>
#include <functional>

class QIODevice;

namespace museum {

struct HttpSettings {
    RateLimit rate;
    int maxAttempts = 4;        // first try and retries
    int retryBaseMs = 1000;     // doubled for each further retry
    int retryCapMs = 120000;    // the longest wait, also for a Retry-After
    int timeoutMs = 30000;      // with no data at all for this long, the transfer ends
    int requestLimitMs = 600000; // the whole of one request, however the bytes come
    std::int64_t maxAnswerBytes = std::int64_t{64} << 20; // a JSON answer in memory
    std::int64_t maxFileBytes = std::int64_t{256} << 20;  // an image written to a file
    QList<QPair<QByteArray, QByteArray>> headers; // User-Agent and the like
    // Told once a second while a wait of a second or more runs: the seconds left
    // and why (the server's Retry-After, its firewall).
    std::function<void(int seconds, const QString& why)> waiting;
};

enum class HttpOutcome {
    Ok,
    HttpError,   // the server answered with a status that is not success
    Cut,         // the connection ended before the whole answer came
    Unreachable, // no connection: offline, unknown host, refused, timed out
    Cancelled,
};

struct HttpResult {
    HttpOutcome outcome = HttpOutcome::Unreachable;
    int status = 0;
    Refusal refusal = Refusal::None; // a refusal that is no answer about the address
    bool waitRefused = false; // the server asked for a wait longer than we give
    QByteArray body;       // for Get
    std::int64_t bytes = 0; // of the body as received
    QString error;         // what went wrong, for a person
    bool ok() const { return outcome == HttpOutcome::Ok; }
};

class HttpClient {
public:
    HttpClient(HttpSettings settings, const std::atomic<bool>* cancel);

    // The answer in memory (JSON answers).
    HttpResult Get(const QUrl& url);
    // The answer written to `path` as it arrives; `received` is told the bytes so far.
    HttpResult Download(const QUrl& url, const QString& path, const std::function<void(std::int64_t)>& received);
    // The same into a file already open for writing (it stays open).
    HttpResult Download(const QUrl& url, int fd, const std::function<void(std::int64_t)>& received);

    int RequestsSent() const { return sentCount_; }

    // Waits `ms`, telling settings.waiting the seconds left; false when cancelled.
    bool Wait(std::int64_t ms, const QString& why);

private:
    HttpResult Run(const QUrl& url, QIODevice* sink, const std::function<void(std::int64_t)>& received);
    HttpResult Once(const QUrl& url, QIODevice* sink, const std::function<void(std::int64_t)>& received,
                    QByteArray& retryAfter, QUrl& redirect);
    bool WaitForSlot();
    bool Sleep(std::int64_t ms, const QString& why = {});
    bool Cancelled() const { return cancel_ && cancel_->load(); }

    HttpSettings settings_;
    const std::atomic<bool>* cancel_;
    QNetworkAccessManager manager_;
    QElapsedTimer clock_;
    SendPace pace_;
    int sentCount_ = 0;
};

// "Ambience/3.00 (+contact)": our name and version, as the museums ask clients to say.
QByteArray UserAgent();

} // namespace museum
