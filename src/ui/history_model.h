#pragma once
// The History window's list: the record's rows (newest first, as the record gives
// them), optionally only those of one monitor. Thumbnails are read when the view
// first asks for a row's picture and kept in a bounded cache, so a thousand rows
// cost a thousand small values, not a thousand pictures or widgets.
#include "gallery/wall_entry.h"

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace ui {

class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { EntryIdRole = Qt::UserRole + 1 };

    // loadThumbnail reads a thumbnail file at most the given size (tests count the calls).
    using ThumbnailLoader = std::function<QImage(const QString& file, const QSize& size)>;

    explicit HistoryModel(QObject* parent = nullptr);

    void SetThumbnailLoader(ThumbnailLoader loader) { loader_ = std::move(loader); }
    void SetThumbnailSize(const QSize& size);

    // Replaces the rows (newest first).
    void SetEntries(std::vector<gallery::WallEntry> entries);
    // The monitors named in the rows, in the order first met; "" stands for a
    // change made for the one screen.
    QStringList Monitors() const;
    // Shows only the rows of that monitor; nullopt: all rows.
    void SetMonitorFilter(std::optional<QString> monitor);
    // After a mark changed: every row of that picture shows it.
    void SetMarks(const gallery::PictureKey& picture, bool favourite, bool banned);

    // 0 <= row < rowCount().
    const gallery::WallEntry& EntryAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int ThumbnailLoads() const { return loads_; }

private:
    QImage Thumbnail(const gallery::WallEntry& entry) const;
    void Refilter();

    std::vector<gallery::WallEntry> entries_;
    std::vector<int> shown_; // indices into entries_
    std::optional<QString> monitor_;
    int monitors_ = 0; // different monitors among the rows
    ThumbnailLoader loader_;
    QSize thumbnailSize_ {96, 64};
    mutable QCache<QString, QImage> thumbnails_;
    mutable int loads_ = 0;
};

// How a row is written: "Title (year, author)", then pack, time and monitor; the
// marks in words.
QString HistoryRowText(const gallery::WallEntry& entry, bool showMonitor);

} // namespace ui
