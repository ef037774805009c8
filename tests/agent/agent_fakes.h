#pragma once
// A clock the test sets, a notification area that records what it is asked, and a
// main window that only keeps the state the agent looks at.
#include "agent/agent_host.h"
#include "agent/clock.h"
#include "agent/schedule.h"
#include "agent/tray_icon.h"
#include "settings/options.h"

#include <QIcon>
#include <QMenu>
#include <QStringList>

#include <functional>
#include <vector>

namespace agenttest {

constexpr double kSecond = agent::kMinute / 60.0;

class FakeClock : public agent::Clock {
public:
    explicit FakeClock(double now) : now(now) {}
    double Now() const override { return now; }
    void Advance(double seconds) { now += seconds * kSecond; }
    double now;
};

struct TrayLog {
    int adds = 0;
    int modifies = 0;
    int deletes = 0;
    bool visible = false;
    bool available = true;
    QString tip;
    QMenu* menu = nullptr;
    std::function<void()> click;
    std::function<void()> availabilityChanged; // what the tray calls when a notification area comes or goes
};

class FakeTray : public agent::TrayIcon {
public:
    explicit FakeTray(TrayLog& log) : log_(log) {}
    void Add(const QIcon&, const QString& tip) override
    {
        ++log_.adds;
        log_.visible = true;
        log_.tip = tip;
        log_.click = onClick;
    }
    void Modify(const QIcon&) override { ++log_.modifies; }
    void Delete() override
    {
        ++log_.deletes;
        log_.visible = false;
    }
    bool IsAvailable() const override { return log_.available; }
    void SetMenu(QMenu* menu) override
    {
        log_.menu = menu;
        log_.availabilityChanged = onAvailabilityChanged;
    }

private:
    TrayLog& log_;
};

class FakeHost : public agent::AgentHost {
public:
    explicit FakeHost(FakeClock& clock) : clock_(clock) {}

    bool IsMainWindowVisible() const override { return visible; }
    bool IsPageControlEnabled() const override { return enabled; }
    bool ExpoRandomExecute(std::function<void(const change::ChangeResult&)> done) override
    {
        using Status = change::ChangeResult::Status;
        change::ChangeResult result;
        changeTimes.push_back(clock_.now);
        // A composition takes a moment; a successful one is counted as the window counts it.
        clock_.Advance(composeSeconds);
        if (failWith.isEmpty()) {
            options->LastDesktopChangeTime = clock_.now;
            result.status = notice.isEmpty() ? Status::Done : Status::Unset;
            result.wallpaperDetail = notice;
        } else {
            result.problem = failWith;
        }
        done(result);
        return true;
    }
    void ShowMainWindow() override
    {
        visible = true;
        ++shows;
    }
    void MinimizeMainWindow() override
    {
        visible = false;
        ++minimises;
    }
    void CloseMainWindow() override { ++closes; }
    QMenu* AgentMenu() override { return &menu; }
    void ShowError(const QString& text) override
    {
        errors << text;
        if (whileErrorShown)
            whileErrorShown();
    }
    void ShowNotice(const QString& text) override { notices << text; }

    TOptions* options = nullptr; // the agent's settings: a successful change is counted there
    bool visible = false;
    bool enabled = true;
    double composeSeconds = 2;
    QString failWith;
    QString notice; // told with a successful change
    std::vector<double> changeTimes;
    int shows = 0, minimises = 0, closes = 0;
    QStringList errors, notices;
    // Runs while an error box is open, as the box's own event loop would.
    std::function<void()> whileErrorShown;
    QMenu menu;

private:
    FakeClock& clock_;
};

} // namespace agenttest
