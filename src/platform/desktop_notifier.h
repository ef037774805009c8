#pragma once
// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications on a session bus): Notify, and the service's
// ActionInvoked and NotificationClosed signals. The bus is given by the caller;
// nothing here reaches for the process's own.
#include "core/result.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QDBusConnection;

namespace platform {

// One notification as the service takes it.
struct DesktopNotification {
    QString summary;
    QString body;
    QStringList actions; // key, label, key, label, ...
    QString icon;        // an icon name of the theme
    QString imagePath;   // a picture file shown with it (the "image-path" hint); empty: none
    bool resident = false; // stays after an action was chosen (the "resident" hint)
    quint32 replaces = 0;  // the id of a notification of ours this one takes the place of
    int timeoutMs = 0;     // 0: the service's choice; -1 is not used (servers differ)
};

// Where notifications go: a session's notification service; tests use a fake.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    // The service's id of the notification shown.
    virtual core::Result<quint32> Notify(const DesktopNotification& notification) = 0;
    // Takes a notification of ours away; nothing when it is gone already.
    virtual void Close(quint32 /*id*/) {}
    // Called with the notification's id and the key of the action the person chose.
    // Every program's notifications come by: compare the id.
    std::function<void(quint32 id, const QString& action)> onAction;
    // Called with the id of a notification that went away (expired, dismissed, ...).
    std::function<void(quint32 id)> onClosed;
};

// The notification service on bus. A bus that is not connected gives a notifier
// whose every Notify fails with a sentence saying so.
std::unique_ptr<DesktopNotifier> MakeBusNotifier(const QDBusConnection& bus);

} // namespace platform
