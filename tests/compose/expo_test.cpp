// Whole compositions: the fast passes give the reference's bytes, progress keeps
// its protocol, and the wallpaper and export files are written or fail clearly.
#include "core/product.h"
#include "core/random.h"
#include "compose/expo.h"
#include "compose/reference_kernels.h"
#include "compose/test_pictures.h"
#include "graphics/metafile/metafile.h"
#include "graphics/picture.h"
#include "compose/captions.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace compose;

namespace {

struct ExpoTest : ::testing::Test {
    TProduct product{QStringLiteral("/tmp/")};
};

ExpoSettings Settings(int background, int orientation, int size)
{
    ExpoSettings s;
    s.BackgroundType = background;
    s.PictureOrientation = orientation;
    s.PictureSize = size;
    s.ColorLightness = 3;
    s.ColorSaturation = 3;
    return s;
}

// Composes with a fixed seed, with the fast or the reference passes.
QImage Composed(const graphics::Picture* picture, const ExpoSettings& settings, bool reference, QSize size,
                std::vector<int>* progress = nullptr)
{
    SeedRandom(1234);
    const compose::PictureCaption record{"Harbour at Dawn", "A. Painter", 1901};
    TExpo expo(picture, &record, [progress](int v) { if (progress) progress->push_back(v); }, size,
               QRect(0, 0, size.width(), size.height() - 24), settings);
    if (reference)
        expo.UseKernels(reference::Kernels());
    EXPECT_TRUE(expo.Compose().ok());
    return expo.Exposition();
}

graphics::Picture LoadMetafile()
{
    std::ifstream in((TestDataDir() + "/metafile/real/inkscape.emf").toStdString(), std::ios::binary);
    std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    std::string error;
    auto metafile = graphics::Metafile::Load(std::move(data), error);
    return metafile ? graphics::Picture::FromMetafile(metafile) : graphics::Picture();
}

} // namespace

TEST_F(ExpoTest, FastCompositionEqualsReferenceForEveryBackgroundAndOrientation)
{
    const graphics::Picture raster = graphics::Picture::FromImage(MakePainting(160, 120));
    for (int background : {0, 1, 2, 3, 4})
        for (int orientation : {0, 1, 2}) {
            const int size = (background + orientation) % 4;
            std::vector<int> fastProgress, slowProgress;
            const QImage fast = Composed(&raster, Settings(background, orientation, size), false, QSize(320, 200), &fastProgress);
            const QImage slow = Composed(&raster, Settings(background, orientation, size), true, QSize(320, 200), &slowProgress);
            ASSERT_FALSE(fast.isNull());
            EXPECT_TRUE(fast == slow) << "background " << background << ", orientation " << orientation;
            EXPECT_EQ(fastProgress, slowProgress);
        }
}

// Over a cover nothing filters, the part under the picture is left undrawn: the
// exposition is the one the steps give with the whole cover drawn first.
TEST_F(ExpoTest, TheCoverLeftUndrawnUnderThePictureChangesNoPixel)
{
    const graphics::Picture raster = graphics::Picture::FromImage(MakePainting(160, 120));
    const compose::PictureCaption record{"Harbour at Dawn", "A. Painter", 1901};
    for (int orientation : {0, 1})
        for (int size : {Smaller, Optimal, Larger, Maximum}) {
            const QImage composed = Composed(&raster, Settings(0, orientation, size), false, QSize(320, 200));
            SeedRandom(1234);
            TExpo expo(&raster, &record, {}, QSize(320, 200), QRect(0, 0, 320, 176), Settings(0, orientation, size));
            expo.PlacePicture(CoverSize, 0);
            expo.DrawPicture();
            expo.PlacePicture(size, orientation);
            expo.DrawPicture();
            expo.DarkenFrame(size != Maximum);
            expo.DrawCaptions(TitleLine(record), CreditLine(record));
            expo.PlaceWordMark();
            EXPECT_TRUE(expo.Exposition() == composed) << "orientation " << orientation << ", size " << size;
        }
}

TEST_F(ExpoTest, FastCompositionEqualsReferenceWithAMetafile)
{
    const graphics::Picture vector = LoadMetafile();
    if (vector.IsEmpty())
        GTEST_SKIP() << "the metafile player cannot load the sample yet";
    for (int background : {0, 3}) {
        const QImage fast = Composed(&vector, Settings(background, 2, 1), false, QSize(320, 200));
        const QImage slow = Composed(&vector, Settings(background, 2, 1), true, QSize(320, 200));
        EXPECT_TRUE(fast == slow) << background;
    }
}

TEST_F(ExpoTest, RasterDrawingMatchesThePicturesOwnDraw)
{
    const graphics::Picture raster = graphics::Picture::FromImage(MakePainting(150, 110));
    for (const TRect& rect : {CoverRect(300, 200), TRect{40, 30, 251, 170}, TRect{-40, -70, 290, 190}}) {
        TExpo expo(&raster, nullptr, {}, QSize(300, 200), QRect(), Settings(0, 0, 1));
        expo.PaintBackground();
        QImage expected = expo.Exposition();
        expected.detach();
        expo.PictureRect = rect;
        expo.DrawPicture();
        {
            QPainter painter(&expected);
            raster.Draw(painter, QRect(rect.left, rect.top, rect.Width(), rect.Height()));
        }
        EXPECT_TRUE(expo.Exposition() == expected) << rect.left << "," << rect.top;
    }
}

