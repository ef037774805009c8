// A wallpaper change with several monitors: each gets an exposition of its own
// size, put together at the monitors' places for desktops that span one picture,
// a darker twin where the desktop keeps one for its dark style, and the same
// seed gives the same pictures although they are composed at the same time.
#include "change/desktop_change.h"
#include "change/picture_selection.h"
#include "change/size_limits.h"
#include "core/random.h"
#include "packs/pack_list.h"
#include "platform/monitors.h"
#include "platform/wallpaper.h"
#include "settings/options.h"
#include "support/change_kind.h"
#include "window_fixture.h"

#include <QFile>
#include <QImage>

namespace {

using change::ChangeDone;
using testsupport::KindOf;
using testsupport::WhyNot;

double MeanGray(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            sum += qGray(image.pixel(x, y));
    return sum / ((image.height() + 2) / 3 * ((image.width() + 2) / 3));
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MonitorsChangeTest : public uitest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(uitest::WriteSimplePack(PackPath("first.zip"), "First", 1, 4));
        Open();
        recorder.accept = true;
        catalogue.Rescan(env.ProgramDir().toStdString() + "/");
        selection = std::make_unique<change::CatalogueSelection>(catalogue, context->Record());
        QString error;
        // A landscape monitor and an upright one beside it, lower edges not aligned.
        ASSERT_TRUE(platform::ParseMonitorList(QStringLiteral("WIDE=160x90+0+0,TALL=90x160+160+0"), monitors, error))
            << error.toStdString();
    }

    core::Result<ChangeDone> ChangeMonitors(change::PictureStep step = change::PictureStep::Next)
    {
        change::ChangeRequest request;
        request.step = step;
        request.size = monitors.front().geometry.size();
        request.monitors = monitors;
        return change::ChangeDesktop(request, *selection, Settings(), recorder);
    }

    TPackList catalogue;
    std::unique_ptr<change::CatalogueSelection> selection;
    std::vector<platform::Monitor> monitors;
};

