#pragma once
// The program's only window, form class TAMMF: the page control PC with the pages
// PS (Packs), OS (Options) and AS (About), the action list AL, the Packs page menu
// PM and the agent menu AM. It works with the program's context (AppContext), made
// before it by the process entry; the settings are saved when the program ends.
#include "change/change_runner.h"
#include "change/desktop_change.h"
#include "core/result.h"
#include "gallery/wall_entry.h"
#include "ui/dialogs.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class TAgent;
struct TProduct;
class TPackList;
class QProgressBar;
namespace change { class SelectionModel; }
namespace gallery { class WallRecord; }
class QTabWidget;

namespace ui {

class AppContext;
class TAboutPictureWindow;
class THistoryWindow;
class PackPasswords;
class TPacksPage;
class TWindowAgentHost;

class TAMMF : public QWidget {
    Q_OBJECT
public:
    // arguments: the program's arguments without the program name; only the first
    // one is examined ("/install" here, "/startup" by the agent).
    // context must outlive the window.
    TAMMF(AppContext& context, std::unique_ptr<Dialogs> dialogs, QStringList arguments, QWidget* parent = nullptr);
    ~TAMMF() override;

    // Design size of the client area at 96 dots per inch.
    static constexpr int DesignClientWidth = 601;
    static constexpr int DesignClientHeight = 357;

    // Components, named as the form names them (also their objectName).
    QTabWidget* PC = nullptr;
    TPacksPage* PS = nullptr;
    QWidget* OS = nullptr;
    QWidget* AS = nullptr;
    QMenu* PM = nullptr;
    QMenu* AM = nullptr;
    std::vector<QIcon> PIL;

    // The action list AL.
    QAction* ExpoRefresh = nullptr;
    QAction* ExpoRandom = nullptr;
    QAction* ExpoNext = nullptr;
    QAction* ExpoBack = nullptr;
    QAction* ExpoExport = nullptr;
    QAction* SiteMorePacks = nullptr;
    QAction* PackInstall = nullptr;
    QAction* PackRemove = nullptr;
    QAction* PackMake = nullptr; // "Make a pack...", after the specified items of PM
    QAction* DownloadArt = nullptr; // "Download art...", after "Make a pack..."
    QAction* PackHistory = nullptr; // "History...", after "Download art..."
    // The picture on the wall, in AM after the specified items.
    QAction* PictureAbout = nullptr;     // "About this picture..."
    QAction* PictureFavourite = nullptr; // "Favourite", checked while it is one
    QAction* PictureBan = nullptr;       // "Never show this picture again"
    // Items of AM that are not bound to an action of AL.
    QAction* AgentSettings = nullptr;
    QAction* AgentExit = nullptr;

    double ScaleFactor = 1.0;

    Dialogs& UserDialogs() { return *dialogs_; }

    // Exposition actions. Each does nothing while a change runs, so nothing can
    // start a second one.
    void ExpoRefreshExecute();
    void ExpoRandomExecute();
    void ExpoNextExecute();
    void ExpoBackExecute();
    void ExpoExportExecute();
    void SiteMorePacksExecute();
    void PackInstallExecute();
    void PackRemoveExecute();
    // Asks for pictures and the pack's description, makes the pack on a worker
    // thread with a progress dialog, installs it and selects it.
    void PackMakeExecute();
    // Asks for a museum, a theme or query and a number of works, fetches them on a
    // worker thread with a progress dialog, installs the pack and selects it.
    void DownloadArtExecute();
    // The History window, made on first use, in front.
    void HistoryExecute();
    // About this picture for the picture on the (primary) monitor.
    void PictureAboutExecute();
    // Marks the picture on the wall as a favourite, or not, as the item's check says.
    void PictureFavouriteExecute();
    // Marks the picture on the wall never to be shown again and moves on to the
    // picture after it, as Next would from there.
    void PictureBanExecute();

    // What the record of the wall says is on the primary monitor; nullopt when
    // nothing is recorded yet or there is no record.
    std::optional<gallery::WallEntry> PictureOnWall();
    std::optional<gallery::WallEntry> PictureOfChange(qint64 change);
    // The About window for entry, in front.
    void ShowAboutPicture(const gallery::WallEntry& entry);
    // A desktop change with that recorded picture; false, with nothing started,
    // while the window is busy. A picture whose pack is gone fails the change (told).
    bool ShowAgain(const gallery::WallEntry& entry);
    // Asks where to and exports an exposition of that recorded picture.
    void ExportRecordedPicture(const gallery::WallEntry& entry);
    // Keeps a mark of a picture and shows it everywhere (tray item, History).
    core::Result<void> SetFavourite(const gallery::PictureKey& picture, bool on);
    core::Result<void> SetBanned(const gallery::PictureKey& picture, bool on);
    // The tray items and tip after a change or a mark (here or in another process).
    void RefreshPictureItems();
    // How web addresses are opened (default platform::OpenWithShell); for tests.
    void SetAddressOpener(std::function<bool(const QString&)> open) { openAddress_ = std::move(open); }
    THistoryWindow* HistoryWindow() const { return history_; }
    TAboutPictureWindow* AboutPictureWindow() const { return aboutPicture_.get(); }

