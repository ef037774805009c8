#pragma once
// Notices when pack archives come or go in the packs folders behind the window's
// back (ambience-cli install or remove, a file manager) and has the list rebuilt:
// the Packs page never shows packs that are gone, nor misses new ones.
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QFileSystemWatcher;
class QTimer;

namespace ui {

class PacksWatch : public QObject {
    Q_OBJECT
public:
    // folders: the packs folders (a missing one is watched for from its parent).
    // changed runs once the set of pack files has settled and differs from before;
    // it returns false when it cannot rebuild now (the window is busy): the watch
    // then asks again a little later.
    PacksWatch(QStringList folders, std::function<bool()> changed, QObject* parent = nullptr);

    // The list was just rebuilt from the folders as they are (the window's own
    // install or removal): what it shows is no change to report. Without this the
    // window's own copy would rebuild the list a second time a moment later.
    void Resync();

private:
    void Watch();
    void Settled();
    QString Signature() const;

    QStringList folders_;
    std::function<bool()> changed_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
    QString signature_;
};

} // namespace ui
