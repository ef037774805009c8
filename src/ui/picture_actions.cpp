// What the window does with the pictures the record of the wall keeps: the tray's
// "About this picture...", "Favourite" and "Never show this picture again", and
// the History window's show again, marks and export.
#include "ui/main_window.h"

#include "agent/agent.h"
#include "agent/picture_line.h"
#include "change/picture_marks.h"
#include "gallery/wall_record.h"
#include "packs/pack_list.h"
#include "platform/shell.h"
#include "ui/about_picture_window.h"
#include "ui/app_context.h"
#include "ui/history_window.h"
#include "ui/window_agent.h"

#include <QAction>
#include <QScreen>

namespace ui {

gallery::WallRecord* TAMMF::Record()
{
    return context_.Record();
}

bool TAMMF::OpenAddress(const QString& address)
{
    return openAddress_ ? openAddress_(address) : platform::OpenWithShell(address);
}

namespace {

// The primary monitor's row comes first.
std::optional<gallery::WallEntry> PrimaryRow(const core::Result<std::vector<gallery::WallEntry>>& rows)
{
    if (!rows || rows->empty())
        return std::nullopt;
    return rows->front();
}

} // namespace

std::optional<gallery::WallEntry> TAMMF::PictureOnWall()
{
    gallery::WallRecord* record = Record();
    return record ? PrimaryRow(record->OnWall()) : std::nullopt;
}

std::optional<gallery::WallEntry> TAMMF::PictureOfChange(qint64 change)
{
    gallery::WallRecord* record = Record();
    return record ? PrimaryRow(record->ChangeRows(change)) : std::nullopt;
}

void TAMMF::RefreshPictureItems()
{
    const std::optional<gallery::WallEntry> onWall = PictureOnWall();
    const bool art = onWall && !onWall->Key().empty();
    // While a change runs every item of AM stays disabled; EndBusy enables them
    // all, and this puts the picture items right again.
    if (!busy_) {
        PictureAbout->setEnabled(onWall.has_value());
        PictureFavourite->setEnabled(art);
        PictureBan->setEnabled(art);
    }
    PictureFavourite->setChecked(art && onWall->favourite);
    if (agent_)
        agent_->RefreshTip();
    if (history_ && history_->isVisible())
        history_->Reload();
}

void TAMMF::PictureAboutExecute()
{
    if (const std::optional<gallery::WallEntry> onWall = PictureOnWall())
        ShowAboutPicture(*onWall);
}

void TAMMF::ShowAboutPicture(const gallery::WallEntry& entry)
{
    // A window of its own, not one over the main window: it is opened from the
    // tray while the main window is hidden, and a window standing in for a hidden
    // one is left unmapped by some window managers.
    if (!aboutPicture_)
        aboutPicture_ = std::make_unique<TAboutPictureWindow>(
            [this](const QString& address) { return OpenAddress(address); });
    aboutPicture_->SetEntry(entry);
    aboutPicture_->show();
    aboutPicture_->raise();
    aboutPicture_->activateWindow();
}

void TAMMF::PictureFavouriteExecute()
{
    const std::optional<gallery::WallEntry> onWall = PictureOnWall();
    if (!onWall || onWall->Key().empty()) {
        RefreshPictureItems();
        return;
    }
    if (const core::Result<void> marked = SetFavourite(onWall->Key(), PictureFavourite->isChecked()); !marked)
        agentHost_->ShowError(QString::fromStdString(marked.error().text));
}

void TAMMF::PictureBanExecute()
{
    if (busy_)
        return;
    const std::optional<gallery::WallEntry> onWall = PictureOnWall();
    if (!onWall || onWall->Key().empty())
        return;
    if (const core::Result<void> marked = SetBanned(onWall->Key(), true); !marked) {
        agentHost_->ShowError(QString::fromStdString(marked.error().text));
        return;
    }
    // The picture goes off the wall at once: the one after it, as Next from it
    // would choose (which passes over banned pictures).
    change::ChangeRequest request;
    request.step = change::PictureStep::Next;
    if (const int index = change::IndexOfPicture(Catalogue(), onWall->Key()); index >= 0)
        request.from = index;
    else
        request.step = change::PictureStep::Random; // its pack is gone: anything but it
    // Chosen in the tray's menu, mostly while the window is hidden: a failure (every
    // picture set aside, ...) is told in a box of its own, as the agent tells.
    StartRequest(std::move(request), false, [this](const core::Result<change::ChangeDone>& result) {
        if (!result.ok())
            agentHost_->ShowError(QString::fromStdString(result.error().text));
    });
}

core::Result<void> TAMMF::SetFavourite(const gallery::PictureKey& picture, bool on)
{
    gallery::WallRecord* record = Record();
    if (!record)
        return core::MakeError(2, "The record of the wall cannot be opened.");
    AMBIENCE_TRY(record->SetFavourite(picture, on));
    RefreshPictureItems();
    return core::Ok();
}

core::Result<void> TAMMF::SetBanned(const gallery::PictureKey& picture, bool on)
{
    gallery::WallRecord* record = Record();
    if (!record)
        return core::MakeError(2, "The record of the wall cannot be opened.");
    AMBIENCE_TRY(record->SetBanned(picture, on));
    RefreshPictureItems();
    return core::Ok();
}

bool TAMMF::ShowAgain(const gallery::WallEntry& entry)
{
    if (busy_)
        return false;
    // Asked for by name: shown also when it is marked never to be shown again
    // (the person chose it), and the change fails with a reason when its pack is gone.
    change::ChangeRequest request;
    request.picture = entry.Key();
    return StartRequest(std::move(request), true, {});
}

void TAMMF::ExportRecordedPicture(const gallery::WallEntry& entry)
{
    if (busy_)
        return;
    FileRequest ask;
    ask.title = QStringLiteral("Save picture...");
    ask.filter = QStringLiteral("JPEG images (*.jpg)|*.jpg|All files (*.*)|*.*");
    ask.defaultExtension = QStringLiteral("jpg");
    ask.proposedName = agent::PictureLine(entry);
    if (ask.proposedName.isEmpty())
        ask.proposedName = context_.Product().ProductName;
    // A title may hold a slash, which would make the proposal a path into some folder.
    ask.proposedName.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = UserDialogs().SaveFileName(history_ && history_->isVisible() ? history_ : static_cast<QWidget*>(this), ask);
    if (path.isEmpty())
        return;
    change::ChangeRequest request;
    request.picture = entry.Key();
    request.exportPath = path;
    StartRequest(std::move(request), true, {});
}

void TAMMF::HistoryExecute()
{
    if (!history_) {
        HistoryActions actions;
        actions.load = [this]() -> core::Result<std::vector<gallery::WallEntry>> {
            gallery::WallRecord* record = Record();
            if (!record)
                return core::MakeError(2, "the record of the wall cannot be opened");
            return record->History();
        };
        actions.setFavourite = [this](const gallery::PictureKey& key, bool on) { return SetFavourite(key, on); };
        actions.setBanned = [this](const gallery::PictureKey& key, bool on) { return SetBanned(key, on); };
        actions.showAgain = [this](const gallery::WallEntry& entry) { return ShowAgain(entry); };
        actions.exportPicture = [this](const gallery::WallEntry& entry) { ExportRecordedPicture(entry); };
        actions.about = [this](const gallery::WallEntry& entry) { ShowAboutPicture(entry); };
        actions.openAddress = [this](const QString& address) { return OpenAddress(address); };
        actions.othersVersion = [this]() -> qint64 {
            gallery::WallRecord* record = Record();
            const core::Result<qint64> version = record ? record->OthersVersion() : core::Result<qint64>(-1);
            return version ? *version : -1;
        };
        history_ = new THistoryWindow(std::move(actions), this);
        history_->setWindowFlag(Qt::Window, true);
        // Over the main window when it shows, else in the middle of its screen:
        // window managers would put a window of no place of its own in a corner.
        const QRect area = isVisible() ? frameGeometry()
                           : (screen() ? screen()->availableGeometry() : QRect());
        if (area.isValid())
            history_->move(area.center() - history_->rect().center());
    }
    history_->Reload();
    history_->show();
    history_->raise();
    history_->activateWindow();
}

} // namespace ui
