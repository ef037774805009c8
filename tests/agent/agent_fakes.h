#pragma once
// A clock the test sets, a notification area that records what it is asked, and a
// main window that only keeps the state the agent looks at.
#include "agent/agent_host.h"
#include "agent/clock.h"
#include "agent/schedule.h"
#include "agent/tray_icon.h"
#include "platform/desktop_notifier.h"
#include "settings/options.h"

#include <QIcon>
#include <QMenu>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <utility>
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
    void SetTip(const QString& tip) override { log_.tip = tip; }
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
    bool ExpoRandomExecute(std::function<void(const core::Result<change::ChangeDone>&)> done) override
    {
        changeTimes.push_back(clock_.now);
        // A composition takes a moment; a successful one is counted as the window counts it.
        clock_.Advance(composeSeconds);
        if (!failWith.isEmpty()) {
            done(core::MakeError(change::kChangeFailed, failWith.toStdString()));
            return true;
        }
        options->LastDesktopChangeTime = clock_.now;
        change::ChangeDone result;
        result.unset = !notice.isEmpty();
        result.unsetReason = notice;
        result.recorded = changeRecorded;
        done(result);
        return true;
    }
    bool ExpoNextExecute() override
    {
        ++nexts;
        return true;
    }
    std::optional<gallery::WallEntry> PictureOnWall() override { return onWall; }
    std::optional<gallery::WallEntry> PictureOfChange(qint64 change) override
    {
        const auto found = recordedChanges.find(change);
        return found == recordedChanges.end() ? std::nullopt : std::optional(found->second);
    }
    void SetFavourite(const gallery::PictureKey& picture, bool on) override
    {
        favourites.push_back({picture, on});
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
    int shows = 0, minimises = 0, closes = 0, nexts = 0;
    std::optional<gallery::WallEntry> onWall; // what the record says is on the wall
    // The number a successful change reports, and the record's changes by number.
    qint64 changeRecorded = 0;
    std::map<qint64, gallery::WallEntry> recordedChanges;
    std::vector<std::pair<gallery::PictureKey, bool>> favourites;
    QStringList errors, notices;
    // Runs while an error box is open, as the box's own event loop would.
    std::function<void()> whileErrorShown;
    QMenu menu;

private:
    FakeClock& clock_;
};

// A notification service that keeps what it was sent; the test plays its signals.
struct NotifierLog {
    std::vector<platform::DesktopNotification> sent;
    std::function<void(quint32, const QString&)> act;
    std::function<void(quint32)> close;
    std::vector<quint32> closed; // what the program took away itself
    bool refuse = false;
};

class RecordingNotifier : public platform::DesktopNotifier {
public:
    explicit RecordingNotifier(NotifierLog& log) : log_(log) {}
    core::Result<quint32> Notify(const platform::DesktopNotification& n) override
    {
        if (log_.refuse)
            return core::MakeError(1, "no notification service");
        log_.sent.push_back(n);
        log_.act = onAction;
        log_.close = onClosed;
        // A new id unless it replaces one, as the service does.
        return n.replaces != 0 ? n.replaces : quint32(100 + log_.sent.size());
    }
    void Close(quint32 id) override { log_.closed.push_back(id); }

private:
    NotifierLog& log_;
};

} // namespace agenttest
