#pragma once
// The History window: what was on the wall, newest first, as thumbnails with
// time, title and pack; all monitors or one. On each: show it again, favourite
// or not, never show again or allow again, open the museum's page, about, export.
// Keyboard: the arrows move, Enter shows again, the menu key opens the actions,
// and each action has a shortcut.
#include "core/result.h"
#include "gallery/wall_entry.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QTimer;

namespace ui {

class HistoryModel;

// What the window does with the record and the desktop; the main window gives the
// real ones, tests their own.
struct HistoryActions {
    // The record's rows, newest first.
    std::function<core::Result<std::vector<gallery::WallEntry>>()> load;
    std::function<core::Result<void>(const gallery::PictureKey&, bool on)> setFavourite;
    std::function<core::Result<void>(const gallery::PictureKey&, bool on)> setBanned;
    // Starts a desktop change with that picture; false, with nothing started,
    // while another change runs.
    std::function<bool(const gallery::WallEntry&)> showAgain;
    // Asks where to and saves the exposition of that picture there.
    std::function<void(const gallery::WallEntry&)> exportPicture;
    std::function<void(const gallery::WallEntry&)> about;
    // Opens a web address; false when no program could.
    std::function<bool(const QString&)> openAddress;
    // A number that moves when another program wrote to the record; while the
    // window is shown it is looked at now and then, and the rows are read again
    // when it moved. Empty: the window follows only Reload.
    std::function<qint64()> othersVersion;
};

class THistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit THistoryWindow(HistoryActions actions, QWidget* parent = nullptr);

    // Reads the record again, keeping the row shown where it is still there.
    void Reload();
    // The entry of the current row; nullopt when the list is empty.
    std::optional<gallery::WallEntry> Current() const;
    // The marks of a picture changed elsewhere (the tray, About): the rows follow.
    void MarksChanged(const gallery::PictureKey& picture, bool favourite, bool banned);
    // Reads the record again when another program wrote to it since the last look
    // (a timer calls it while the window is shown).
    void FollowRecord();

    HistoryModel& Model() { return *model_; }

    void ShowAgainCurrent();
    void ToggleFavouriteCurrent();
    void ToggleBannedCurrent();
    void OpenPageCurrent();
    void AboutCurrent();
    void ExportCurrent();

    // Components, also their objectName.
    QComboBox* MonitorFilter = nullptr;
    QListView* List = nullptr;
    QLabel* Status = nullptr;
    QPushButton* ShowAgainButton = nullptr;
    QPushButton* FavouriteButton = nullptr;
    QPushButton* BanButton = nullptr;
    QPushButton* OpenPageButton = nullptr;
    QPushButton* AboutButton = nullptr;
    QPushButton* ExportButton = nullptr;
    // The same, as actions with shortcuts (the context menu's items).
    QAction* ShowAgainAction = nullptr;
    QAction* FavouriteAction = nullptr;
    QAction* BanAction = nullptr;
    QAction* OpenPageAction = nullptr;
    QAction* AboutAction = nullptr;
    QAction* ExportAction = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CurrentChanged();
    void FilterChanged();
    void FillMonitorFilter();
    void SelectEntry(qint64 id);
    void Tell(const QString& text);
    void ShowContextMenu(const QPoint& at);

    HistoryActions actions_;
    HistoryModel* model_ = nullptr;
    bool loadSaid_ = false; // the status line says what the last load found
    QTimer* follow_ = nullptr;
    qint64 othersVersion_ = -1;
};

} // namespace ui
