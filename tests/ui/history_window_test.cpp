// The History and About windows on their own, with the record and the desktop
// replaced by plain rows and recording actions.
#include "ui/about_picture_window.h"
#include "ui/history_model.h"
#include "ui/history_window.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

gallery::WallEntry Row(qint64 id, const QString& monitor, const QString& title, const QString& page = {})
{
    gallery::WallEntry e;
    e.id = id;
    e.change = id;
    e.time = QDateTime(QDate(2026, 12, 1), QTime(8, 0)).addSecs(id * 3600);
    e.monitor = monitor;
    e.packFile = QStringLiteral("masters.zip");
    e.packName = QStringLiteral("Old Masters");
    e.entry = title + QStringLiteral(".jpg");
    e.title = title;
    e.year = QStringLiteral("1889");
    e.author = QStringLiteral("Painter");
    e.source.page = page;
    return e;
}

// What the window asked of its actions.
struct Calls {
    std::vector<QString> shown, exported, about, opened;
    std::vector<std::pair<QString, bool>> favourite, banned;
    bool busy = false;
};

struct HistoryFixture {
    explicit HistoryFixture(std::vector<gallery::WallEntry> rows) : rows(std::move(rows))
    {
        ui::HistoryActions a;
        a.load = [this]() -> core::Result<std::vector<gallery::WallEntry>> { return this->rows; };
        a.setFavourite = [this](const gallery::PictureKey& k, bool on) -> core::Result<void> {
            calls.favourite.push_back({k.entry, on});
            return core::Ok();
        };
        a.setBanned = [this](const gallery::PictureKey& k, bool on) -> core::Result<void> {
            calls.banned.push_back({k.entry, on});
            return core::Ok();
        };
        a.showAgain = [this](const gallery::WallEntry& e) {
            calls.shown.push_back(e.title);
            return !calls.busy;
        };
        a.exportPicture = [this](const gallery::WallEntry& e) { calls.exported.push_back(e.title); };
        a.about = [this](const gallery::WallEntry& e) { calls.about.push_back(e.title); };
        a.openAddress = [this](const QString& address) {
            calls.opened.push_back(address);
            return true;
        };
        a.othersVersion = [this] { return othersVersion; };
        window = std::make_unique<ui::THistoryWindow>(std::move(a));
        window->Reload();
    }
    QStringList Titles() const
    {
        QStringList titles;
        for (int r = 0; r < window->Model().rowCount(); ++r)
            titles << window->Model().EntryAt(r).title;
        return titles;
    }

    std::vector<gallery::WallEntry> rows;
    qint64 othersVersion = 1;
    Calls calls;
    std::unique_ptr<ui::THistoryWindow> window;
};

// The record gives rows newest first; two monitors per change.
std::vector<gallery::WallEntry> TwoMonitors()
{
    return {Row(6, "DP-1", "Stars", "https://museum.example/works/6"), Row(5, "DP-2", "Sea"),
            Row(4, "DP-1", "Fields"), Row(3, "DP-2", "Harbour"), Row(2, "DP-1", "Mills"), Row(1, "DP-2", "Bridge")};
}

TEST(HistoryWindow, ShowsNewestFirstAndFiltersByMonitor)
{
    HistoryFixture f(TwoMonitors());
    EXPECT_EQ(f.Titles(), QStringList({"Stars", "Sea", "Fields", "Harbour", "Mills", "Bridge"}));
    ASSERT_EQ(f.window->MonitorFilter->count(), 3); // all, DP-1, DP-2
    EXPECT_TRUE(f.window->MonitorFilter->isEnabled());

    const struct {
        int filter;
        QStringList titles;
    } cases[] = {{1, {"Stars", "Fields", "Mills"}}, {2, {"Sea", "Harbour", "Bridge"}},
                 {0, {"Stars", "Sea", "Fields", "Harbour", "Mills", "Bridge"}}};
    for (const auto& c : cases) {
        f.window->MonitorFilter->setCurrentIndex(c.filter);
        EXPECT_EQ(f.Titles(), c.titles) << "filter " << c.filter;
    }
    // The row names the monitor only while rows of several are mixed.
    EXPECT_TRUE(f.window->Model().data(f.window->Model().index(0), Qt::DisplayRole).toString().contains("DP-1"));
    f.window->MonitorFilter->setCurrentIndex(1);
    EXPECT_FALSE(f.window->Model().data(f.window->Model().index(0), Qt::DisplayRole).toString().contains("DP-1"));

    // A reload (after a change) keeps the filter and the row shown.
    f.window->List->setCurrentIndex(f.window->Model().index(1));
    f.rows.insert(f.rows.begin(), Row(7, "DP-1", "Moon"));
    f.window->Reload();
    EXPECT_EQ(f.window->MonitorFilter->currentText(), "DP-1");
    EXPECT_EQ(f.Titles(), QStringList({"Moon", "Stars", "Fields", "Mills"}));
    EXPECT_EQ(f.window->Current()->title, "Fields");
}

TEST(HistoryWindow, AnOpenWindowFollowsChangesMadeByOtherPrograms)
{
    HistoryFixture f(TwoMonitors());
    f.window->show();
    f.rows.insert(f.rows.begin(), Row(7, "DP-1", "Moon"));
    f.window->FollowRecord(); // nobody else wrote: the rows stay
    EXPECT_EQ(f.Titles().front(), "Stars");
    ++f.othersVersion;        // ambience-cli changed the wall
    f.window->FollowRecord();
    EXPECT_EQ(f.Titles().front(), "Moon");
}

