// Loading: recognising the formats, natural sizes, refusing what cannot be played, the
// corrupted set (see tests/data/metafile/corrupt/README.md) and every truncation of
// real files.
#include "graphics/metafile/record_writer.h"
#include "graphics/metafile/render_support.h"
#include "support/temp_env.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>

using namespace testing_metafile;

namespace {

std::shared_ptr<const graphics::Metafile> Load(const std::vector<std::uint8_t>& data, std::string& error)
{
    return LoadBytes(data, &error);
}

TEST(MetafileLoad, RefusesWhatIsNoMetafile)
{
    std::string error;
    EXPECT_FALSE(Load({}, error));
    EXPECT_FALSE(error.empty());
    std::vector<std::uint8_t> text(200, 'x');
    EXPECT_FALSE(Load(text, error));
    EXPECT_FALSE(error.empty());
    // An EMR_HEADER type without the " EMF" signature is no EMF.
    auto emf = EmfWriter(99, 99, 2540, 2540).Finish();
    emf[40] = 'X';
    EXPECT_FALSE(Load(emf, error));
}

TEST(MetafileLoad, NaturalSizeOfAnEmfComesFromItsFrame)
{
    // Frame 0.01 mm: 5080 x 2540 is 2 x 1 inches, 192 x 96 pixels at 96 dpi, whatever the
    // reference device.
    std::string error;
    auto m = Load(EmfWriter(10, 10, 5080, 2540, 4, 300, 300, 25, 25).Finish(), error);
    ASSERT_TRUE(m) << error;
    EXPECT_TRUE(m->IsEnhanced());
    EXPECT_EQ(m->Width(), 192);
    EXPECT_EQ(m->Height(), 96);
}

TEST(MetafileLoad, EmfWithoutFrameFallsBackToBounds)
{
    // Bounds 0..199 x 0..99 on a 200-dpi device (1000 px over 127 mm): 96 x 48 pixels.
    auto data = EmfWriter(199, 99, 0, 0, 4, 1000, 1000, 127, 127).Finish();
    std::string error;
    auto m = Load(data, error);
    ASSERT_TRUE(m) << error;
    EXPECT_EQ(m->Width(), 96);
    EXPECT_EQ(m->Height(), 48);
}

TEST(MetafileLoad, NaturalSizeOfAWmf)
{
    std::string error;
    // Placeable: a box of 2880 x 1440 at 1440 units per inch is 2 x 1 inches.
    auto placeable = Load(WmfWriter(true, 100, 100, 2980, 1540, 1440).Finish(), error);
    ASSERT_TRUE(placeable) << error;
    EXPECT_FALSE(placeable->IsEnhanced());
    EXPECT_EQ(placeable->Width(), 192);
    EXPECT_EQ(placeable->Height(), 96);
    // Without: the window extent.
    WmfWriter plain(false, 0, 0, 0, 0);
    plain.Rec(0x020B, {0, 0}).Rec(0x020C, {300, 400});
    auto fromWindow = Load(plain.Finish(), error);
    ASSERT_TRUE(fromWindow) << error;
    EXPECT_EQ(fromWindow->Width(), 400);
    EXPECT_EQ(fromWindow->Height(), 300);
}

TEST(MetafileLoad, RecordsStopAtTheFirstDamagedOne)
{
    auto data = EmfWriter(99, 99, 2540, 2540).SolidBrush(1, 0).Rectangle(0, 0, 5, 5).Finish();
    std::string error;
    auto whole = Load(data, error);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->RecordCount(), 4u); // header, brush, rectangle, end
    // The rectangle's size field (record at 88 + 24) now runs past the data.
    data[88 + 24 + 4] = 0xf0;
    auto damaged = Load(data, error);
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->RecordCount(), 2u);
}

class CorruptMetafile : public ::testing::TestWithParam<QString> {};

TEST_P(CorruptMetafile, IsRefusedOrPlaysWithinItsData)
{
    static const std::set<QString> kRefused = {
        "emf-header-too-short.emf", "emf-no-size.emf", "wmf-header-damaged.wmf",
        "wmf-no-size.wmf", "wmf-placeable-empty-box.wmf",
    };
    const QString name = GetParam();
    auto bytes = ReadFileBytes(TestDataDir() + "/metafile/corrupt/" + name);
    ASSERT_FALSE(bytes.empty()) << name.toStdString();
    std::string error;
    auto m = Load(bytes, error);
    if (kRefused.count(name)) {
        EXPECT_FALSE(m) << name.toStdString();
        EXPECT_FALSE(error.empty());
        return;
    }
    ASSERT_TRUE(m) << name.toStdString() << ": " << error;
    QImage image = Render(*m, 64, 64);
    EXPECT_FALSE(image.isNull());
}

std::vector<QString> CorruptFiles()
{
    QDir dir(TestDataDir() + "/metafile/corrupt");
    std::vector<QString> names;
    for (const QString& n : dir.entryList({"*.emf", "*.wmf"}, QDir::Files, QDir::Name)) names.push_back(n);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Set, CorruptMetafile, ::testing::ValuesIn(CorruptFiles()), [](const auto& info) {
    std::string n = info.param.toStdString();
    for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});

TEST(MetafileLoad, CorruptSetIsThere)
{
    EXPECT_GE(CorruptFiles().size(), 30u);
}

// Every prefix of real files either is refused or plays; none reads past its end.
TEST(MetafileLoad, TruncationLoop)
{
    const QStringList files = {"real/inkscape.emf", "real/inkscape.wmf", "real/libreoffice.emf",
                               "real/libreoffice.wmf"};
    for (const QString& f : files) {
        auto whole = ReadFileBytes(TestDataDir() + "/metafile/" + f);
        ASSERT_FALSE(whole.empty()) << f.toStdString();
        // Every length near the start (headers), then a step that still visits every record kind.
        std::size_t step = std::max<std::size_t>(1, whole.size() / 400);
        int played = 0;
        for (std::size_t n = 0; n < whole.size(); n += (n < 300 ? 1 : step)) {
            std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            std::string error;
            auto m = Load(part, error);
            if (!m) {
                EXPECT_FALSE(error.empty());
                continue;
            }
            QImage image(48, 48, QImage::Format_RGB888);
            image.fill(Qt::white);
            QPainter painter(&image);
            m->Play(painter, QRectF(0, 0, 48, 48));
            ++played;
        }
        EXPECT_GT(played, 100) << f.toStdString();
    }
}

} // namespace
