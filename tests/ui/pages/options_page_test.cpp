#include "ui/pages/pages_fixture.h"
#include "platform/autostart.h"
#include "platform/notification_area.h"
#include "settings/fresh_pack.h"
#include "ui/options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>

#include <gtest/gtest.h>

using ui::TOptionsPage;

namespace {

class OptionsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = std::make_unique<TOptionsPage>(*pages.options);
        page->SetUpdateIcon([this] { iconUpdates.push_back(pages.options->AutoChangeIcon); });
        page->SetReportProblem([this](const QString& text) { problems << text; });
        page->LoadOptionsPage();
    }
    bool Shown(QWidget* w) const { return w->isVisibleTo(page.get()); }
    bool ButtonsShown() const { return Shown(page->OAB) && Shown(page->OCB); }
    bool ButtonsHidden() const { return !Shown(page->OAB) && !Shown(page->OCB); }
    int Influence() const
    {
        return (page->CCIE->isChecked() ? 1 : 0) + (page->CCIN->isChecked() ? 2 : 0) + (page->CCIR->isChecked() ? 4 : 0);
    }

    pagestest::PagesEnv pages;
    std::unique_ptr<TOptionsPage> page;
    std::vector<int> iconUpdates;
    QStringList problems;
};

TEST_F(OptionsPageTest, LoadsEveryStoredSettingIntoItsControl)
{
    pages.Store("BackgroundType", 3);
    pages.Store("PictureOrientation", 2);
    pages.Store("PictureSize", 0);
    pages.Store("ColorLightness", 2);
    pages.Store("ColorSaturation", 0);
    pages.Store("ColorInfluence", 5);
    pages.Store("AutoChangeEnabled", 0);
    pages.Store("AutoChangeIcon", 2);
    page->LoadOptionsPage();

    EXPECT_EQ(page->PCB->currentText(), "Smoothed");
    EXPECT_EQ(page->PCO->currentText(), "Collage");
    EXPECT_EQ(page->PCS->currentText(), "Smaller");
    EXPECT_EQ(page->CCLC->currentText(), "Brighter");
    EXPECT_EQ(page->CCSC->currentText(), "Softer");
    EXPECT_EQ(Influence(), 5);
    EXPECT_FALSE(page->ACC->isChecked());
    EXPECT_EQ(page->ACI->currentText(), "a small clock");
    // A smoothed background is drawn from the colours: their group shows. Without
    // automatic changing the interval and icon controls do not.
    EXPECT_TRUE(Shown(page->CCL));
    EXPECT_FALSE(Shown(page->ACH));
    EXPECT_FALSE(Shown(page->ACIL3));
    EXPECT_TRUE(ButtonsHidden());
    EXPECT_FALSE(page->IsEdited());

    // A value a list does not offer (a hand edit, or the composer's "random"
    // lightness) shows as no item and survives an Apply of other edits, until
    // the user picks an item of that list.
    pages.Store("ColorLightness", 3);
    pages.Store("BackgroundType", 9);
    page->LoadOptionsPage();
    EXPECT_EQ(page->CCLC->currentIndex(), -1);
    page->PCO->setCurrentIndex(0);
    page->OABClick();
    EXPECT_EQ(pages.Stored("ColorLightness"), 3);
    EXPECT_EQ(pages.Stored("PictureOrientation"), 0);
    page->PCB->setCurrentIndex(4);
    page->OABClick();
    EXPECT_EQ(pages.Stored("BackgroundType"), 4);
    EXPECT_EQ(pages.Stored("ColorLightness"), 3);
}

TEST_F(OptionsPageTest, IntervalsOffTheListSnapToAnItemAndApplyStoresItsHours)
{
    struct Case {
        int stored;
        const char* shown;
    };
    for (const Case c : {Case{7, "9"}, Case{100, "96"}, Case{0, "1"}, Case{-3, "1"}, Case{48, "48"}}) {
        SCOPED_TRACE(c.stored);
        pages.Store("AutoChangeInterval", c.stored);
        page->LoadOptionsPage();
        EXPECT_EQ(page->ACH->currentText(), c.shown);
        EXPECT_TRUE(ButtonsHidden());
        page->OABClick();
        EXPECT_EQ(pages.options->AutoChangeInterval, QString::fromLatin1(c.shown).toInt());
        EXPECT_EQ(pages.Stored("AutoChangeInterval"), QString::fromLatin1(c.shown).toInt());
    }
}

