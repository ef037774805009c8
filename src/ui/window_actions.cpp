// The action list AL and the menus PM and AM of the main window.
#include "ui/main_window.h"

#include "ui/app_context.h"
#include "ui/packs_page.h"

#include "core/product.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace ui {
namespace {

QAction* MakeAction(QObject* owner, const char* name, const QString& caption)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// A menu item bound to an action: Qt menus show the action itself, so an item that
// needs its own caption gets a proxy action that triggers the bound one and follows
// its enabled and visible state.
QAction* BoundItem(QMenu* menu, const char* name, QAction* bound, const QString& caption = {})
{
    auto* item = MakeAction(menu, name, caption.isEmpty() ? bound->text() : caption);
    QObject::connect(item, &QAction::triggered, bound, [bound] { bound->trigger(); });
    QObject::connect(bound, &QAction::changed, item, [item, bound] {
        item->setEnabled(bound->isEnabled());
        item->setVisible(bound->isVisible());
    });
    item->setEnabled(bound->isEnabled());
    item->setVisible(bound->isVisible());
    menu->addAction(item);
    return item;
}

QAction* Separator(QMenu* menu, const char* name)
{
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

} // namespace

void TAMMF::CreateActions()
{
    ExpoRefresh = MakeAction(this, "ExpoRefresh", QStringLiteral("Re&fresh!"));
    ExpoRandom = MakeAction(this, "ExpoRandom", QStringLiteral("&Random!"));
    ExpoNext = MakeAction(this, "ExpoNext", QStringLiteral("&Next >"));
    ExpoBack = MakeAction(this, "ExpoBack", QStringLiteral("< &Back"));
    ExpoExport = MakeAction(this, "ExpoExport", QStringLiteral("&Export..."));
    SiteMorePacks = MakeAction(this, "SiteMorePacks", QStringLiteral("&Get more packs!"));
    PackInstall = MakeAction(this, "PackInstall", QStringLiteral("&Install..."));
    PackRemove = MakeAction(this, "PackRemove", QStringLiteral("&Remove"));
    PackRemove->setVisible(false);
    PackMake = MakeAction(this, "PackMake", QStringLiteral("Make a pack..."));
    DownloadArt = MakeAction(this, "DownloadArt", QStringLiteral("Download art..."));
    PackHistory = MakeAction(this, "PackHistory", QStringLiteral("History..."));
    PictureAbout = MakeAction(this, "PictureAbout", QStringLiteral("About this picture..."));
    PictureFavourite = MakeAction(this, "PictureFavourite", QStringLiteral("Favourite"));
    PictureFavourite->setCheckable(true);
    PictureBan = MakeAction(this, "PictureBan", QStringLiteral("Never show this picture again"));

    auto bind = [this](QAction* action, void (TAMMF::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    bind(ExpoRefresh, &TAMMF::ExpoRefreshExecute);
    bind(ExpoRandom, &TAMMF::ExpoRandomExecute);
    bind(ExpoNext, &TAMMF::ExpoNextExecute);
    bind(ExpoBack, &TAMMF::ExpoBackExecute);
    bind(ExpoExport, &TAMMF::ExpoExportExecute);
    bind(SiteMorePacks, &TAMMF::SiteMorePacksExecute);
    bind(PackInstall, &TAMMF::PackInstallExecute);
    bind(PackRemove, &TAMMF::PackRemoveExecute);
    bind(PackMake, &TAMMF::PackMakeExecute);
    bind(DownloadArt, &TAMMF::DownloadArtExecute);
    bind(PackHistory, &TAMMF::HistoryExecute);
    bind(PictureAbout, &TAMMF::PictureAboutExecute);
    bind(PictureFavourite, &TAMMF::PictureFavouriteExecute);
    bind(PictureBan, &TAMMF::PictureBanExecute);
}

void TAMMF::CreateMenus()
{
    PM = new QMenu(this);
    PM->setObjectName(QStringLiteral("PM"));
    BoundItem(PM, "PopupInstall", PackInstall);
    BoundItem(PM, "PopupRemove", PackRemove);
    BoundItem(PM, "PopupExport", ExpoExport);
    Separator(PM, "PopupSeparator");
    BoundItem(PM, "PopupDonate", SiteMorePacks, QStringLiteral("&More packs!.."));
    BoundItem(PM, "PopupMake", PackMake);
    BoundItem(PM, "PopupDownloadArt", DownloadArt);
    BoundItem(PM, "PopupHistory", PackHistory);

    AM = new QMenu(this);
    AM->setObjectName(QStringLiteral("AM"));
    BoundItem(AM, "AgentRefresh", ExpoRefresh);
    BoundItem(AM, "AgentRandom", ExpoRandom);
    Separator(AM, "AgentSep1");
    BoundItem(AM, "AgentNext", ExpoNext);
    BoundItem(AM, "AgentBack", ExpoBack);
    Separator(AM, "AgentSep2");
    AgentSettings = MakeAction(AM, "AgentSettings", QStringLiteral("&Settings..."));
    AM->addAction(AgentSettings);
    AM->setDefaultAction(AgentSettings);
    connect(AgentSettings, &QAction::triggered, this, &TAMMF::ToggleMainWindow);
    BoundItem(AM, "AgentMore", SiteMorePacks, QStringLiteral("&Art..."));
    AgentExit = MakeAction(AM, "AgentExit", QStringLiteral("&Exit"));
    AM->addAction(AgentExit);
    connect(AgentExit, &QAction::triggered, this, [this] {
        // Asked by the agent's Exit: confirm, then end the program.
        if (UserDialogs().Message(this, QStringLiteral("Are you sure you want to exit the application?"),
                                  context_.Product().ProductName,
                                  MessageIcon::Information, MessageButtons::OkCancel) == MessageAnswer::Ok)
            Quit();
    });
    // The picture on the wall, after the specified items. The actions themselves
    // are the items: the check of "Favourite" shows in the menu as it is.
    Separator(AM, "AgentSep3");
    AM->addAction(PictureAbout);
    AM->addAction(PictureFavourite);
    AM->addAction(PictureBan);
    // Another process (ambience-cli, the window of another session) may have
    // changed the wall or a mark since: the menu reads the record as it opens.
    connect(AM, &QMenu::aboutToShow, this, &TAMMF::RefreshPictureItems);

    // The page's context menu, on the page and on its list.
    auto popup = [this](QWidget* source) {
        connect(source, &QWidget::customContextMenuRequested, this,
                [this, source](const QPoint& at) { PM->popup(source->mapToGlobal(at)); });
    };
    popup(PS);
    popup(PS->PV);
    connect(PS->FrontAction, &QPushButton::clicked, ExpoRefresh, &QAction::trigger);
    connect(PS->MorePacks, &QPushButton::clicked, SiteMorePacks, &QAction::trigger);
}

} // namespace ui
