// The main window's frame: set-up, layout scaled to the system font, closing,
// minimising and the hand-over from a second start.
#include "ui/main_window.h"

#include "agent/agent.h"
#include "archive/errors.h"
#include "core/product.h"
#include "gallery/wall_record.h"
#include "change/selection_model.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"
#include "ui/packs_watch.h"
#include "ui/preview.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "ui/about_page.h"
#include "ui/about_picture_window.h"
#include "ui/app_context.h"
#include "ui/fresh_pack_keeper.h"
#include "ui/options_page.h"
#include "ui/pack_passwords.h"
#include "ui/packs_page.h"
#include "ui/program_icons.h"
#include "ui/settings_watch.h"
#include "ui/window_agent.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QShowEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

TAMMF::TAMMF(AppContext& context, std::unique_ptr<Dialogs> dialogs, QStringList arguments, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      context_(context), dialogs_(std::move(dialogs)), arguments_(std::move(arguments))
{
    setObjectName(QStringLiteral("AMMF"));

    PC = new QTabWidget(this);
    PC->setObjectName(QStringLiteral("PC"));
    selection_ = std::make_unique<change::SelectionModel>(Catalogue(), LoadBuiltinPicture());
    selection_->SetRecord(context_.Record());
    passwords_ = new PackPasswords(*this, context_.Secrets());
    PS = new TPacksPage(*this, *selection_);
    auto* options = new TOptionsPage(context_.Options());
    auto* about = new TAboutPage(context_.Product());
    OS = options;
    AS = about;
    PC->addTab(PS, QStringLiteral("Packs"));
    PC->addTab(OS, QStringLiteral("Options"));
    PC->addTab(AS, QStringLiteral("About"));
    PC->setCurrentIndex(0);
    // Apply and Cancel go back to the Packs page; Apply refreshes the agent's icon
    // and shows a failed save. The About page draws a new featured link each time
    // it is opened, and F1 anywhere in the window opens the help page.
    connect(options, &TOptionsPage::SwitchToPage, PC, &QTabWidget::setCurrentIndex);
    options->SetUpdateIcon([this] {
        if (agent_)
            agent_->UpdateIcon();
    });
    options->SetReportProblem([this](const QString& text) { ReportProblem(text); });
    options->FollowNotificationArea(context_.NotificationArea());
    about->AttachTo(PC);
    about->InstallHelpKey(this);
    CreateActions();
    CreateMenus();

    // Set-up. The agent (tray icon, menu AM, scheduler) sees the window through
    // TWindowAgentHost; a second start and a close that only hides reach it
    // through the signals.
    QGuiApplication::setApplicationDisplayName(context_.Product().ProductTitle);
    setWindowTitle(context_.Product().ProductTitle);
    PIL = LoadProgramIcons();
    if (!PIL.empty())
        setWindowIcon(PIL.front());
    ComputeScaleFactor();
    LayOut();
    agentHost_ = std::make_unique<TWindowAgentHost>(*this);
    AgentSeams seams;
    seams.area = &context_.NotificationArea();
    agent_ = std::make_unique<TAgent>(*agentHost_, context_.Options(), arguments_, std::move(seams));
    connect(this, &TAMMF::ShowInstanceRequested, agent_.get(), &TAgent::ShowInstance);
    connect(this, &TAMMF::HiddenByClose, agent_.get(), &TAgent::WindowHiddenByClose);
    RefreshPictureItems();
    // The keeper does nothing unless a person turned it on; the Options page shows
    // the subscription and may stop it.
    TFreshPackKeeper* keeper = StartFreshPackKeeper(context_.Store(), this);
    options->SetFreshPackStore(&context_.Store(), ProductNames().RegistryRoot);
    connect(options, &TOptionsPage::FreshPackStopped, keeper, &TFreshPackKeeper::Check);
    options->LoadOptionsPage();
    PS->FillPackList();
    selection_->SelectPictureOnWall(); // open on the picture the desktop shows
    connect(&runner_, &change::ChangeRunner::Progress, this, &TAMMF::ShowProgress);
    // Settings changed by another process show here too, unless the user is in the
    // middle of editing them.
    new SettingsWatch(
        context_.Store().FilePath(), context_.Options(),
        [this, options] {
            if (!options->IsEdited())
                options->LoadOptionsPage();
            if (agent_)
                agent_->UpdateIcon();
        },
        this);

    // Packs installed or removed by another program show here too.
    const packs::PackFolders folders = packs::CurrentPackFolders();
    QStringList packFolders;
    for (const std::string& folder : {folders.Program, folders.User})
        if (!folder.empty())
            packFolders << QString::fromStdString(folder);
    auto* packsWatch = new PacksWatch(packFolders, [this] { return RelistPacks(); }, this);
    connect(PS, &TPacksPage::ListFilled, packsWatch, &PacksWatch::Resync);

    // Problems met while loading the settings are told once the loop runs, so the
    // message boxes have a window to stand in front of.
    const QStringList notices = context_.StartupNotices();
    settingsProblemTold_ = !context_.Options().SaveProblem().isEmpty();
    if (!notices.isEmpty())
        QTimer::singleShot(0, this, [this, notices] {
            for (const QString& notice : notices)
                ReportProblem(notice);
        });
}

bool TAMMF::RelistPacks()
{
    if (IsBusy())
        return false;
    // The selection stays where it was, unless its pack is gone.
    const TPack* selected = selection_->SelectedPack();
    const std::string path = selected ? selected->Path : std::string();
    const std::string password = selected ? selected->PackPassword : std::string();
    const bool morePacks = selection_->Selected() == change::SelectionModel::Item::MorePacks;
    PS->FillPackList();
    if (morePacks) {
        selection_->SelectMorePacks();
    } else if (!path.empty()) {
        const int row = packs::FindPackByPath(Catalogue(), path);
        if (row >= 0) {
            Catalogue().PackAt(row).PackPassword = password;
            selection_->SelectPack(row);
        }
    }
    return true;
}

TPackList& TAMMF::Catalogue()
{
    return context_.Catalogue();
}

const TProduct& TAMMF::ProductRecord() const
{
    return context_.Product();
}

TAMMF::~TAMMF()
{
    // The list's items point into the catalogue: no page updates while going down.
    PS->PV->blockSignals(true);
    agent_.reset();
}

void TAMMF::ComputeScaleFactor()
{
    // The design is for a font 13 pixels high (8 points at 96 dots per inch). Grow
    // with the system font, and further where a caption would not fit its control.
    const QFontMetrics metrics(font());
    double scale = std::max(1.0, metrics.height() / 13.0);
    auto fit = [&scale](const QFont& font, QString text, int designWidth, int padding) {
        text.remove(QLatin1Char('&'));
        const int needed = QFontMetrics(font).horizontalAdvance(text) + padding;
        scale = std::max(scale, static_cast<double>(needed) / designWidth);
    };
    const int buttonPadding = 2 * style()->pixelMetric(QStyle::PM_ButtonMargin) + 8;
    for (const QPushButton* button : {PS->PictureBack, PS->PictureNext, PS->MorePacks, PS->FrontAction})
        fit(button->font(), button->text(), button == PS->MorePacks ? 97 : button == PS->FrontAction ? 83 : 73,
            buttonPadding);
    fit(PS->PSB->font(), QStringLiteral("  Get more art packs from our web-site!"), 377, 4);
    fit(PS->PSB2->font(), QStringLiteral("888 of 888  "), 73, 4);
    // The Options page's first row is one sentence on one line.
    ScaleFactor = static_cast<const TOptionsPage*>(OS)->OneLineScale(scale);
}

void TAMMF::LayOut()
{
    const double s = ScaleFactor;
    setFixedSize(static_cast<int>(DesignClientWidth * s), static_cast<int>(DesignClientHeight * s));
    PC->setGeometry(static_cast<int>(8 * s), static_cast<int>(9 * s), static_cast<int>(585 * s),
                    static_cast<int>(340 * s));
    PS->LayOut(s);
    static_cast<TOptionsPage*>(OS)->LayOut(s);
    static_cast<TAboutPage*>(AS)->LayOut(s);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

bool TAMMF::SaveSettings()
{
    context_.Catalogue().StoreCurrents();
    try {
        context_.Options().Save();
        return true;
    } catch (const std::exception&) {
        ReportSettingsProblem();
        return false;
    }
}

void TAMMF::ReportSettingsProblem()
{
    // Once a run: a store that cannot be written will not take the next change either.
    if (settingsProblemTold_)
        return;
    settingsProblemTold_ = true;
    ReportProblem(SettingsNotSavedText(context_.Options().SaveProblem()));
}

void TAMMF::ReportProblem(const QString& text)
{
    UserDialogs().Message(this, text, QStringLiteral("Problem"), MessageIcon::Warning, MessageButtons::Ok);
}

void TAMMF::ReportPackError(int code, const QString& detail)
{
    if (code == 0)
        return;
    QString text = QString::fromStdString(archiva::ErrorText(code)) + QLatin1Char('.');
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    ReportProblem(text);
}

void TAMMF::ToggleMainWindow()
{
    if (isVisible() && !isMinimized()) {
        showMinimized();
        return;
    }
    showNormal();
    raise();
    activateWindow();
}

void TAMMF::ShowInstance()
{
    ToggleMainWindow();
    emit ShowInstanceRequested();
}

void TAMMF::Quit()
{
    quitting_ = true;
    close();
}

void TAMMF::showEvent(QShowEvent* event)
{
    // Shown with nothing selected (a pack list refilled meanwhile, an empty record
    // at login): open on the picture the desktop shows.
    if (!busy_)
        selection_->SelectPictureOnWall();
    QWidget::showEvent(event);
}

void TAMMF::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        // Never pull the window away under a running composition; finish first.
        event->ignore();
        if (quitting_ || !context_.Options().AutoChangeEnabled)
            closeWhenIdle_ = true;
        return;
    }
    if (!quitting_ && context_.Options().AutoChangeEnabled) {
        // With automatic changing on the program stays: the window only goes away.
        event->ignore();
        hide();
        emit HiddenByClose();
        return;
    }
    SaveSettings();
    event->accept();
    QCoreApplication::quit();
}

void TAMMF::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        // A minimised window leaves the taskbar: it comes back through the tray
        // icon or a second start.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
    }
}

bool TAMMF::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !installSwitchDone_ && !arguments_.isEmpty()
        && arguments_.first() == QStringLiteral("/install")) {
        // Composing once is what the switch is for; activations after the first
        // must not change the wallpaper again.
        installSwitchDone_ = true;
        QTimer::singleShot(0, this, &TAMMF::RunInstallSwitch);
    }
    return QWidget::event(event);
}

void TAMMF::RunInstallSwitch()
{
    if (IsBusy())
        return;
    PS->SelectPictureByIndex(50);
    // The first exposition in relaxing colours only, whatever the settings say.
    StartChange(change::PictureStep::Current, std::nullopt, true, {},
                {QStringLiteral("ColorInfluence=%1").arg(settings::ColorInfluence::Relaxing)});
}

} // namespace ui
