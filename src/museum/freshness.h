#pragma once
// Keeping a museum pack fresh: every N days, when the network is up and not
// metered, new works come into the pack and the oldest leave. These are the
// decisions, as pure functions of the times and states passed in, so they are
// tested with a made-up clock and network; the agent asks them and does the work.
#include "museum/museums.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

namespace museum {

// What the subscription asks for (off unless a person turned it on).
struct FreshSubscription {
    bool enabled = false;
    Source source = Source::Aic;
    QString theme;     // the query
    int count = 40;    // works the pack keeps
    int everyDays = 7; // between renewals
};

// The network as the system reports it (QNetworkInformation's reachability and
// metered flag). Unknown: the system cannot tell whether the network is up (no
// backend loads, or it has no reachability); it counts as up, or a system without a
// backend would never renew. A network whose metered state the system cannot tell
// (a backend without that feature) is Online: only a network reported as metered
// holds a renewal back.
enum class NetworkState { Unknown, Offline, Metered, Online };

struct FreshDecision {
    bool fetchNow = false;
    QDateTime nextCheck; // when to ask again (UTC)
    QString why;         // for a log line: why now, or why not yet
};

// lastRenewal: when the pack was last renewed (invalid: never); lastAttempt: when a
// renewal was last tried and failed (invalid: none since the last renewal), so a
// museum that is down is not asked again every few minutes.
FreshDecision DecideRenewal(const FreshSubscription& subscription, const QDateTime& lastRenewal,
                            const QDateTime& lastAttempt, const QDateTime& now, NetworkState network);

// How many works a renewal asks for: a quarter of the pack, at least one, at most
// all of it.
int WorksToRenew(int count);

// Of the works in the pack, oldest first, which leave to make room for `incoming`
// new ones (those that came, not those asked for) while the pack keeps `count`:
// their positions in the oldest-first order.
std::vector<std::size_t> WorksToRetire(std::size_t inPack, int count, int incoming);

} // namespace museum
