#include "platform/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QObject>
#include <QVariantMap>

namespace platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

class BusNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    explicit BusNotifier(const QDBusConnection& bus) : bus_(bus)
    {
        if (!bus_.isConnected())
            return;
        bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                     SLOT(ActionInvoked(uint, QString)));
        bus_.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                     SLOT(NotificationClosed(uint, uint)));
    }

    core::Result<quint32> Notify(const DesktopNotification& n) override
    {
        if (!bus_.isConnected())
            return core::MakeError(1, "there is no session bus to send a desktop notification on");
        QVariantMap hints {{QStringLiteral("desktop-entry"), QStringLiteral("ambience")}};
        if (n.resident)
            hints.insert(QStringLiteral("resident"), true);
        if (!n.imagePath.isEmpty())
            hints.insert(QStringLiteral("image-path"), n.imagePath);
        // A plain call, not an interface object: that would first ask the service
        // to describe itself, one more round trip on the window's thread.
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        call << QStringLiteral("Ambience") << uint(n.replaces) << n.icon << n.summary << n.body << n.actions << hints
             << int(n.timeoutMs);
        // A service that is slow to start must not hold the program's thread long.
        const QDBusReply<uint> reply = bus_.call(call, QDBus::Block, 5000);
        if (!reply.isValid())
            return core::MakeError(1, "the desktop's notification service did not take the notification: "
                                          + reply.error().message().toStdString());
        return quint32(reply.value());
    }

    void Close(quint32 id) override
    {
        if (!bus_.isConnected() || id == 0)
            return;
        // Nothing to wait for: a notification already gone is no problem.
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                           QStringLiteral("CloseNotification"));
        call << uint(id);
        bus_.asyncCall(call);
    }

private slots:
    void ActionInvoked(uint id, const QString& key)
    {
        if (onAction)
            onAction(id, key);
    }
    void NotificationClosed(uint id, uint /*reason*/)
    {
        if (onClosed)
            onClosed(id);
    }

private:
    QDBusConnection bus_;
};

} // namespace

std::unique_ptr<DesktopNotifier> MakeBusNotifier(const QDBusConnection& bus)
{
    return std::make_unique<BusNotifier>(bus);
}

} // namespace platform

#include "desktop_notifier.moc"
