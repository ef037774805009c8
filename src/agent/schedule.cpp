#include "agent/schedule.h"

#include <cmath>

namespace agent {

bool IsDue(double now, double since, double span)
{
    // A hand-edited store can hold a NaN or an infinity; left as it is, no
    // comparison would ever be true and the desktop would never change again.
    if (!std::isfinite(since))
        return true;
    const double elapsed = now - since;
    return elapsed >= span || elapsed < -kMinute;
}

} // namespace agent
