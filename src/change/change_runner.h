#pragma once
// Runs desktop changes one at a time for a program with a window: the picture is
// chosen on the calling thread (which owns the selection and the settings), the
// composing, writing and handing to the wallpaper setter run on a worker thread,
// and the change is counted back on the calling thread. The caller's thread never
// waits for the work: progress and the outcome come back as queued calls.
#include "change/desktop_change.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace change {

class ChangeRunner : public QObject {
    Q_OBJECT
public:
    explicit ChangeRunner(QObject* parent = nullptr);
    // Waits for a worker still running (the program is ending); writes nothing.
    ~ChangeRunner() override;

    bool IsRunning() const { return running_; }

    // Starts a change. False when one is running: nothing is chosen or done, and
    // the caller answers "busy". Otherwise done is called on this thread with the
    // outcome, once: at once when the choice already failed, else when the worker
    // has finished. selection, options and setter must outlive the change.
    bool Start(ChangeRequest request, PictureSelection& selection, TOptions& options,
               platform::WallpaperSetter& setter, std::function<void(const core::Result<ChangeDone>&)> done);

signals:
    // The composer's progress, as ChangeRequest::progress reports it.
    void Progress(int value);

private:
    bool running_ = false;
    QThread* worker_ = nullptr;
    std::optional<core::Result<ChangeDone>> produced_; // written by the worker, read after it has finished
};

} // namespace change
