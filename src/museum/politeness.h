#pragma once
// How long to wait before the next request: the museum's rate limit (a sliding
// window or a token bucket), and growing delays before a retry, with the server's
// own Retry-After taken when it gives one. Pure functions and a value type of the
// times passed in.
#include "museum/museums.h"

#include <QByteArray>
#include <QDateTime>

#include <cstdint>
#include <deque>
#include <optional>

namespace museum {

// The earliest time (ms, same clock as `sent`) at which one more request keeps
// within the sliding window of `limit` (its burst is not looked at): no more than
// limit.requests requests in any limit.windowMs. `sent` holds the send times of
// earlier requests, oldest first.
std::int64_t NextSendTime(const std::deque<std::int64_t>& sent, const RateLimit& limit, std::int64_t now);

// The send times of one client under one limit, and when its next request may go:
// the sliding window above, or for a limit with a burst the token bucket, kept as
// the time at which the bucket would be empty (the generic cell rate algorithm:
// each request moves it on by one interval; a request may go while it lies no more
// than burst - 1 intervals ahead).
class SendPace {
public:
    explicit SendPace(const RateLimit& limit);
    // The earliest time, from `now` on, at which one more request keeps within the limit.
    std::int64_t Next(std::int64_t now) const;
    // A request went at `at` (not before Next).
    void Sent(std::int64_t at);

private:
    RateLimit limit_;
    std::int64_t intervalMs_; // of the bucket: one request's share
    std::deque<std::int64_t> recent_; // of the window: the last limit.requests send times
    std::optional<std::int64_t> emptyAt_;
};

// Seconds from a Retry-After header: either delay-seconds or an HTTP date
// (RFC 9110, 10.2.3), counted from `now`. None when absent or unreadable.
std::optional<std::int64_t> RetryAfterMs(const QByteArray& header, const QDateTime& now);

// The wait before retry number `attempt` (1 for the first retry): baseMs doubled
// each time, or the server's Retry-After when it asks for longer; capped at capMs.
std::int64_t RetryDelayMs(int attempt, std::optional<std::int64_t> retryAfterMs, std::int64_t baseMs,
                          std::int64_t capMs);

// Whether an HTTP status is worth asking again for: 429 and the 5xx that mean the
// server is busy or briefly unwell.
bool RetriableStatus(int status);

} // namespace museum
