#include "agent/clock.h"

#include "core/datetime.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

namespace agent {

namespace {
constexpr double kMsPerDay = 86400000.0;
constexpr int kTickMs = 15000;
} // namespace

SystemClock::SystemClock(double scale) : scale_(scale), start_(::Now())
{
    elapsed_.start();
}

double SystemClock::Now() const
{
    if (scale_ == 1.0)
        return ::Now();
    return start_ + static_cast<double>(elapsed_.elapsed()) * scale_ / kMsPerDay;
}

std::shared_ptr<Clock> MakeSystemClock()
{
    double scale = 1.0;
    const QByteArray text = qgetenv("AMBIENCE_CLOCK_SCALE");
    if (!text.isEmpty()) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (ok && std::isfinite(value) && value >= 1.0 && value <= 1000.0)
            scale = value;
    }
    return std::make_shared<SystemClock>(scale);
}

int TimerIntervalMs(const Clock& clock)
{
    const double scale = clock.Scale();
    if (!(scale > 1.0))
        return kTickMs;
    return std::max(1, static_cast<int>(std::lround(kTickMs / scale)));
}

} // namespace agent
