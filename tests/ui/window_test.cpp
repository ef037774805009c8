// The window frame: components by name, menus with their captions, the fixed size,
// closing and minimising rules, and the start-up notices.
#include "ui/window_fixture.h"

#include "core/product.h"
#include "settings/options.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>

namespace uitest {
namespace {

QStringList ItemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* item : menu->actions())
        names << item->objectName() + (item->isSeparator() ? QString() : QLatin1Char('=') + item->text());
    return names;
}

TEST_F(WindowTest, ComponentsMenusAndFrame)
{
    Open();
    for (const char* name : {"PC", "PS", "OS", "AS", "PV", "Preview", "PSB", "PSB2", "PB", "PictureBack",
                             "PictureNext", "MorePacks", "FrontAction", "PM", "AM"})
        EXPECT_NE(window->findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(window->PC->count(), 3);
    EXPECT_EQ(window->PC->tabText(0), "Packs");
    EXPECT_EQ(window->PC->tabText(1), "Options");
    EXPECT_EQ(window->PC->tabText(2), "About");
    EXPECT_EQ(window->PC->currentIndex(), 0);
    EXPECT_EQ(window->windowTitle(), QString("Ambience") + QChar(0x2122));

    EXPECT_EQ(ItemNames(window->PM),
              QStringList({"PopupInstall=&Install...", "PopupRemove=&Remove", "PopupExport=&Export...",
                           "PopupSeparator", "PopupDonate=&More packs!..", "PopupMake=Make a pack...",
                           "PopupDownloadArt=Download art...", "PopupHistory=History..."}));
    EXPECT_EQ(ItemNames(window->AM),
              QStringList({"AgentRefresh=Re&fresh!", "AgentRandom=&Random!", "AgentSep1", "AgentNext=&Next >",
                           "AgentBack=< &Back", "AgentSep2", "AgentSettings=&Settings...", "AgentMore=&Art...",
                           "AgentExit=&Exit", "AgentSep3", "PictureAbout=About this picture...",
                           "PictureFavourite=Favourite", "PictureBan=Never show this picture again"}));
    EXPECT_EQ(window->AM->defaultAction(), window->AgentSettings);
    EXPECT_EQ(window->PS->FrontAction->text(), "&Refresh!");
    EXPECT_TRUE(window->PS->FrontAction->font().bold());

    // Not resizable; proportions of the design, never smaller than it.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_GE(window->ScaleFactor, 1.0);
    EXPECT_EQ(window->width(), static_cast<int>(601 * window->ScaleFactor));
    EXPECT_EQ(window->height(), static_cast<int>(357 * window->ScaleFactor));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    // Every caption fits its button.
    for (QPushButton* button : {Page().PictureBack, Page().PictureNext, Page().MorePacks, Page().FrontAction}) {
        QString text = button->text();
        text.remove('&');
        EXPECT_LE(button->fontMetrics().horizontalAdvance(text), button->width()) << text.toStdString();
    }
}

TEST_F(WindowTest, ClosingHidesWhileAutomaticChangingIsOn)
{
    Open();
    window->show();
    Settings().AutoChangeEnabled = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isHidden());

    // The toggle brings it back, and minimises (hides) it again.
    window->ToggleMainWindow();
    EXPECT_TRUE(window->isVisible());
    window->ToggleMainWindow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isHidden());
    window->ShowInstance();
    EXPECT_TRUE(window->isVisible());

    // Without automatic changing, closing ends the window (and saves the settings).
    Settings().AutoChangeEnabled = false;
    Settings().DesktopsChanged = 4242;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(platform::Registry::CurrentUser().ReadInteger(ProductNames().OptionsKey, "DesktopsChanged").value_or(-1), 4242);
}

TEST_F(WindowTest, ExitAsksAndQuitIgnoresTheCloseRule)
{
    Open();
    window->show();
    Settings().AutoChangeEnabled = true;
    dialogs->answers.push_back(ui::MessageAnswer::Cancel);
    window->AgentExit->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Are you sure you want to exit the application?");
    EXPECT_EQ(dialogs->messages[0].caption, "Ambience");
    EXPECT_TRUE(window->isVisible());
    window->AgentExit->trigger(); // answered OK
    EXPECT_TRUE(window->isHidden());
}

TEST_F(WindowTest, DamagedSettingsFileIsToldOnce)
{
    QDir().mkpath(QFileInfo(platform::Registry::CurrentUser().FilePath()).path());
    QFile store(platform::Registry::CurrentUser().FilePath());
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write("this is no registry file\n[[[\n\"x\"=dword:zz\n");
    store.close();
    Open();
    QCoreApplication::processEvents();
    const auto problems = dialogs->WithCaption("Problem");
    ASSERT_GE(problems.size(), 1u);
    EXPECT_TRUE(problems.back().text.contains("damaged")) << problems.back().text.toStdString();
}

} // namespace
} // namespace uitest
