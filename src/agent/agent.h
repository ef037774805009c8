#pragma once
// The notification-area agent TAgent: the tray icon with its tip and clock face,
// the menu AM on a right click, show-and-hide on a left click, and the 15-second
// timer whose passes change the desktop automatically while the window is hidden.
#include "agent/agent_host.h"
#include "agent/clock.h"
#include "agent/picture_notice.h"
#include "agent/tray_icon.h"
#include "platform/desktop_notifier.h"

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QStringList>

#include <memory>

class QTimer;
class TOptions;

// What the agent runs on; every member left empty gets the real one.
struct AgentSeams {
    std::shared_ptr<agent::Clock> clock;    // default: MakeSystemClock()
    int timerIntervalMs = 0;                // default: TimerIntervalMs(clock)
    std::unique_ptr<agent::TrayIcon> tray;  // default: a QSystemTrayIcon following area
    // The notification area the default icon follows (it must outlive the agent);
    // without one the icon never shows.
    platform::NotificationAreaWatch* area = nullptr;
    // Where the notification after an automatic change goes; default: the session
    // bus's notification service, reached the first time one is sent.
    std::unique_ptr<platform::DesktopNotifier> notifier;
};

class TAgent : public QObject {
    Q_OBJECT
public:
    enum class IconAction { Add, Delete };

    // arguments: the program's arguments without the program name. "/startup" as
    // the first one adds the icon only when the icon setting is not "no icon"
    // (the window itself stays hidden); otherwise the icon is always added.
    // options are the program's settings (read at every pass); they must outlive the agent.
    TAgent(agent::AgentHost& host, const TOptions& options, const QStringList& arguments, AgentSeams seams = {});
    ~TAgent() override;
    TAgent(const TAgent&) = delete;
    TAgent& operator=(const TAgent&) = delete;

    // End of the last scheduler pass, in the date-time form.
    double LastTick = 0.0;
    bool IconShown() const { return iconShown_; }

    void NotifyIcon(IconAction action);
    // A fresh picture for a shown icon (the clock hands move); nothing when absent.
    void UpdateIcon();
    QImage MakeIconImage() const;
    QIcon MakeIcon() const;

    // The tip again from the record of the wall (a change has ended, here or in
    // another process).
    void RefreshTip();
    QString Tip();

    // Left click: minimise the window when it is visible, else show it in front.
    void ToggleMainWindow();
    // Removes the icon and closes the window for good: the program ends.
    void Quit();
    // What each timer tick runs: puts the icon back when a notification area has
    // (re)appeared, then the scheduler pass OnAgentTimer.
    void OnTimerTick();
    // The scheduler pass.
    void OnAgentTimer();

    // The window was closed but only hid (automatic changing is on): the icon goes
    // when the icon setting is "no icon"; without a notification area the user is
    // told once how to get the window back.
    void WindowHiddenByClose();
    // A second start asked for the window: the icon is added whatever the setting.
    void ShowInstance();

    QTimer* Timer() const { return timer_; }

private:
    void WatchTray();
    void AutomaticChangeEnded(const core::Result<change::ChangeDone>& result);
    void ReportChangeFailure(const QString& problem);
    void AnnounceAutomaticChange(const change::ChangeDone& result);

    int IconSetting() const;
    bool NotifyWanted() const;

    agent::AgentHost& host_;
    const TOptions& options_;
    std::shared_ptr<agent::Clock> clock_;
    std::unique_ptr<agent::TrayIcon> tray_;
    std::unique_ptr<platform::DesktopNotifier> notifier_; // until the first notification
    std::unique_ptr<agent::PictureNotice> pictureNotice_;
    bool notifyFailureLogged_ = false;
    QTimer* timer_ = nullptr;
    bool iconShown_ = false;
    bool trayAvailable_ = false;
    bool failureTold_ = false;
    bool noticeTold_ = false;
    bool telling_ = false;
    bool noTrayTold_ = false;
};

