#include "agent/startup_notice.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QVariantMap>

namespace agent {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// The freedesktop notification service's Notify call and its ActionInvoked signal.
class SessionNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    SessionNotifier() : bus_(QDBusConnection::sessionBus())
    {
        if (bus_.isConnected())
            bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                         SLOT(ActionInvoked(uint, QString)));
    }

    core::Result<quint32> Notify(const DesktopNotification& n) override
    {
        if (!bus_.isConnected())
            return core::MakeError(1, "there is no session bus to send a desktop notification on");
        QDBusInterface service(kService, kPath, kService, bus_);
        service.setTimeout(5000);
        // Kept until the person acts on it: it says something they need to know.
        const QVariantMap hints {{QStringLiteral("resident"), true},
                                 {QStringLiteral("desktop-entry"), QStringLiteral("ambience")}};
        const QDBusReply<uint> reply = service.call(QStringLiteral("Notify"), QStringLiteral("Ambience"), uint(0),
                                                    n.icon, n.summary, n.body, n.actions, hints, int(0));
        if (!reply.isValid())
            return core::MakeError(1, "the desktop's notification service did not take the notice: "
                                          + reply.error().message().toStdString());
        return quint32(reply.value());
    }

private slots:
    void ActionInvoked(uint id, const QString& key)
    {
        if (onAction)
            onAction(id, key);
    }

private:
    QDBusConnection bus_;
};

} // namespace

std::unique_ptr<DesktopNotifier> MakeSessionNotifier()
{
    return std::make_unique<SessionNotifier>();
}

bool FirstTimeThisLogin(const QString& runtimeDir, const QString& mark)
{
    if (runtimeDir.isEmpty() || !QDir(runtimeDir).exists())
        return true;
    QFile file(QDir(runtimeDir).filePath(mark));
    // NewOnly: of two starts at once only one is told.
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

StartupNotice::StartupNotice(std::unique_ptr<DesktopNotifier> notifier, std::function<void()> openWindow,
                             std::function<void()> turnOffAutoChange)
    : notifier_(std::move(notifier)), openWindow_(std::move(openWindow)),
      turnOffAutoChange_(std::move(turnOffAutoChange))
{
    notifier_->onAction = [this](quint32 id, const QString& action) {
        if (id_ == 0 || id != id_)
            return; // another program's notification
        if (action == QLatin1String(kOpenAction) && openWindow_)
            openWindow_();
        else if (action == QLatin1String(kTurnOffAction) && turnOffAutoChange_)
            turnOffAutoChange_();
    };
}

DesktopNotification StartupNotice::Text(int intervalHours)
{
    DesktopNotification n;
    n.summary = QStringLiteral("Ambience is running");
    n.body = QStringLiteral("It changes your desktop wallpaper every %1. This desktop has no notification area "
                            "for its icon: open Ambience from your applications to see its window.")
                 .arg(intervalHours == 1 ? QStringLiteral("hour") : QStringLiteral("%1 hours").arg(intervalHours));
    n.actions = {QLatin1String(kOpenAction), QStringLiteral("Open Ambience"), QLatin1String(kTurnOffAction),
                 QStringLiteral("Stop changing the wallpaper")};
    n.icon = QStringLiteral("ambience");
    return n;
}

core::Result<void> StartupNotice::Tell(int intervalHours)
{
    core::Result<quint32> id = notifier_->Notify(Text(intervalHours));
    if (!id)
        return std::move(id).error();
    id_ = *id;
    return core::Ok();
}

} // namespace agent

#include "startup_notice.moc"
