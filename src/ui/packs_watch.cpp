#include "ui/packs_watch.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace ui {

PacksWatch::PacksWatch(QStringList folders, std::function<bool()> changed, QObject* parent)
    : QObject(parent), folders_(std::move(folders)), changed_(std::move(changed)),
      watcher_(new QFileSystemWatcher(this)), settle_(new QTimer(this))
{
    // A copy arrives in pieces and a rename ends it: act once things are quiet.
    settle_->setSingleShot(true);
    settle_->setInterval(300);
    connect(settle_, &QTimer::timeout, this, &PacksWatch::Settled);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    Watch();
    signature_ = Signature();
}

void PacksWatch::Watch()
{
    for (const QString& folder : folders_) {
        // The user's folder is made by the first installation: until then the
        // nearest folder above it that exists is watched for it.
        QString watched = QDir::cleanPath(folder);
        while (!QFileInfo::exists(watched) && QFileInfo(watched).absolutePath() != watched)
            watched = QFileInfo(watched).absolutePath();
        if (!watcher_->directories().contains(watched))
            watcher_->addPath(watched);
    }
}

QString PacksWatch::Signature() const
{
    QString signature;
    for (const QString& folder : folders_) {
        QDir dir(folder);
        dir.setNameFilters({QStringLiteral("*.zip"), QStringLiteral("*.ZIP")});
        const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& file : files)
            signature += QStringLiteral("%1|%2|%3\n")
                             .arg(file.absoluteFilePath())
                             .arg(file.size())
                             .arg(file.lastModified().toMSecsSinceEpoch());
    }
    return signature;
}

void PacksWatch::Resync()
{
    Watch(); // the user's folder may have been made by the install
    signature_ = Signature();
}

void PacksWatch::Settled()
{
    Watch(); // a folder made meanwhile is watched from now on
    const QString now = Signature();
    if (now == signature_)
        return;
    if (!changed_()) {
        settle_->start(1000);
        return;
    }
    signature_ = now;
}

} // namespace ui
