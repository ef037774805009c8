#include "ui/history_model.h"

#include "agent/picture_line.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

namespace ui {

namespace {

// A thumbnail scaled while it is read: the decoder does less work than a full read and a scale.
QImage ReadThumbnail(const QString& file, const QSize& size)
{
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid())
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    return reader.read();
}

// Enough for a few screens of rows; older ones are read again when scrolled back to.
constexpr int kCachedThumbnails = 200;

} // namespace

QString HistoryRowText(const gallery::WallEntry& entry, bool showMonitor)
{
    QString first = agent::PictureLine(entry);
    if (first.isEmpty())
        first = QStringLiteral("A gradient without art");
    QStringList marks;
    if (entry.favourite)
        marks << QStringLiteral("favourite");
    if (entry.banned)
        marks << QStringLiteral("never shown again");
    if (!marks.isEmpty())
        first += QStringLiteral("  [") + marks.join(QStringLiteral(", ")) + QLatin1Char(']');
    QStringList second;
    if (!entry.packName.isEmpty())
        second << entry.packName;
    second << QLocale().toString(entry.time.toLocalTime(), QLocale::ShortFormat);
    if (showMonitor && !entry.monitor.isEmpty())
        second << entry.monitor;
    return first + QLatin1Char('\n') + second.join(QStringLiteral(" \u00b7 "));
}

HistoryModel::HistoryModel(QObject* parent)
    : QAbstractListModel(parent), loader_(ReadThumbnail), thumbnails_(kCachedThumbnails)
{
}

void HistoryModel::SetThumbnailSize(const QSize& size)
{
    beginResetModel();
    thumbnailSize_ = size;
    thumbnails_.clear();
    endResetModel();
}

void HistoryModel::SetEntries(std::vector<gallery::WallEntry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    monitors_ = 0;
    QStringList names;
    for (const gallery::WallEntry& entry : entries_)
        if (!names.contains(entry.monitor))
            names << entry.monitor;
    monitors_ = static_cast<int>(names.size());
    // Thumbnails of rows that stayed are kept: a reload after a change reads one new picture.
    Refilter();
    endResetModel();
}

QStringList HistoryModel::Monitors() const
{
    QStringList names;
    for (const gallery::WallEntry& entry : entries_)
        if (!names.contains(entry.monitor))
            names << entry.monitor;
    return names;
}

void HistoryModel::SetMonitorFilter(std::optional<QString> monitor)
{
    beginResetModel();
    monitor_ = std::move(monitor);
    Refilter();
    endResetModel();
}

void HistoryModel::Refilter()
{
    shown_.clear();
    shown_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (!monitor_ || entries_[i].monitor == *monitor_)
            shown_.push_back(static_cast<int>(i));
}

void HistoryModel::SetMarks(const gallery::PictureKey& picture, bool favourite, bool banned)
{
    for (gallery::WallEntry& entry : entries_)
        if (entry.Key() == picture) {
            entry.favourite = favourite;
            entry.banned = banned;
        }
    for (int row = 0; row < rowCount(); ++row)
        if (EntryAt(row).Key() == picture)
            emit dataChanged(index(row), index(row));
}

const gallery::WallEntry& HistoryModel::EntryAt(int row) const
{
    return entries_.at(static_cast<std::size_t>(shown_.at(static_cast<std::size_t>(row))));
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const gallery::WallEntry& entry = EntryAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return HistoryRowText(entry, !monitor_.has_value() && monitors_ > 1);
    case Qt::DecorationRole:
        return Thumbnail(entry);
    case Qt::ToolTipRole:
        return entry.source.page.isEmpty() ? agent::PictureLine(entry) : entry.source.page;
    case Qt::AccessibleTextRole:
        return HistoryRowText(entry, true);
    case EntryIdRole:
        return entry.id;
    default:
        return {};
    }
}

QImage HistoryModel::Thumbnail(const gallery::WallEntry& entry) const
{
    if (entry.thumbnail.isEmpty())
        return {};
    if (const QImage* cached = thumbnails_.object(entry.thumbnail))
        return *cached;
    ++loads_;
    QImage image = loader_(entry.thumbnail, thumbnailSize_);
    // A thumbnail file that cannot be decoded is not tried at every paint; a missing
    // one may still come (a change writes its thumbnails just after its rows).
    if (!image.isNull() || QFileInfo::exists(entry.thumbnail))
        thumbnails_.insert(entry.thumbnail, new QImage(image));
    return image;
}

} // namespace ui