TEST_F(MonitorsChangeTest, EachModeHandsTheDesktopWhatItAsksFor)
{
    namespace Mode = settings::MonitorMode;
    struct Row {
        std::int32_t mode;
        bool perMonitor;
        bool samePicture;
    };
    const Row rows[] = {
        {Mode::ByMonitorCount, true, false}, // never chosen: with two monitors, each its own
        {Mode::EachOwn, true, false},
        {Mode::Same, true, true},
        {Mode::Primary, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        Settings().MonitorMode = row.mode;
        const core::Result<ChangeDone> changed = ChangeMonitors();
        ASSERT_EQ(KindOf(changed), "done") << WhyNot(changed);
        const ChangeDone& result = *changed;
        const platform::WallpaperRequest& handed = recorder.requests.back();
        EXPECT_EQ(handed.file, result.file);
        EXPECT_EQ(QImage(handed.file).size(), QSize(160, 90));
        if (!row.perMonitor) {
            EXPECT_TRUE(handed.monitors.empty());
            EXPECT_TRUE(handed.spanned.isEmpty());
            EXPECT_TRUE(result.otherMonitors.empty());
            continue;
        }
        ASSERT_EQ(handed.monitors.size(), 2u);
        EXPECT_EQ(handed.monitors[0].name, "WIDE");
        EXPECT_EQ(handed.monitors[0].file, handed.file);
        EXPECT_EQ(handed.monitors[1].name, "TALL");
        EXPECT_EQ(handed.monitors[1].geometry, QRect(160, 0, 90, 160));
        const QImage wide(handed.monitors[0].file), tall(handed.monitors[1].file);
        EXPECT_EQ(tall.size(), QSize(90, 160)); // composed for its own shape, not scaled

        // The spanning picture holds both at their places, black below the wide one.
        const QImage spanned = QImage(handed.spanned).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(spanned.size(), QSize(250, 160));
        EXPECT_EQ(spanned.copy(0, 0, 160, 90), wide.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(spanned.copy(160, 0, 90, 160), tall.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(spanned.pixel(10, 150), qRgb(0, 0, 0));

        ASSERT_EQ(result.otherMonitors.size(), 1u);
        const ChangeDone::OtherMonitor& other = result.otherMonitors[0];
        EXPECT_EQ(other.file, handed.monitors[1].file);
        if (row.samePicture) {
            EXPECT_EQ(other.index, result.index);
            EXPECT_EQ(other.description, result.description);
        } else {
            // The next picture of the global sequence, over the end back to the first.
            EXPECT_EQ(other.index, (result.index + 1) % result.total);
            EXPECT_NE(other.description, result.description);
        }
    }
}

TEST_F(MonitorsChangeTest, TheLastPictureIsFollowedByTheFirstOnTheOtherMonitor)
{
    Settings().MonitorMode = settings::MonitorMode::EachOwn;
    selection->SelectPictureByIndex(selection->TotalPictureCount() - 1);
    const core::Result<ChangeDone> changed = ChangeMonitors(change::PictureStep::Current);
    ASSERT_EQ(KindOf(changed), "done") << WhyNot(changed);
    const ChangeDone& result = *changed;
    ASSERT_EQ(result.otherMonitors.size(), 1u);
    EXPECT_EQ(result.index, result.total - 1);
    EXPECT_EQ(result.otherMonitors[0].index, 0);
}

TEST_F(MonitorsChangeTest, ASeedGivesTheSamePicturesAndTheDarkTwinIsDarker)
{
    recorder.darkStyle = true;
    Settings().MonitorMode = settings::MonitorMode::EachOwn;
    Settings().LockScreenToo = true;
    std::vector<QByteArray> runs[2];
    for (auto& run : runs) {
        selection->SelectPictureByIndex(1);
        SeedRandom(11);
        const core::Result<ChangeDone> changed = ChangeMonitors(change::PictureStep::Current);
        ASSERT_EQ(KindOf(changed), "done") << WhyNot(changed);
        const platform::WallpaperRequest& handed = recorder.requests.back();
        EXPECT_TRUE(handed.lockScreen);
        ASSERT_FALSE(handed.dark.isEmpty());
        ASSERT_FALSE(handed.darkSpanned.isEmpty());
        const QImage light(handed.file), dark(handed.dark);
        EXPECT_EQ(dark.size(), light.size());
        EXPECT_LT(MeanGray(dark), MeanGray(light) - 5);
        EXPECT_EQ(QImage(handed.darkSpanned).size(), QImage(handed.spanned).size());
        for (const QString& file : {handed.file, handed.monitors[1].file, handed.dark, handed.darkSpanned})
            run.push_back(Bytes(file));
    }
    ASSERT_EQ(runs[0].size(), runs[1].size());
    for (size_t i = 0; i < runs[0].size(); ++i)
        EXPECT_TRUE(runs[0][i] == runs[1][i]) << "file " << i << " differs between two runs of one seed";
}

} // namespace

namespace {

// Layouts that would need gigabytes are refused before anything is composed,
// written or handed to the desktop.
TEST(SizeLimits, LayoutsPastTheBoundAreRefusedBeforeAnythingIsMade)
{
    const struct {
        const char* layout;
        bool wallpaper;
        const char* says; // empty: allowed
    } cases[] = {
        {"A=3840x2160+0+0,B=3840x2160+3840+0", true, ""},
        {"A=100x100+0+0,B=100x100+32000+0", true, "spanning the monitors would be 32100 x 100"},
        {"A=32767x32767+0+0", true, "would be 32767 x 32767"},
        {"A=16385x9000+0+0", true, "more than the 16384 pixels on a side or 150 megapixels"},
        {"A=16385x9000+0+0", false, "The exposition would be"},
        {"A=12500x12500+0+0", false, "150 megapixels"},
        {"A=12000x12000+0+0", false, ""},
        {"A=16384x9155+0+0", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        std::vector<platform::Monitor> monitors;
        QString error;
        ASSERT_TRUE(platform::ParseMonitorList(QString::fromLatin1(c.layout), monitors, error)) << error.toStdString();
        const auto problem = change::SizeProblem(monitors.front().geometry.size(), monitors, c.wallpaper);
        if (*c.says == '\0') {
            EXPECT_FALSE(problem.has_value()) << problem->toStdString();
        } else {
            ASSERT_TRUE(problem.has_value());
            EXPECT_TRUE(problem->contains(QString::fromLatin1(c.says))) << problem->toStdString();
        }
    }
}

} // namespace
