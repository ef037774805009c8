#pragma once
// Notices when another process (ambience-cli, a second session) changed the
// settings store, and reloads the settings: the scheduler, the icon and the next
// composition then follow the new values.
#include <QObject>
#include <QString>

#include <functional>

class TOptions;

class QFileSystemWatcher;
class QTimer;

namespace ui {

class SettingsWatch : public QObject {
    Q_OBJECT
public:
    // Reloads options from the store at storePath; reloaded runs after the
    // settings were read again and differ from before.
    SettingsWatch(QString storePath, TOptions& options, std::function<void()> reloaded, QObject* parent = nullptr);

private:
    void Watch();
    void Reload();

    QString path_;
    TOptions& options_;
    std::function<void()> reloaded_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
};

} // namespace ui