TEST_F(OptionsPageTest, NoInfluenceLoadsAsNeutralAndTheLastOneCannotBeUnchecked)
{
    pages.Store("ColorInfluence", 0);
    page->LoadOptionsPage();
    EXPECT_EQ(Influence(), 2);
    EXPECT_TRUE(ButtonsHidden()); // loading is no edit
    page->OABClick();
    EXPECT_EQ(pages.Stored("ColorInfluence"), 2);

    pages.Store("ColorInfluence", 7);
    page->LoadOptionsPage();
    page->CCIE->click();
    page->CCIR->click();
    EXPECT_EQ(Influence(), 2);
    EXPECT_TRUE(ButtonsShown());
    page->CCIN->click(); // the user tries to take the last one away
    EXPECT_EQ(Influence(), 2);
    page->CCIR->click();
    page->CCIN->click(); // with another one left, Neutral may go
    EXPECT_EQ(Influence(), 4);

    // Reloading unchecks the boxes one by one and may pass through "none checked"
    // on the way to the stored set: that moment must not bring Neutral back.
    pages.options->ColorInfluence = 4;
    page->CCIN->click();
    page->CCIR->click(); // the page shows Neutral alone
    page->LoadOptionsPage();
    EXPECT_EQ(Influence(), 4);
    EXPECT_TRUE(ButtonsHidden());
}

TEST_F(OptionsPageTest, HiddenColourGroupIsStillApplied)
{
    pages.Store("BackgroundType", 3);
    pages.Store("ColorInfluence", 1);
    page->LoadOptionsPage();
    page->CCIR->click();
    page->CCLC->setCurrentIndex(0);
    page->CCSC->setCurrentIndex(2);
    page->PCB->setCurrentIndex(1); // "Shaded" does not use the colours
    for (QWidget* w : std::initializer_list<QWidget*>{page->CCL, page->CCLL, page->CCSL, page->CCIE, page->CCIN,
                                                      page->CCIR, page->CCLC, page->CCSC})
        EXPECT_FALSE(Shown(w)) << w->objectName().toStdString();
    page->OABClick();
    EXPECT_EQ(pages.Stored("BackgroundType"), 1);
    EXPECT_EQ(pages.Stored("ColorInfluence"), 5);
    EXPECT_EQ(pages.Stored("ColorLightness"), 0);
    EXPECT_EQ(pages.Stored("ColorSaturation"), 2);
    page->PCB->setCurrentIndex(4);
    EXPECT_TRUE(Shown(page->CCIR));
}

TEST_F(OptionsPageTest, AutomaticChangingOffHidesItsControlsAndApplyRemovesTheAutostartEntry)
{
    ASSERT_TRUE(pages.options->AutoChangeEnabled);
    ASSERT_TRUE(QFile::exists(platform::AutostartFilePath()));
    page->ACI->setCurrentIndex(2);
    page->ACC->click();
    for (QWidget* w : std::initializer_list<QWidget*>{page->ACH, page->ACI, page->ACIL, page->ACIL2, page->ACIL3})
        EXPECT_FALSE(Shown(w)) << w->objectName().toStdString();
    EXPECT_TRUE(Shown(page->ACC));
    EXPECT_TRUE(ButtonsShown());

    QSignalSpy switches(page.get(), &TOptionsPage::SwitchToPage);
    page->OAB->click();
    EXPECT_FALSE(pages.options->AutoChangeEnabled);
    EXPECT_EQ(pages.Stored("AutoChangeEnabled"), 0);
    EXPECT_FALSE(QFile::exists(platform::AutostartFilePath()));
    // The icon takes its new kind at once; the hidden icon list still counts.
    EXPECT_EQ(iconUpdates, std::vector<int>{2});
    EXPECT_EQ(pages.Stored("AutoChangeIcon"), 2);
    EXPECT_TRUE(ButtonsHidden());
    ASSERT_EQ(switches.count(), 1);
    EXPECT_EQ(switches.at(0).at(0).toInt(), 0);
}

