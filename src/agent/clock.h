#pragma once
// The one place the agent reads the time from, so tests can set it and the desktop
// test can run it faster.
#include <QElapsedTimer>

#include <memory>

namespace agent {

class Clock {
public:
    virtual ~Clock() = default;
    // The current local time in the date-time form (days since 30 December 1899).
    virtual double Now() const = 0;
    // How many times faster than real time this clock runs; the agent's timer
    // ticks that much more often.
    virtual double Scale() const { return 1.0; }
};

// The system's local time. With scale > 1 it starts at the real time and then runs
// scale times faster.
class SystemClock : public Clock {
public:
    explicit SystemClock(double scale = 1.0);
    double Now() const override;
    double Scale() const override { return scale_; }

private:
    double scale_;
    double start_;
    QElapsedTimer elapsed_;
};

// A SystemClock whose scale comes from the environment variable
// AMBIENCE_CLOCK_SCALE (a number from 1 to 1000); real time when it is absent or
// anything else. Only tests set it.
std::shared_ptr<Clock> MakeSystemClock();

// The agent's timer interval: 15 seconds, shortened by the clock's scale.
int TimerIntervalMs(const Clock& clock);

} // namespace agent
