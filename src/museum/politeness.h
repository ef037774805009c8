#pragma once
// How long to wait before the next request: the museum's rate limit over a
// sliding window, and growing delays before a retry, with the server's own
// Retry-After taken when it gives one. Pure functions of the times passed in.
#include "museum/museums.h"

#include <QByteArray>
#include <QDateTime>

#include <cstdint>
#include <deque>
#include <optional>

namespace museum {

// The earliest time (ms, same clock as `sent`) at which one more request keeps
// within `limit`: no more than limit.requests requests in any limit.windowMs.
// `sent` holds the send times of earlier requests, oldest first.
std::int64_t NextSendTime(const std::deque<std::int64_t>& sent, const RateLimit& limit, std::int64_t now);

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
