#pragma once
// The scheduler's one decision, as a pure function of date-times (days since
// 30 December 1899, fractions for the time of day).

namespace agent {

constexpr double kMinute = 1.0 / 1440.0;
constexpr double kHour = 1.0 / 24.0;

// Whether span days have passed from since to now (inclusive), or the clock was set
// back: since lies more than a minute after now. A stored time that is no number
// at all counts as long past.
bool IsDue(double now, double since, double span);

} // namespace agent
