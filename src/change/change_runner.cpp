#include "change/change_runner.h"

#include <QThread>

namespace change {

ChangeRunner::ChangeRunner(QObject* parent) : QObject(parent) {}

ChangeRunner::~ChangeRunner()
{
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

bool ChangeRunner::Start(ChangeRequest request, PictureSelection& selection, TOptions& options,
                         platform::WallpaperSetter& setter, std::function<void(const core::Result<ChangeDone>&)> done)
{
    if (running_)
        return false;
    running_ = true;
    // Reported from the worker: the signal reaches this thread's receivers queued.
    request.progress = [this](int value) { emit Progress(value); };
    core::Result<std::shared_ptr<PreparedChange>> chosen = PrepareChange(request, selection, options, setter);
    if (!chosen.ok()) {
        running_ = false;
        done(std::move(chosen).error());
        return true;
    }
    std::shared_ptr<PreparedChange> prepared = std::move(*chosen);
    worker_ = QThread::create([this, prepared, &setter] { produced_ = ProduceChange(*prepared, setter); });
    connect(worker_, &QThread::finished, this, [this, prepared, &selection, &options, done = std::move(done)] {
        worker_->deleteLater();
        worker_ = nullptr;
        core::Result<ChangeDone> result = std::move(*produced_);
        produced_.reset();
        if (result.ok())
            FinishChange(*result, *prepared, selection, options);
        running_ = false;
        done(result);
    });
    worker_->start();
    return true;
}

} // namespace change
