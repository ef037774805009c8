// Metafiles written by real programs (Inkscape and LibreOffice, from drawing.svg: lines,
// Béziers, fills, text and an embedded bitmap) played and compared with Inkscape's
// own rendering of the SVG. Text is drawn with our fonts and antialiasing differs, so
// the match is close, not exact: the mean difference must stay under 2.5 of 255 and
// fewer than 1 % of the pixels may be far off (a channel more than 64 away). A missing
// shape, a wrong colour or a shifted mapping breaks either bound at once.
#include "graphics/metafile/render_support.h"
#include "support/temp_env.h"

#include <QPainter>

#include <cstdio>

#include <gtest/gtest.h>

using namespace testing_metafile;

namespace {

QString Real(const QString& name) { return TestDataDir() + "/metafile/real/" + name; }

struct Case {
    const char* file;
    const char* reference;
    bool enhanced;
    int width, height;
    bool ownRecordsOnly = false; // a WMF with its embedded EMF hidden, so its own records play
};

// Renames every META_ESCAPE to an unknown function: the embedded EMF is gone, the
// WMF's own records stay.
void HideEscapes(std::vector<std::uint8_t>& wmf)
{
    std::size_t pos = 22 + 18;
    while (pos + 6 <= wmf.size()) {
        std::size_t words = wmf[pos] | (wmf[pos + 1] << 8) | (wmf[pos + 2] << 16) | (std::size_t(wmf[pos + 3]) << 24);
        if (wmf[pos + 4] == 0x26 && wmf[pos + 5] == 0x06) wmf[pos + 5] = 0x07;
        if (words < 3) break;
        pos += 2 * words;
    }
}

class RealMetafile : public ::testing::TestWithParam<Case> {};

TEST_P(RealMetafile, MatchesReferenceRendering)
{
    const Case& c = GetParam();
    std::string error;
    auto bytes = ReadFileBytes(Real(c.file));
    if (c.ownRecordsOnly) HideEscapes(bytes);
    auto m = LoadBytes(bytes, &error);
    ASSERT_TRUE(m) << c.file << ": " << error;
    EXPECT_EQ(m->IsEnhanced(), c.enhanced);
    EXPECT_NEAR(m->Width(), c.width, 2);
    EXPECT_NEAR(m->Height(), c.height, 2);

    QImage reference(Real(c.reference));
    ASSERT_FALSE(reference.isNull()) << c.reference;
    // At natural size, one picture pixel on one image pixel, as the reference was made.
    QImage ours = RenderInto(*m, reference.size(), QRectF(0, 0, m->Width(), m->Height()));
    Difference d = Compare(ours, reference);
    std::printf("%s%s: mean difference %.2f, far pixels %.2f %%\n", c.file, c.ownRecordsOnly ? " (own records)" : "",
                d.meanAbsolute, 100 * d.farShare);
    EXPECT_LT(d.meanAbsolute, 2.5) << c.file;
    EXPECT_LT(d.farShare, 0.01) << c.file;

    // The comparison itself is sensitive: the same rendering moved by 6 pixels fails it.
    QImage shifted(ours.size(), ours.format());
    shifted.fill(Qt::white);
    QPainter(&shifted).drawImage(6, 0, ours);
    EXPECT_GT(Compare(shifted, reference).farShare, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealMetafile,
    ::testing::Values(Case{"inkscape.emf", "drawing.png", true, 320, 240},
                      Case{"inkscape.wmf", "drawing.png", false, 320, 240},
                      Case{"libreoffice.emf", "drawing-libreoffice-area.png", true, 298, 218},
                      Case{"libreoffice.wmf", "drawing-libreoffice-area.png", false, 298, 218},
                      Case{"libreoffice.wmf", "drawing-libreoffice-area.png", false, 298, 218, true}),
    [](const auto& info) {
        std::string n = info.param.file;
        if (info.param.ownRecordsOnly) n += "_own_records";
        for (char& ch : n)
            if (ch == '.') ch = '_';
        return n;
    });

} // namespace
