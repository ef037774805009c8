// A notification area that comes up after the program: a StatusNotifierWatcher
// registered later on a private session bus, and a host registering with it.
#include "platform/notification_area.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// The watcher's side of the StatusNotifierItem protocol, as far as presence goes.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    bool hostRegistered() const { return host; }
    std::atomic<bool> host = false;
signals:
    void StatusNotifierHostRegistered();
};

TEST(NotificationArea, AWatcherThatComesLaterIsSeenOnceAHostRegisters)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForStarted(5000));
    ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QByteArray address = daemon.readLine().trimmed();
    ASSERT_FALSE(address.isEmpty());
    // The watch below asks the session bus of the environment.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    auto restore = qScopeGuard([&] {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        daemon.kill();
        daemon.waitForFinished(5000);
    });

    const std::unique_ptr<platform::NotificationAreaWatch> watch = platform::WatchNotificationArea();
    EXPECT_FALSE(watch->IsPresent());
    QSignalSpy changes(watch.get(), &platform::NotificationAreaWatch::PresenceChanged);

    // The tray service comes up: its watcher first, with no host yet.
    QDBusConnection tray = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("tray"));
    ASSERT_TRUE(tray.isConnected());
    // Served from a thread of its own: the watch asks it with blocking calls
    // from this one.
    FakeWatcher watcher;
    QThread serving;
    watcher.moveToThread(&serving);
    serving.start();
    auto stopServing = qScopeGuard([&] {
        serving.quit();
        serving.wait();
    });
    ASSERT_TRUE(tray.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                    QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(tray.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    // The panel's host registers: now icons show.
    watcher.host = true;
    emit watcher.StatusNotifierHostRegistered();
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_TRUE(changes.takeFirst().at(0).toBool());
    EXPECT_TRUE(watch->IsPresent());
    EXPECT_TRUE(platform::CurrentNotificationArea().statusNotifierHost);

    // The tray service goes.
    tray.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_FALSE(changes.takeFirst().at(0).toBool());
    EXPECT_FALSE(watch->IsPresent());
    QDBusConnection::disconnectFromBus(QStringLiteral("tray"));
}

} // namespace

#include "notification_area_test.moc"
