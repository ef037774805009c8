#include "core/datetime.h"

#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

double DateTimeFromQDateTime(const QDateTime& value)
{
    const QDateTime local = value.toLocalTime();
    const double days = static_cast<double>(kEpoch.daysTo(local.date()));
    const double ms = static_cast<double>(local.time().msecsSinceStartOfDay());
    // Before the epoch the fraction still counts forward from midnight, as the
    // platform's date functions do: -1.25 is 29 December 1899, 06:00.
    if (days < 0)
        return days - ms / kMsPerDay;
    return days + ms / kMsPerDay;
}

QDateTime QDateTimeFromDateTime(double days)
{
    // Hand-edited settings can hold anything; beyond a few million years the day
    // count would no longer fit the integer it is converted to.
    if (!std::isfinite(days) || std::fabs(days) > 1e9)
        return QDateTime();
    const double whole = std::trunc(days);
    double fraction = std::fabs(days - whole);
    qint64 ms = std::llround(fraction * kMsPerDay);
    qint64 dayCount = static_cast<qint64>(whole);
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        dayCount += days < 0 ? -1 : 1;
    }
    const QDate date = kEpoch.addDays(dayCount);
    if (!date.isValid())
        return QDateTime();
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

double Now() { return DateTimeFromQDateTime(QDateTime::currentDateTime()); }
