#pragma once
// A wallpaper setter for tests: notes every request and answers as configured
// (by default like a machine without a desktop: the file is not taken). It also
// counts how many requests are in it at once, and can hold a request until the
// test lets it go, as a slow desktop tool would.
#include "platform/wallpaper.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace platform {

class RecordingWallpaperSetter final : public WallpaperSetter {
public:
    using WallpaperSetter::Set;
    core::Result<WallpaperSet> Set(const WallpaperRequest& request) override;
    bool TakesDarkStyle() const override { return darkStyle; }

    // Requests wait in Set until Release() (or, held, up to 60 seconds).
    void Hold();
    void Release();
    // Whether a request is waiting in Set now.
    bool Waiting() const { return inFlight.load() > 0; }

    bool accept = false;
    bool darkStyle = false;
    QStringList files; // each request's file
    std::vector<WallpaperRequest> requests;
    std::atomic<int> inFlight {0};
    std::atomic<int> mostInFlight {0};

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
};

} // namespace platform
