#pragma once
// The notification-area icon as the agent uses it: add, change the picture,
// remove, and whether a notification area is there at all. The real one is a
// QSystemTrayIcon; tests use a fake.
#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
namespace platform { class NotificationAreaWatch; }

namespace agent {

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual void Add(const QIcon& icon, const QString& tip) = 0;
    virtual void Modify(const QIcon& icon) = 0;
    // A new tip for the icon, shown or not (kept for the next Add).
    virtual void SetTip(const QString& tip) = 0;
    virtual void Delete() = 0;
    // Whether a notification area is there to take the icon.
    virtual bool IsAvailable() const = 0;
    // The menu a right click opens (the tray shows it by itself).
    virtual void SetMenu(QMenu* menu) = 0;
    // Called for each left click, and once more for the second click of a double click.
    std::function<void()> onClick;
    // Called when a notification area appears or goes (IsAvailable() tells which).
    std::function<void()> onAvailabilityChanged;
};

// A QSystemTrayIcon shown while area says a notification area is there; area
// must outlive the icon. Without a watch, or without a display, an icon that
// never shows.
std::unique_ptr<TrayIcon> MakeSystemTrayIcon(platform::NotificationAreaWatch* area);

} // namespace agent
