#pragma once
// The Packs page PS: the list PV of installed packs (and the "more packs" item
// last), the preview of the current picture with its labels PSB and PSB2, the
// browsing buttons, and the progress bar PB that covers the labels while busy.
// It shows the window's selection model (change::SelectionModel) and follows its
// signals: the picture an exposition is composed from is exactly the one it shows.
#include <QWidget>

#include <vector>

class QAction;
class QIcon;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
struct TPack;
struct TPic;

namespace graphics { class Picture; }
namespace change { class SelectionModel; }

namespace ui {

class TAMMF;
class TPreview;

class TPacksPage : public QWidget {
    Q_OBJECT
public:
    TPacksPage(TAMMF& window, change::SelectionModel& selection);

    QListWidget* PV = nullptr;
    TPreview* Preview = nullptr;
    QLabel* PSB = nullptr;
    QLabel* PSB2 = nullptr;
    QProgressBar* PB = nullptr;
    QPushButton* PictureBack = nullptr;
    QPushButton* PictureNext = nullptr;
    QPushButton* MorePacks = nullptr;
    QPushButton* FrontAction = nullptr;

    // Places the components at their design positions times scale.
    void LayOut(double scale);

    // Rescans the packs folder and refills PV; nothing is selected afterwards.
    // Emits ListFilled with the folders as they were scanned.
    void FillPackList();
    // Hands PV's selection to the model.
    void PVChange();
    // Brings PV, the labels, buttons and preview in line with the model.
    void ShowSelection();
    void PictureNextClick();
    void PictureBackClick();

    // The pack of the selected item; null for nothing or the "more packs" item.
    TPack* SelectedPack() const;
    bool MorePacksSelected() const;
    // Items of PV minus the "more packs" item.
    int InstalledPackCount() const;
    TPack* PackOfItem(int row) const;

    // The global picture index over the listed packs.
    int TotalPictureCount() const;
    int CurrentPictureIndex() const;
    // Selects the pack and picture of global index k, or nothing when k is out of
    // range, then shows it.
    void SelectPictureByIndex(int k);

    // The picture record whose title PSB shows, or null.
    const TPic* CurrentRecord() const;
    // The graphic now in the preview (possibly empty).
    const graphics::Picture& PreviewPicture() const;

signals:
    void ListFilled();

private:
    void AddMorePacksItem();
    void SizePreview();
    void SetChangeHandlerAttached(bool attached);
    void ClearPage();
    void ShowPicture();

    TAMMF& window_;
    change::SelectionModel& selection_;
    bool handlerAttached_ = false;
    bool unreadableTold_ = false;
    double scale_ = 1.0;
};

} // namespace ui