TEST_F(OptionsPageTest, OpeningShowsNoButtonsAndCancelRestoresTheStoredSettings)
{
    pages.Store("PictureSize", 3);
    pages.Store("ColorInfluence", 4);
    page->LoadOptionsPage();
    page->resize(577, 313);
    page->show();
    EXPECT_FALSE(page->OAB->isVisible());
    EXPECT_FALSE(page->OCB->isVisible());
    page->PCS->setCurrentIndex(0);
    page->CCIN->click();
    page->CCIR->click();
    EXPECT_TRUE(ButtonsShown());
    EXPECT_TRUE(page->IsEdited());

    QSignalSpy switches(page.get(), &TOptionsPage::SwitchToPage);
    page->OCB->click();
    EXPECT_EQ(page->PCS->currentText(), "Maximum");
    EXPECT_EQ(Influence(), 4);
    EXPECT_TRUE(ButtonsHidden());
    EXPECT_FALSE(page->IsEdited());
    ASSERT_EQ(switches.count(), 1);
    EXPECT_EQ(switches.at(0).at(0).toInt(), 0);
    EXPECT_EQ(pages.options->PictureSize, 3);
    EXPECT_TRUE(iconUpdates.empty());
}

TEST_F(OptionsPageTest, FailedSaveKeepsTheEditsAndTheStoredSettings)
{
    pages.Store("PictureOrientation", 0);
    page->LoadOptionsPage();
    page->PCO->setCurrentIndex(2);
    page->ACI->setCurrentIndex(0);
    // The store's folder becomes a file: nothing can be written any more.
    ASSERT_TRUE(QDir(pages.StoreFolder()).removeRecursively());
    QFile blocker(pages.StoreFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QSignalSpy switches(page.get(), &TOptionsPage::SwitchToPage);
    page->OABClick();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("could not be saved")) << problems[0].toStdString();
    EXPECT_EQ(switches.count(), 0);
    EXPECT_TRUE(ButtonsShown());
    EXPECT_EQ(page->PCO->currentText(), "Collage");
    EXPECT_EQ(pages.options->PictureOrientation, 0);
    // The icon went to the new kind and back.
    EXPECT_EQ(iconUpdates, (std::vector<int>{0, 1}));
}

TEST_F(OptionsPageTest, LayoutCutsNoTextAndKeepsTheSentenceInOrder)
{
    // Every row shown: the colours, the monitors and a pack kept fresh too.
    page->SetMonitorCount([] { return 2; });
    page->SetFreshPackStore(pages.store.get(), pages.product->RegistryRoot);
    ASSERT_TRUE(settings::SaveFreshPack(*pages.store, pages.product->RegistryRoot,
                                        settings::FreshPack{"aic", "landscape", 40, 7,
                                                            "Art Institute of Chicago_ Dutch landscapes and seascapes of the "
                                                            "seventeenth century, with their skies and their rivers.zip"}));
    page->LoadOptionsPage();
    ASSERT_TRUE(Shown(page->FPC));
    page->PCB->setCurrentIndex(2);
    for (const int pointSize : {8, 11, 16}) {
        SCOPED_TRACE(pointSize);
        QFont font = page->font();
        font.setPointSize(pointSize);
        page->setFont(font);
        // As the window scales: the first row's sentence on one line.
        const double scale = page->OneLineScale(std::max(1.0, QFontMetrics(font).height() / 13.0));
        page->resize(int(577 * scale), int(313 * scale)); // the window's page at that scale
        page->LayOut(scale);
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)) {
                EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
            }
        }
        // The first row reads in order: each piece right of the one before on the
        // same line, or on a line below; none runs out of the box.
        const QWidget* row[] = {page->ACC, page->ACIL, page->ACH, page->ACIL2, page->ACI, page->ACIL3};
        for (std::size_t i = 1; i < std::size(row); ++i) {
            const QRect before = row[i - 1]->geometry(), here = row[i]->geometry();
            EXPECT_TRUE(here.top() < before.bottom() && here.bottom() > before.top()) << row[i]->objectName().toStdString();
            EXPECT_GT(here.left(), before.right()) << row[i]->objectName().toStdString();
        }
        for (const QWidget* w : row)
            EXPECT_LT(w->geometry().right(), static_cast<int>(561 * scale)) << w->objectName().toStdString();
        // Rows below do not run into each other.
        EXPECT_GT(page->PCL->y(), page->ACH->geometry().bottom());
        EXPECT_GT(page->PCB->y(), page->PCBL->geometry().bottom());
        EXPECT_GT(page->CCL->y(), page->PCB->geometry().bottom());
        EXPECT_GT(page->CCIN->y(), page->CCIE->geometry().bottom());
        EXPECT_GT(page->PCO->x(), page->PCB->geometry().right());
        EXPECT_GT(page->OAB->y(), page->OSB->geometry().bottom());
        // Nothing scrolls: the box holds every row.
        EXPECT_GT(page->GCF->y(), page->ACC->geometry().bottom());
        EXPECT_GT(page->GCN->x(), page->GCF->geometry().right());
        EXPECT_GT(page->PCL->y(), page->GCN->geometry().bottom());
        EXPECT_LE(page->GCF->parentWidget()->height(), page->OSB->height());
        EXPECT_LE(page->GCF->parentWidget()->width(), page->OSB->width());
        EXPECT_GT(page->OCB->x(), page->OAB->geometry().right());
        EXPECT_GT(page->FPC->y(), std::max(page->CCIR->geometry().bottom(), page->CCLC->geometry().bottom()));
    }
}

