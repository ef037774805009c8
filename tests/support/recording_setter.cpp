#include "support/recording_setter.h"

#include <chrono>

namespace platform {

core::Result<WallpaperSet> RecordingWallpaperSetter::Set(const WallpaperRequest& request)
{
    const int now = ++inFlight;
    int most = mostInFlight.load();
    while (now > most && !mostInFlight.compare_exchange_weak(most, now)) {
    }
    {
        std::unique_lock lock(mutex_);
        released_.wait_for(lock, std::chrono::seconds(60), [this] { return !held_; });
        files << request.file;
        requests.push_back(request);
    }
    --inFlight;
    if (!accept)
        return core::MakeError(kWallpaperNotTaken,
                               QStringLiteral("No desktop took %1 (recorded only).").arg(request.file).toStdString());
    WallpaperSet set;
    set.file = request.file;
    set.method = QStringLiteral("recorded");
    set.description = QStringLiteral("Recorded (no desktop involved)");
    return set;
}

void RecordingWallpaperSetter::Hold()
{
    std::lock_guard lock(mutex_);
    held_ = true;
}

void RecordingWallpaperSetter::Release()
{
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    released_.notify_all();
}

} // namespace platform
