// No metafile paints outside the rectangle it is placed in: every test metafile and
// every metafile of the bundled packs, at every size class and anchor the composer
// places pictures with, on a landscape and a portrait canvas. Drawings that reach
// past their own frame (the bundled "Rooftops" does) must be cut at the frame.
#include "compose/placement.h"
#include "graphics/metafile/render_support.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack.h"
#include "support/temp_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_metafile;

namespace {

struct Sample {
    std::string name;
    std::shared_ptr<const graphics::Metafile> metafile;
};

QString SourceDir()
{
    const QByteArray dir = qgetenv("AMBIENCE_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(AMBIENCE_SOURCE_DIR_FOR_TESTS) : QString::fromLocal8Bit(dir);
}

bool IsMetafileName(const QString& name)
{
    return name.endsWith(QLatin1String(".emf"), Qt::CaseInsensitive)
           || name.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive);
}

// Test metafiles that load (the damaged ones partly play), and the built-in picture.
std::vector<Sample> TestMetafiles()
{
    std::vector<Sample> samples;
    QStringList paths{SourceDir() + "/resources/builtin/builtin.emf"};
    for (QDirIterator it(TestDataDir(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (IsMetafileName(path))
            paths << path;
    }
    paths.sort();
    for (const QString& path : paths)
        if (auto m = LoadBytes(ReadFileBytes(path)))
            samples.push_back({QDir(SourceDir()).relativeFilePath(path).toStdString(), m});
    return samples;
}

// The metafiles of the packs beside the built programs (the bundled packs).
std::vector<Sample> BundledMetafiles()
{
    std::vector<Sample> samples;
    for (const QFileInfo& file : QDir(BuildBinDir()).entryInfoList({"*.zip"}, QDir::Files, QDir::Name)) {
        const TPack pack(file.absoluteFilePath().toStdString());
        for (const TPic& picture : pack.Pictures) {
            if (!IsMetafileName(QString::fromStdString(picture.EntryName)))
                continue;
            std::vector<std::uint8_t> bytes;
            if (packs::ReadPackEntry(pack.Path, picture.EntryName, "", bytes) != 0)
                continue;
            if (auto m = LoadBytes(bytes))
                samples.push_back({file.fileName().toStdString() + ": " + picture.EntryName, m});
        }
    }
    return samples;
}

// Pixels outside rect (right and bottom exclusive) that differ from ground.
int PaintedOutside(const QImage& image, const compose::TRect& rect, QColor ground)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const uchar want[3] = {static_cast<uchar>(ground.red()), static_cast<uchar>(ground.green()),
                           static_cast<uchar>(ground.blue())};
    int painted = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            if (!inside && std::memcmp(row + 3 * x, want, 3) != 0)
                ++painted;
        }
    }
    return painted;
}

void ExpectNothingOutside(const std::vector<Sample>& samples)
{
    // A colour no drawing here uses, so anything painted outside shows.
    const QColor ground(1, 254, 3);
    const QSize canvases[] = {{480, 300}, {300, 480}};
    struct Placement {
        int sizeClass;
        int anchor;
        int optimalDraw;
    };
    std::vector<Placement> placements;
    for (int anchor : {0, 1}) {
        for (int sizeClass : {compose::Smaller, compose::Larger, compose::Maximum})
            placements.push_back({sizeClass, anchor, 0});
        for (int draw = 0; draw < 3; ++draw)
            placements.push_back({compose::Optimal, anchor, draw});
    }
    for (const Sample& sample : samples) {
        const graphics::Picture picture = graphics::Picture::FromMetafile(sample.metafile);
        for (const QSize canvas : canvases) {
            for (const Placement& p : placements) {
                compose::PlacementInput in;
                in.canvasWidth = canvas.width();
                in.canvasHeight = canvas.height();
                in.workArea = {0, 0, canvas.width(), canvas.height() - 24}; // a panel at the bottom
                in.pictureWidth = sample.metafile->Width();
                in.pictureHeight = sample.metafile->Height();
                const compose::TRect rect = compose::PlacePicture(in, p.sizeClass, p.anchor, p.optimalDraw);
                QImage image(canvas, QImage::Format_RGB888);
                image.fill(ground);
                {
                    // As the composer draws a vector picture.
                    QPainter painter(&image);
                    painter.setClipRect(image.rect());
                    picture.Draw(painter, QRect(rect.left, rect.top, rect.Width(), rect.Height()));
                }
                EXPECT_EQ(PaintedOutside(image, rect, ground), 0)
                    << sample.name << " on " << canvas.width() << "x" << canvas.height() << ", size class "
                    << p.sizeClass << " draw " << p.optimalDraw << ", anchor " << p.anchor << ": placed at "
                    << rect.left << "," << rect.top << " - " << rect.right << "," << rect.bottom;
            }
        }
    }
}

} // namespace

TEST(MetafileBounds, TestMetafilesPaintOnlyInsideTheirPlace)
{
    const std::vector<Sample> samples = TestMetafiles();
    ASSERT_GE(samples.size(), 6u);
    ExpectNothingOutside(samples);
}

TEST(MetafileBounds, BundledMetafilesPaintOnlyInsideTheirPlace)
{
    const std::vector<Sample> samples = BundledMetafiles();
    // The sample drawings: three EMF and three WMF.
    ASSERT_GE(samples.size(), 6u);
    ExpectNothingOutside(samples);
}

TEST(MetafileBounds, APlayIntoPartOfTheCanvasLeavesTheRestAndThePainterAsTheyWere)
{
    // A drawing reaching far past its own frame on every side, played into the middle.
    const std::vector<Sample> samples = BundledMetafiles();
    ASSERT_FALSE(samples.empty());
    const QColor ground(1, 254, 3);
    for (const Sample& sample : samples) {
        QImage image(200, 160, QImage::Format_RGB888);
        image.fill(ground);
        QPainter painter(&image);
        painter.setClipRect(QRect(10, 10, 180, 140));
        sample.metafile->Play(painter, QRectF(40, 30, 120, 90));
        EXPECT_EQ(painter.clipBoundingRect(), QRectF(10, 10, 180, 140)) << sample.name;
        painter.end();
        EXPECT_EQ(PaintedOutside(image, {40, 30, 160, 120}, ground), 0) << sample.name;
        // the drawing itself is there
        EXPECT_NE(image.pixelColor(100, 75), ground) << sample.name;
    }
}