// A notification area that comes or goes while the page is shown changes the
// first row at once: the icon is offered, or said not to show here, and the
// row is laid out again for the words.
class FakeArea final : public platform::NotificationAreaWatch {
public:
    bool IsPresent() const override { return present; }
    void Set(bool on)
    {
        present = on;
        emit PresenceChanged(on);
    }
    bool present = false;
};

TEST_F(OptionsPageTest, TheIconRowFollowsTheNotificationArea)
{
    FakeArea area;
    area.present = true;
    pages.Store("AutoChangeEnabled", 1);
    page->LoadOptionsPage();
    page->FollowNotificationArea(area);
    page->resize(577, 313);
    page->LayOut(1.0);
    for (const bool present : {true, false, true}) {
        SCOPED_TRACE(present);
        if (present != area.present)
            area.Set(present);
        EXPECT_EQ(page->ACI->isEnabled(), present);
        EXPECT_EQ(page->ACIL3->text().contains("notification area"), present);
        EXPECT_EQ(page->ACIL3->text().contains("cannot show the icon"), !present);
        EXPECT_GE(page->ACIL3->width(), page->ACIL3->sizeHint().width());
        // Laid out again for its new words: after the list on its line, or on a line below.
        const QRect list = page->ACI->geometry(), words = page->ACIL3->geometry();
        EXPECT_TRUE(words.left() > list.right() || words.top() > list.bottom()) << words.x() << "," << words.y();
    }
    EXPECT_FALSE(page->IsEdited());
}

// A museum pack kept fresh shows on a line after every other item; unchecked and
// applied, it is kept fresh no more. Cancel keeps it.
TEST_F(OptionsPageTest, TheFreshPackLineNamesThePackAndStopsIt)
{
    const QString key = pages.product->RegistryRoot;
    auto subscribed = [&] { return settings::LoadFreshPack(*pages.store, key)->has_value(); };
    page->SetFreshPackStore(pages.store.get(), key);
    page->LoadOptionsPage();
    EXPECT_FALSE(Shown(page->FPC)); // none
    ASSERT_TRUE(settings::SaveFreshPack(*pages.store, key, settings::FreshPack{"met", "landscape", 40, 7, "Met_ landscape.zip"}));
    page->LoadOptionsPage();
    ASSERT_TRUE(Shown(page->FPC));
    EXPECT_TRUE(page->FPC->isChecked());
    EXPECT_EQ(page->FPC->text(), "Keep \u201cMet_ landscape\u201d fresh from the Metropolitan Museum of Art");
    EXPECT_GT(page->FPC->y(), page->PCB->geometry().bottom()); // under the lists
    EXPECT_TRUE(ButtonsHidden());

    QSignalSpy stopped(page.get(), &TOptionsPage::FreshPackStopped);
    page->FPC->click();
    EXPECT_TRUE(ButtonsShown());
    page->OCBClick();
    EXPECT_TRUE(page->FPC->isChecked());
    EXPECT_TRUE(subscribed());
    page->FPC->click();
    page->OABClick();
    EXPECT_FALSE(subscribed());
    EXPECT_FALSE(Shown(page->FPC));
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_TRUE(ButtonsHidden());
}

