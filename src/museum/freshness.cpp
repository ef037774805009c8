#include "museum/freshness.h"

#include <algorithm>

namespace museum {
namespace {

// After a failed try, the next one waits this long (the museum may be down).
constexpr qint64 kRetryAfterFailureSeconds = 6 * 60 * 60;
// Without a network, or on a metered one, the state is asked again this often.
constexpr qint64 kNetworkRecheckSeconds = 30 * 60;

} // namespace

FreshDecision DecideRenewal(const FreshSubscription& subscription, const QDateTime& lastRenewal,
                            const QDateTime& lastAttempt, const QDateTime& now, NetworkState network)
{
    FreshDecision decision;
    if (!subscription.enabled) {
        decision.why = QStringLiteral("keeping a museum pack fresh is off");
        return decision;
    }
    const int days = std::clamp(subscription.everyDays, 1, 365);
    // A clock set back leaves a renewal "in the future": it counts as due.
    QDateTime due = lastRenewal.isValid() && lastRenewal <= now ? lastRenewal.addDays(days) : now;
    if (lastAttempt.isValid() && lastAttempt <= now && (!lastRenewal.isValid() || lastAttempt > lastRenewal))
        due = std::max(due, lastAttempt.addSecs(kRetryAfterFailureSeconds));
    if (due > now) {
        decision.nextCheck = due;
        decision.why = QStringLiteral("not due before %1").arg(due.toString(Qt::ISODate));
        return decision;
    }
    switch (network) {
    case NetworkState::Offline:
        decision.nextCheck = now.addSecs(kNetworkRecheckSeconds);
        decision.why = QStringLiteral("due, but the network is down");
        return decision;
    case NetworkState::Metered:
        decision.nextCheck = now.addSecs(kNetworkRecheckSeconds);
        decision.why = QStringLiteral("due, but the network is metered");
        return decision;
    case NetworkState::Unknown: // reachability unknown counts as up (freshness.h)
    case NetworkState::Online:
        break;
    }
    decision.fetchNow = true;
    decision.nextCheck = now.addDays(days);
    decision.why = lastRenewal.isValid() ? QStringLiteral("due since %1").arg(due.toString(Qt::ISODate))
                                         : QStringLiteral("never renewed");
    return decision;
}

int WorksToRenew(int count)
{
    const int pack = std::max(1, count);
    return std::clamp(pack / 4, 1, pack);
}

std::vector<std::size_t> WorksToRetire(std::size_t inPack, int count, int incoming)
{
    const std::size_t keep = static_cast<std::size_t>(std::max(0, std::max(1, count) - std::max(0, incoming)));
    std::vector<std::size_t> leaving;
    for (std::size_t i = 0; inPack > keep && i < inPack - keep; ++i)
        leaving.push_back(i);
    return leaving;
}

} // namespace museum