    // The user's packs folder, made where missing; nullopt (the user told why) when there is none.
    std::optional<std::string> UserPacksFolder();
    // Refills the pack list after packs came or went, keeping the selection where
    // its pack is still there. False, doing nothing, while the window is busy.
    bool RelistPacks();
    // Refills the pack list and selects the pack of that archive, opened with
    // password when one is given.
    void ListAndSelectPack(const std::string& archive, const std::string& password = {});

    // Busy state: PC and the items of AM disabled, wait cursor, progress bar shown.
    void BeginBusy();
    void EndBusy();
    bool IsBusy() const { return busy_; }
    // The composer's progress callback: -100 resets, other values only move forward.
    void ShowProgress(int value);

    // Shows the window in front when it is hidden or minimised, minimises it
    // (which hides it) when it is visible: a left click on the tray icon.
    void ToggleMainWindow();
    // What a second start asks of the running instance.
    void ShowInstance();
    // Ends the program: closes the window without the close-query rule.
    void Quit();

    // Saves the settings and each pack's current picture; a failure is shown to
    // the user. Returns success.
    bool SaveSettings();
    // Shows an archive error code in a "Problem" box, with a sentence naming the
    // file when one is given; nothing for 0.
    void ReportPackError(int code, const QString& detail = {});
    // Shows a failure in a "Problem" box.
    void ReportProblem(const QString& text);
    // Tells, once a run, that the settings cannot be saved and why.
    void ReportSettingsProblem();

    // The "/install" handling, run on the first activation of the window.
    void RunInstallSwitch();

    // Starts one desktop change as the exposition actions make it, from what the
    // Packs page shows after the step: set as wallpaper and counted, or with
    // exportPath saved there. The window is busy from before the step until the
    // change has ended; composing, writing and the desktop's tools run on a worker
    // thread meanwhile. done receives the outcome on this thread. With tellUser
    // false a failure, or a wallpaper no desktop took, is left to the caller (the
    // agent, ambience-cli's hand-over). False, with nothing started, while the
    // window is busy. overrides apply to this change only ("ColorInfluence=...").
    bool StartChange(change::PictureStep step, std::optional<QString> exportPath, bool tellUser,
                     std::function<void(const core::Result<change::ChangeDone>&)> done = {}, QStringList overrides = {});

    // The program's context, catalogue, selection and product record.
    AppContext& Context() { return context_; }
    TPackList& Catalogue();
    change::SelectionModel& Selection() { return *selection_; }
    // The passwords of encrypted packs: known, looked up, asked for.
    PackPasswords& Passwords() { return *passwords_; }
    const TProduct& ProductRecord() const;
    // The notification-area agent (null only while the window is being made).
    TAgent* TrayAgent() const { return agent_.get(); }

signals:
    // Emitted by ShowInstance after the toggle, for the agent (it adds its icon).
    void ShowInstanceRequested();
    // Emitted when closing only hid the window (automatic changing is on); the
    // agent then removes its icon when the icon setting is "no icon".
    void HiddenByClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void LayOut();
    void ComputeScaleFactor();
    void TellChangeOutcome(const core::Result<change::ChangeDone>& result, bool exporting);
    // Fills in the screen and monitors and starts request as StartChange does.
    bool StartRequest(change::ChangeRequest request, bool tellUser, std::function<void(const core::Result<change::ChangeDone>&)> done);
    gallery::WallRecord* Record();
    bool OpenAddress(const QString& address);

    AppContext& context_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<change::SelectionModel> selection_;
    PackPasswords* passwords_ = nullptr;
    change::ChangeRunner runner_;
    QStringList arguments_;
    bool busy_ = false;
    bool quitting_ = false;
    bool closeWhenIdle_ = false;
    bool installSwitchDone_ = false;
    bool wallpaperFailureTold_ = false;
    bool settingsProblemTold_ = false;
    // The notification-area agent and the window's side of it; the agent goes
    // before the settings and the application record it reads.
    std::unique_ptr<TWindowAgentHost> agentHost_;
    std::unique_ptr<TAgent> agent_;
    THistoryWindow* history_ = nullptr;
    std::unique_ptr<TAboutPictureWindow> aboutPicture_;
    std::function<bool(const QString&)> openAddress_;
};

} // namespace ui