// The monitors' row: only with several monitors, showing the mode in force; the
// mode is stored beside the options only once the user picks one.
TEST_F(OptionsPageTest, MonitorsRowShowsWithSeveralMonitorsAndStoresAChosenMode)
{
    int monitors = 1;
    page->SetMonitorCount([&] { return monitors; });
    page->LoadOptionsPage();
    EXPECT_FALSE(Shown(page->MML));
    EXPECT_FALSE(Shown(page->MMC));

    // Plugged in while the page is open: the list appears at once, nothing edited.
    monitors = 2;
    page->MonitorsChanged();
    ASSERT_TRUE(Shown(page->MMC));
    EXPECT_FALSE(ButtonsShown());
    EXPECT_EQ(page->MML->text().trimmed(), "Monitors");
    EXPECT_EQ(page->MMC->currentText(), "each monitor its own picture");
    // A column of the composition beside the others; every row fits the box, with
    // the colours shown too, so nothing scrolls.
    page->PCB->setCurrentIndex(2);
    EXPECT_GT(page->MMC->x(), page->PCS->geometry().right());
    EXPECT_EQ(page->MMC->y(), page->PCS->y());
    EXPECT_LE(page->MMC->parentWidget()->height(), page->OSB->height());
    EXPECT_LE(page->MMC->parentWidget()->width(), page->OSB->width());
    page->OCBClick();
    // Unplugged and plugged again: gone, then back showing the mode in force.
    monitors = 1;
    page->MonitorsChanged();
    EXPECT_FALSE(Shown(page->MMC));
    monitors = 3;
    page->MonitorsChanged();
    EXPECT_EQ(page->MMC->currentText(), "each monitor its own picture");

    // Another edit applied leaves the mode unchosen.
    page->PCS->setCurrentIndex(2);
    page->OABClick();
    auto stored = [&] { return pages.store->ReadInteger(pages.product->RegistryRoot, QStringLiteral("MonitorMode")); };
    EXPECT_FALSE(stored().has_value());
    EXPECT_EQ(pages.options->MonitorMode, settings::MonitorMode::ByMonitorCount);

    page->MMC->setCurrentIndex(settings::MonitorMode::Same);
    EXPECT_TRUE(ButtonsShown());
    page->OABClick();
    EXPECT_EQ(stored(), settings::MonitorMode::Same);
    EXPECT_FALSE(pages.store->ReadInteger(pages.product->OptionsKey, QStringLiteral("MonitorMode")).has_value());
}

} // namespace

// The gallery's switches load from and apply to the settings beside the eleven.
TEST_F(OptionsPageTest, GallerySwitchesLoadAndApply)
{
    struct Case {
        QCheckBox* TOptionsPage::*box;
        bool TSettings::*setting;
        const char* name;
    };
    for (const Case c : {Case{&TOptionsPage::GCF, &TSettings::FavouritesOnly, "FavouritesOnly"},
                         Case{&TOptionsPage::GCN, &TSettings::NotifyAutomaticChange, "NotifyAutomaticChange"}}) {
        SCOPED_TRACE(c.name);
        QCheckBox* box = page.get()->*c.box;
        EXPECT_FALSE(box->isChecked()); // off unless chosen
        box->setChecked(true);
        EXPECT_TRUE(ButtonsShown());
        page->OABClick();
        EXPECT_TRUE(static_cast<TSettings&>(*pages.options).*c.setting);
        EXPECT_EQ(pages.store->ReadInteger(pages.product->RegistryRoot, QString::fromLatin1(c.name)), 1);
        box->setChecked(false);
        page->OCBClick(); // cancel: the stored choice comes back
        EXPECT_TRUE(box->isChecked());
    }
}
