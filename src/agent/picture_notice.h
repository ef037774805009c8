#pragma once
// The desktop notification after an automatic change: what is now on the wall
// (title, year, author, pack, the thumbnail), with the actions "Next" and
// "Favourite". Changes the person made by hand are not announced: only the agent
// calls Tell.
#include "core/result.h"
#include "gallery/wall_entry.h"
#include "platform/desktop_notifier.h"

#include <functional>
#include <memory>

namespace agent {

class PictureNotice {
public:
    static constexpr const char* kNextAction = "next";
    static constexpr const char* kFavouriteAction = "favourite";

    // next runs a Next change; favourite marks the picture the notification named.
    PictureNotice(std::unique_ptr<platform::DesktopNotifier> notifier, std::function<void()> next,
                  std::function<void(const gallery::PictureKey&)> favourite);
    PictureNotice(const PictureNotice&) = delete;
    PictureNotice& operator=(const PictureNotice&) = delete;

    // Announces entry, in the place of the previous announcement while that is
    // still shown (one picture is on the wall at a time).
    core::Result<void> Tell(const gallery::WallEntry& entry);

    static platform::DesktopNotification Text(const gallery::WallEntry& entry);

private:
    std::unique_ptr<platform::DesktopNotifier> notifier_;
    std::function<void()> next_;
    std::function<void(const gallery::PictureKey&)> favourite_;
    quint32 id_ = 0;
    gallery::PictureKey shown_;
};

} // namespace agent
