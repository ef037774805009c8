#pragma once
// What the agent needs of the main window, and nothing more: the agent library
// sits below the window's and reaches it only through this interface, which the
// window implements (tests use a fake).
#include "change/desktop_change.h"
#include "gallery/wall_entry.h"

#include <QString>

#include <functional>
#include <optional>

class QMenu;

namespace agent {

class AgentHost {
public:
    virtual ~AgentHost() = default;

    // The window is on the screen (shown and not minimised).
    virtual bool IsMainWindowVisible() const = 0;
    // False while the window is busy with a composition or a pack operation.
    virtual bool IsPageControlEnabled() const = 0;
    // Starts picking a picture at random over all packs and making it the
    // wallpaper, as the window's Random action does, but leaves telling the user
    // about a failure to the agent: done receives the outcome when the change has
    // ended. False, with nothing started, while a change runs.
    virtual bool ExpoRandomExecute(std::function<void(const core::Result<change::ChangeDone>&)> done) = 0;

    // The person's Next, as the window's action makes it (failures told there).
    // False, with nothing started, while a change runs.
    virtual bool ExpoNextExecute() = 0;

    // What the record of the wall says is on the primary monitor; nullopt when
    // nothing is recorded yet or the record cannot be read.
    virtual std::optional<gallery::WallEntry> PictureOnWall() = 0;
    // The primary monitor's row of the change of that number; nullopt when the
    // record does not hold it.
    virtual std::optional<gallery::WallEntry> PictureOfChange(qint64 change) = 0;
    // Marks a picture as a favourite, or not (a failure is told by the window).
    virtual void SetFavourite(const gallery::PictureKey& picture, bool on) = 0;

    // Shows the window restored and in front.
    virtual void ShowMainWindow() = 0;
    // Minimises the window, which takes it off the taskbar.
    virtual void MinimizeMainWindow() = 0;
    // Closes the window without the rule that closing only hides it: the program ends.
    virtual void CloseMainWindow() = 0;

    // The agent menu AM (owned by the window).
    virtual QMenu* AgentMenu() = 0;
    // A problem, in a "Problem" message box.
    virtual void ShowError(const QString& text) = 0;
    // Information, in a message box captioned with the product name.
    virtual void ShowNotice(const QString& text) = 0;
};

} // namespace agent
