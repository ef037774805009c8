#pragma once
// On a desktop without a notification area, a start at login ("/startup") would
// leave the program invisible: no window and no icon, while it goes on changing
// the wallpaper. Once a login, a desktop notification says that it runs, with
// actions to open the window and to turn the automatic change off.
#include "core/result.h"
#include "platform/desktop_notifier.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace agent {

// The notification service's client lives in platform; the agent's names for it.
using DesktopNotification = platform::DesktopNotification;
using DesktopNotifier = platform::DesktopNotifier;

// org.freedesktop.Notifications on the process's session bus.
std::unique_ptr<DesktopNotifier> MakeSessionNotifier();

// Whether this login has not been told yet: the first call in a login marks
// the runtime folder (emptied at logout) and answers true, later ones false.
// Without a runtime folder every start counts as a new login.
bool FirstTimeThisLogin(const QString& runtimeDir, const QString& mark);

// The notice itself: what it says and what its actions do.
class StartupNotice : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kOpenAction = "open";
    static constexpr const char* kTurnOffAction = "turn-off";

    StartupNotice(std::unique_ptr<DesktopNotifier> notifier, std::function<void()> openWindow,
                  std::function<void()> turnOffAutoChange);
    // Sends it; intervalHours is the automatic change's interval, for the text.
    core::Result<void> Tell(int intervalHours);

    static DesktopNotification Text(int intervalHours);

private:
    std::unique_ptr<DesktopNotifier> notifier_;
    std::function<void()> openWindow_;
    std::function<void()> turnOffAutoChange_;
    quint32 id_ = 0;
};

} // namespace agent
