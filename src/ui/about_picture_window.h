#pragma once
// "About this picture": a small window with a recorded picture's thumbnail,
// title, year, author and pack; for a museum's work its credit line, licence and
// a button to the museum's page. Opened from the tray menu and the History window.
#include "gallery/wall_entry.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace ui {

class TAboutPictureWindow : public QDialog {
    Q_OBJECT
public:
    // openAddress opens a web address with the person's browser (a seam for tests);
    // false when nothing could open it.
    TAboutPictureWindow(std::function<bool(const QString&)> openAddress, QWidget* parent = nullptr);

    // Fills the window with entry (it is not shown by this).
    void SetEntry(const gallery::WallEntry& entry);
    const gallery::WallEntry& Entry() const { return entry_; }

    // Components, also their objectName.
    QLabel* Thumbnail = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* Details = nullptr;   // year, author, pack
    QLabel* Source = nullptr;    // credit line and licence; hidden without
    QPushButton* OpenPage = nullptr; // "Open the museum's page"; hidden without a page
    QLabel* Problem = nullptr;   // why the page did not open

private:
    void OpenMuseumPage();

    std::function<bool(const QString&)> openAddress_;
    gallery::WallEntry entry_;
};

} // namespace ui