TEST_F(ExpoTest, ProgressNeverMovesABarBackwards)
{
    const graphics::Picture raster = graphics::Picture::FromImage(MakePainting(160, 120));
    std::vector<int> values;
    Composed(&raster, Settings(3, 2, 2), false, QSize(400, 300), &values);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), -100);
    EXPECT_EQ(std::count(values.begin(), values.end(), -100), 1);
    // Gradient: 0 every 50 rows; then filter, collage frame and main frame passes,
    // each restarting near 0.
    EXPECT_EQ(std::count(values.begin() + 1, values.begin() + 7, 0), 6);
    int restarts = 0;
    for (size_t i = 2; i < values.size(); ++i)
        if (values[i] < values[i - 1])
            ++restarts;
    EXPECT_EQ(restarts, 2);
    // The receiver of the protocol: reset on -100, otherwise only forward.
    int bar = 0, highest = 0;
    for (int v : values) {
        if (v == -100)
            bar = 0;
        else if (v > bar)
            bar = std::min(v, 100);
        EXPECT_GE(bar, highest);
        highest = bar;
    }
    EXPECT_GT(bar, 90);
}

TEST_F(ExpoTest, WithoutAUsablePictureOnlyGradientAndWordMark)
{
    const graphics::Picture empty;
    for (const graphics::Picture* picture : {static_cast<const graphics::Picture*>(nullptr), &empty}) {
        for (int background : {0, 3}) {
            SeedRandom(8);
            TExpo expo(picture, nullptr, {}, QSize(300, 200), QRect(), Settings(background, 0, 1));
            ASSERT_TRUE(expo.Compose().ok());
            // Rows above the word mark are the plain gradient.
            for (int y = 0; y < 120; y += 7) {
                const std::uint8_t* p = expo.Exposition().constScanLine(y) + 3 * 150;
                EXPECT_EQ(Rgb(p[0], p[1], p[2]), expo.GradientColor(y)) << y;
            }
        }
    }
    // Solid keeps the gradient around a picture.
    const graphics::Picture raster = graphics::Picture::FromImage(MakePainting(160, 120));
    SeedRandom(8);
    TExpo solid(&raster, nullptr, {}, QSize(300, 200), QRect(), Settings(4, 0, 0));
    ASSERT_TRUE(solid.Compose().ok());
    const std::uint8_t* p = solid.Exposition().constScanLine(3) + 3 * 3;
    EXPECT_EQ(Rgb(p[0], p[1], p[2]), solid.GradientColor(3));
}

TEST_F(ExpoTest, AnUnusableCanvasSizeIsAnErrorNotACrash)
{
    TExpo expo(nullptr, nullptr, {}, QSize(0, 100), QRect(), Settings(0, 0, 1));
    const core::Result<void> result = expo.Compose();
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error().text.find("0 x 100"), std::string::npos);
    EXPECT_FALSE(expo.SaveAs("/tmp/never-written.jpg").ok());
}

TEST_F(ExpoTest, TheWallpaperFileIsWrittenInTheDataFolder)
{
    TempEnv env;
    SeedRandom(2);
    TExpo expo(nullptr, nullptr, {}, QSize(120, 90), QRect(), Settings(0, 0, 1));
    ASSERT_TRUE(expo.Compose().ok());
    const core::Result<QString> outcome = compose::WriteWallpaperFile(expo.Exposition(), "ambience.bmp");
    ASSERT_TRUE(outcome.ok()) << outcome.error().text;
    EXPECT_EQ(*outcome, env.DataHome() + "/Ambience/Ambience/ambience.bmp");
    QImage saved(*outcome);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(120, 90));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB888), expo.Exposition());
}

TEST_F(ExpoTest, WriteFailuresNameTheFileAndLeaveTheWallpaperAlone)
{
    TempEnv env;
    // The wallpaper file's place is taken by a folder: it cannot be replaced.
    QDir().mkpath(env.DataHome() + "/Ambience/Ambience/ambience.bmp");
    TExpo expo(nullptr, nullptr, {}, QSize(60, 40), QRect(), Settings(0, 0, 1));
    ASSERT_TRUE(expo.Compose().ok());
    const core::Result<QString> outcome = compose::WriteWallpaperFile(expo.Exposition(), "ambience.bmp");
    ASSERT_FALSE(outcome.ok());
    EXPECT_NE(outcome.error().text.find("ambience.bmp"), std::string::npos) << outcome.error().text;

    const QString missing = env.Root() + "/no/such/folder/expo.jpg";
    const core::Result<void> exported = expo.SaveAs(missing);
    ASSERT_FALSE(exported.ok());
    EXPECT_NE(exported.error().text.find(missing.toStdString()), std::string::npos) << exported.error().text;
}

TEST_F(ExpoTest, ExportWritesJpegOrBmpByExtension)
{
    TempEnv env;
    TExpo expo(nullptr, nullptr, {}, QSize(64, 48), QRect(), Settings(0, 0, 1));
    ASSERT_TRUE(expo.Compose().ok());
    ASSERT_TRUE(expo.SaveAs(env.Root() + "/a.jpg").ok());
    ASSERT_TRUE(expo.SaveAs(env.Root() + "/b.BMP").ok());
    QFile jpeg(env.Root() + "/a.jpg"), bmp(env.Root() + "/b.BMP");
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpeg.read(2) == QByteArray("\xFF\xD8"));
    EXPECT_TRUE(bmp.read(2) == QByteArray("BM"));
    EXPECT_FALSE(QFile::exists(env.DataHome() + "/Ambience/Ambience/ambience.bmp"));
}

