#pragma once
// The Options page (OS): a sentence about automatic changing and two groups of
// drop-down lists and check boxes for the composition and its colours. The
// gallery's two switches stand under the sentence; while a museum pack is kept
// fresh, a line after everything else says which, and stops it. Edits stay in
// the controls until Apply stores them in Options and saves them; Cancel reloads the
// stored settings. The two buttons show only while there are pending edits.
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

class TOptions;

namespace platform {
class NotificationAreaWatch;
class Registry;
} // namespace platform

namespace ui {

// The hours the interval list offers, as its item texts.
QStringList IntervalItems();
// An interval item's number: its text read as an integer, 12 when it is none.
int IntervalItemHours(const QString& text);
// The item to select for a stored interval: the first whose number is at least
// hours, else the last item.
int IntervalItemIndex(const QStringList& items, int hours);

class TOptionsPage : public QWidget {
    Q_OBJECT
public:
    // options must outlive the page.
    explicit TOptionsPage(TOptions& options, QWidget* parent = nullptr);

    // What the page needs from outside. UpdateIcon refreshes the notification-area
    // icon after Apply (the agent's UpdateIcon); ReportProblem shows a failure to the
    // user in a message box. Either may be left empty.
    void SetUpdateIcon(std::function<void()> updateIcon) { updateIcon_ = std::move(updateIcon); }
    void SetReportProblem(std::function<void(const QString&)> report) { reportProblem_ = std::move(report); }
    // How many monitors the desktop has; the "Monitors" list shows only with
    // several. By default asked of the screens when the page is loaded and when a
    // monitor is plugged in or out.
    void SetMonitorCount(std::function<int()> count) { monitorCount_ = std::move(count); }
    // Whether the icon can show: the first row ends "in the notification area"
    // while area says one is there, else says this desktop cannot show the icon,
    // and follows area's changes. area must outlive the page. Until it is given
    // the page takes the desktop for one without a notification area.
    void FollowNotificationArea(const platform::NotificationAreaWatch& area);
    // The store that holds the fresh-pack subscription (settings/fresh_pack.h) under
    // `key`, read at each load. While one exists, the check box FPC names the pack
    // and the museum; unchecked and applied, it removes the subscription. Without a
    // store the line never shows.
    void SetFreshPackStore(platform::Registry* store, QString key);
    // Counts the monitors again and shows or hides the "Monitors" list, keeping
    // the page's edits.
    void MonitorsChanged();

    // The smallest scale from scale up at which the first row's sentence stands on
    // one line of the page's design width with this font.
    double OneLineScale(double scale) const;

    // Places the controls at their design positions times scale (1.0 at 96 dots per
    // inch with the 8-point design font); a control whose text needs more room
    // grows, and the ones to its right move along, so no text is cut.
    void LayOut(double scale);

    // Copies Options into the controls and hides the buttons.
    void LoadOptionsPage();
    // Copies the controls into Options and refreshes the notification-area icon.
    void ApplyOptionsPage();
    // The change handler of every control; sender is the control that changed, or
    // null when called while loading.
    void OptionsChange(QObject* sender);
    void ShowApplyButtons(bool show);
    void OABClick();
    void OCBClick();

    // True while the page holds edits that are neither applied nor cancelled.
    bool IsEdited() const { return edited_; }

    // Controls, named as the form names them (also their objectName).
    QScrollArea* OSB = nullptr;
    QLabel* ACL = nullptr;
    QCheckBox* ACC = nullptr;
    QLabel* ACIL = nullptr;
    QComboBox* ACH = nullptr;
    QLabel* ACIL2 = nullptr;
    QComboBox* ACI = nullptr;
    QLabel* ACIL3 = nullptr;
    QLabel* PCL = nullptr;
    QLabel* PCBL = nullptr;
    QLabel* PCOL = nullptr;
    QLabel* PCSL = nullptr;
    QComboBox* PCB = nullptr;
    QComboBox* PCO = nullptr;
    QComboBox* PCS = nullptr;
    QLabel* CCL = nullptr;
    QLabel* CCLL = nullptr;
    QLabel* CCSL = nullptr;
    QCheckBox* CCIE = nullptr;
    QCheckBox* CCIN = nullptr;
    QCheckBox* CCIR = nullptr;
    QComboBox* CCLC = nullptr;
    QComboBox* CCSC = nullptr;
    QLabel* MML = nullptr;    // "Monitors"
    QComboBox* MMC = nullptr; // MonitorMode
    QCheckBox* GCF = nullptr; // FavouritesOnly
    QCheckBox* GCN = nullptr; // NotifyAutomaticChange
    QCheckBox* FPC = nullptr; // the fresh-pack subscription, shown only while there is one
    QPushButton* OAB = nullptr;
    QPushButton* OCB = nullptr;

signals:
    // Apply or Cancel asks the window to make this page the active one.
    void SwitchToPage(int index);
    // Apply stopped keeping a pack fresh (the keeper looks again).
    void FreshPackStopped();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TOptions& options_;
    void CreateControls(QWidget* box);
    void ConnectChanges();
    void LayOutBox(double scale);
    // The right edge of the first row laid out on one line at scale s.
    int SentenceRight(double s) const;
    int CountMonitors() const;
    std::vector<QWidget*> ColourGroup() const;
    void LoadFreshPack();
    void ShowNotificationArea(bool present);
    // Removes the subscription when its box was unchecked; false (and the problem
    // told) when the store cannot be written.
    bool ApplyFreshPack();
    // FPC's caption with the pack's name shortened to fit `width`.
    void FitFreshPackCaption(int width);
    void Select(QComboBox* list, int index);
    // The list's item index, or the unoffered stored value it stands for.
    int ItemIndex(const QComboBox* list) const;

    std::function<void()> updateIcon_;
    std::function<void(const QString&)> reportProblem_;
    std::function<int()> monitorCount_;
    int monitors_ = 1; // as counted at the last load
    platform::Registry* freshStore_ = nullptr;
    QString freshKey_;
    QString freshPackName_, freshMuseum_; // of the subscription shown
    QWidget* box_ = nullptr; // the scroll box's content
    double scale_ = 1.0;
    std::map<const QComboBox*, int> unoffered_;
    bool loading_ = false;
    bool edited_ = false;
};

} // namespace ui
