#include "agent/picture_notice.h"


#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace agent {

PictureNotice::PictureNotice(std::unique_ptr<platform::DesktopNotifier> notifier, std::function<void()> next,
                             std::function<void(const gallery::PictureKey&)> favourite)
    : notifier_(std::move(notifier)), next_(std::move(next)), favourite_(std::move(favourite))
{
    notifier_->onAction = [this](quint32 id, const QString& action) {
        if (id_ == 0 || id != id_)
            return; // another program's notification, or an earlier one of ours
        if (action == QLatin1String(kNextAction) && next_) {
            // What it says is about to go off the wall.
            notifier_->Close(id_);
            id_ = 0;
            next_();
        }
        else if (action == QLatin1String(kFavouriteAction) && favourite_ && !shown_.empty())
            favourite_(shown_);
    };
    notifier_->onClosed = [this](quint32 id) {
        if (id == id_)
            id_ = 0;
    };
}

platform::DesktopNotification PictureNotice::Text(const gallery::WallEntry& entry)
{
    platform::DesktopNotification n;
    // The body may be read as markup by the service: the pack's words are text.
    const QString title = entry.title.simplified();
    n.summary = title.isEmpty() ? QStringLiteral("A new wallpaper") : title;
    QStringList lines;
    QStringList made;
    if (const QString year = entry.year.simplified(); !year.isEmpty() && year != QLatin1String("0"))
        made << year;
    if (const QString author = entry.author.simplified(); !author.isEmpty())
        made << author;
    if (!made.isEmpty())
        lines << made.join(QStringLiteral(", ")).toHtmlEscaped();
    if (!entry.packName.isEmpty())
        lines << QStringLiteral("From the pack %1").arg(entry.packName.simplified().toHtmlEscaped());
    n.body = lines.join(QLatin1Char('\n'));
    n.actions = {QLatin1String(kNextAction), QStringLiteral("Next"), QLatin1String(kFavouriteAction),
                 QStringLiteral("Favourite")};
    n.icon = QStringLiteral("ambience");
    // "Favourite" and then "Next" from the same notification.
    n.resident = true;
    if (!entry.thumbnail.isEmpty() && QFileInfo::exists(entry.thumbnail))
        n.imagePath = QUrl::fromLocalFile(QFileInfo(entry.thumbnail).absoluteFilePath()).toString();
    return n;
}

core::Result<void> PictureNotice::Tell(const gallery::WallEntry& entry)
{
    platform::DesktopNotification n = Text(entry);
    n.replaces = id_;
    core::Result<quint32> id = notifier_->Notify(n);
    if (!id)
        return std::move(id).error();
    id_ = *id;
    shown_ = entry.Key();
    return core::Ok();
}

} // namespace agent