TEST(HistoryWindow, EachActionReachesItsSeamWithTheCurrentRow)
{
    HistoryFixture f(TwoMonitors());
    f.window->List->setCurrentIndex(f.window->Model().index(0)); // "Stars", with a museum page
    const struct {
        QAction* ui::THistoryWindow::*action;
        std::vector<QString> Calls::*log;
        QString expected;
    } cases[] = {
        {&ui::THistoryWindow::ShowAgainAction, &Calls::shown, "Stars"},
        {&ui::THistoryWindow::ExportAction, &Calls::exported, "Stars"},
        {&ui::THistoryWindow::AboutAction, &Calls::about, "Stars"},
        {&ui::THistoryWindow::OpenPageAction, &Calls::opened, "https://museum.example/works/6"},
    };
    for (const auto& c : cases) {
        QAction* action = f.window.get()->*c.action;
        ASSERT_TRUE(action->isEnabled()) << action->objectName().toStdString();
        action->trigger();
        EXPECT_EQ(f.calls.*c.log, std::vector<QString>{c.expected}) << action->objectName().toStdString();
    }

    // Marks toggle, and the row says so.
    f.window->FavouriteAction->trigger();
    f.window->FavouriteAction->trigger();
    f.window->BanAction->trigger();
    using Mark = std::pair<QString, bool>;
    EXPECT_EQ(f.calls.favourite, (std::vector<Mark>{{"Stars.jpg", true}, {"Stars.jpg", false}}));
    EXPECT_EQ(f.calls.banned, (std::vector<Mark>{{"Stars.jpg", true}}));
    EXPECT_TRUE(f.window->Current()->banned);
    EXPECT_EQ(f.window->BanAction->text(), "Allow &again");
    EXPECT_TRUE(f.window->Model().data(f.window->Model().index(0), Qt::DisplayRole).toString().contains("never shown again"));

    // No page: nothing to open. A change already running is said, not queued.
    f.window->List->setCurrentIndex(f.window->Model().index(1));
    EXPECT_FALSE(f.window->OpenPageAction->isEnabled());
    f.calls.busy = true;
    f.window->ShowAgainAction->trigger();
    EXPECT_TRUE(f.window->Status->text().contains("running"));
}

TEST(HistoryWindow, KeyboardMovesAndActs)
{
    HistoryFixture f(TwoMonitors());
    f.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    f.window->List->setFocus();
    f.window->List->setCurrentIndex(f.window->Model().index(0));

    QTest::keyClick(f.window->List, Qt::Key_Down);
    QTest::keyClick(f.window->List, Qt::Key_Return);
    QTest::keyClick(f.window->List, Qt::Key_Down);
    QTest::keyClick(f.window->List, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(f.window->List, Qt::Key_Delete);
    // Enter shows exactly once: the list's own handling and the shortcut must not both run.
    EXPECT_EQ(f.calls.shown, std::vector<QString>{"Sea"});
    EXPECT_EQ(f.calls.favourite, (std::vector<std::pair<QString, bool>>{{"Fields.jpg", true}}));
    EXPECT_EQ(f.calls.banned, (std::vector<std::pair<QString, bool>>{{"Fields.jpg", true}}));
    QTest::keyClick(f.window->List, Qt::Key_Escape);
    EXPECT_FALSE(f.window->isVisible());
}

TEST(HistoryWindow, AThousandRowsAreValuesNotWidgets)
{
    std::vector<gallery::WallEntry> rows;
    for (int i = 1000; i >= 1; --i) {
        gallery::WallEntry e = Row(i, "", QStringLiteral("Work %1").arg(i));
        e.thumbnail = QStringLiteral("/nowhere/%1.jpg").arg(i);
        rows.push_back(e);
    }
    HistoryFixture f({});
    int loads = 0;
    f.window->Model().SetThumbnailLoader([&loads](const QString&, const QSize& size) {
        ++loads;
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        return image;
    });
    const int widgetsBefore = static_cast<int>(f.window->findChildren<QWidget*>().size());
    f.rows = rows;
    f.window->Reload();
    f.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window.get()));
    // The batched layout and the first paint run in the window's loop.
    ASSERT_TRUE(QTest::qWaitFor([&loads] { return loads > 0; }));

    EXPECT_EQ(f.window->Model().rowCount(), 1000);
    EXPECT_EQ(f.window->findChildren<QWidget*>().size(), widgetsBefore);
    // Only rows on the screen read their thumbnail.
    EXPECT_LT(loads, 100);
    EXPECT_FALSE(f.window->MonitorFilter->isEnabled()); // one screen: nothing to choose
}

TEST(AboutPictureWindow, WithoutAPageThereIsNoButtonAndAFailedOpenIsSaid)
{
    bool opens = true;
    ui::TAboutPictureWindow about([&](const QString&) { return opens; });
    about.show();
    about.SetEntry(Row(2, "", "Own photo"));
    EXPECT_FALSE(about.OpenPage->isVisible());
    EXPECT_FALSE(about.Source->isVisible());
    EXPECT_TRUE(about.Details->text().contains("Old Masters"));
    about.SetEntry(Row(1, "", "The Bedroom", "https://museum.example/artworks/28560"));
    ASSERT_TRUE(about.OpenPage->isVisible());
    opens = false;
    about.OpenPage->click();
    EXPECT_TRUE(about.Problem->isVisible());
    EXPECT_TRUE(about.Problem->text().contains("https://museum.example/artworks/28560"));
}

} // namespace
