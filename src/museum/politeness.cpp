#include "museum/politeness.h"

#include <QLocale>

#include <algorithm>

namespace museum {

std::int64_t NextSendTime(const std::deque<std::int64_t>& sent, const RateLimit& limit, std::int64_t now)
{
    const std::size_t allowed = static_cast<std::size_t>(std::max(1, limit.requests));
    if (sent.size() < allowed)
        return now;
    // The request `allowed` places back must have left the window.
    const std::int64_t oldest = sent[sent.size() - allowed];
    return std::max(now, oldest + limit.windowMs);
}

SendPace::SendPace(const RateLimit& limit)
    : limit_(limit), intervalMs_(std::max(1, limit.windowMs / std::max(1, limit.requests)))
{
}

std::int64_t SendPace::Next(std::int64_t now) const
{
    if (limit_.burst <= 0)
        return NextSendTime(recent_, limit_, now);
    if (!emptyAt_)
        return now;
    return std::max(now, *emptyAt_ - std::int64_t{limit_.burst - 1} * intervalMs_);
}

void SendPace::Sent(std::int64_t at)
{
    if (limit_.burst > 0) {
        emptyAt_ = std::max(emptyAt_.value_or(at), at) + intervalMs_;
        return;
    }
    recent_.push_back(at);
    while (recent_.size() > static_cast<std::size_t>(std::max(1, limit_.requests)))
        recent_.pop_front();
}

std::optional<std::int64_t> RetryAfterMs(const QByteArray& header, const QDateTime& now)
{
    const QByteArray text = header.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qlonglong seconds = text.toLongLong(&ok);
    if (ok)
        return seconds < 0 ? std::nullopt : std::optional<std::int64_t>(seconds * 1000);
    // IMF-fixdate: "Sun, 06 Nov 1994 08:49:37 GMT".
    QDateTime at = QLocale::c().toDateTime(QString::fromLatin1(text), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!at.isValid())
        return std::nullopt;
    at.setTimeSpec(Qt::UTC);
    return std::max<std::int64_t>(0, now.msecsTo(at));
}

std::int64_t RetryDelayMs(int attempt, std::optional<std::int64_t> retryAfterMs, std::int64_t baseMs, std::int64_t capMs)
{
    std::int64_t delay = baseMs;
    for (int i = 1; i < attempt && delay < capMs; ++i)
        delay *= 2;
    if (retryAfterMs)
        delay = std::max(delay, *retryAfterMs);
    return std::min(delay, capMs);
}

bool RetriableStatus(int status)
{
    return status == 429 || status == 500 || status == 502 || status == 503 || status == 504;
}

} // namespace museum
