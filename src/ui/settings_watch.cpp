#include "ui/settings_watch.h"

#include "settings/options.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace ui {

SettingsWatch::SettingsWatch(QString storePath, TOptions& options, std::function<void()> reloaded, QObject* parent)
    : QObject(parent), path_(std::move(storePath)), options_(options), reloaded_(std::move(reloaded)),
      watcher_(new QFileSystemWatcher(this)), settle_(new QTimer(this))
{
    // A writer replaces the file by a rename, which the folder's watch sees; the
    // file's own watch catches an edit in place.
    settle_->setSingleShot(true);
    settle_->setInterval(150);
    connect(settle_, &QTimer::timeout, this, &SettingsWatch::Reload);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::fileChanged, settle_, qOverload<>(&QTimer::start));
    Watch();
}

void SettingsWatch::Watch()
{
    const QString folder = QFileInfo(path_).absolutePath();
    QDir().mkpath(folder);
    if (!watcher_->directories().contains(folder))
        watcher_->addPath(folder);
    if (QFileInfo::exists(path_) && !watcher_->files().contains(path_))
        watcher_->addPath(path_);
}

void SettingsWatch::Reload()
{
    Watch(); // a replaced file is a new one to watch
    const TSettings before = options_;
    options_.Load();
    if (!(static_cast<const TSettings&>(options_) == before) && reloaded_)
        reloaded_();
}

} // namespace ui
