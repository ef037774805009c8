#include "agent/startup_notice.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>

namespace agent {

std::unique_ptr<DesktopNotifier> MakeSessionNotifier()
{
    return platform::MakeBusNotifier(QDBusConnection::sessionBus());
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
    // Kept until the person acts on it: it says something they need to know.
    n.resident = true;
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
