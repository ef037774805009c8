// Playing small metafiles written by the test's record writer: coordinate spaces (map
// modes, window and viewport, world transforms), the state stack, the object table,
// clipping, paths, bitmaps and text, checked by the colours of a few pixels.
#include "graphics/metafile/record_writer.h"
#include "graphics/metafile/render_support.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace testing_metafile;

namespace {

constexpr std::uint32_t kRed = Rgb(255, 0, 0);
constexpr std::uint32_t kGreen = Rgb(0, 255, 0);
constexpr std::uint32_t kBlue = Rgb(0, 0, 255);
constexpr std::uint32_t kNullPen = 0x80000008;

// EMF record types used here.
enum : std::uint32_t {
    kSetWindowExt = 9, kSetWindowOrg = 10, kSetViewportExt = 11, kSetViewportOrg = 12, kSetMapMode = 17,
    kSetBkMode = 18, kSetTextAlign = 22, kSetTextColor = 24, kSetBkColor = 25, kMoveTo = 27,
    kExcludeClip = 29, kIntersectClip = 30, kSaveDc = 33, kRestoreDc = 34, kSetWorld = 35, kModifyWorld = 36,
    kDeleteObject = 40, kEllipse = 42, kLineTo = 54, kBeginPath = 59, kEndPath = 60, kCloseFigure = 61,
    kFillPath = 62, kSelectClipPath = 67, kStretchDiBits = 81, kExtTextOutW = 84,
};

// 1000 x 1000 reference pixels (254 mm); played into 100 x 100, so 10 units are 1 pixel.
EmfWriter Canvas() { return EmfWriter(999, 999, 25400, 25400); }

// A red brush and no outline, selected.
EmfWriter& RedFill(EmfWriter& w) { return w.SolidBrush(1, kRed).Select(1).Select(kNullPen); }

QImage Play(const std::vector<std::uint8_t>& data, QColor background = Qt::white, int size = 100)
{
    std::string error;
    auto m = LoadBytes(data, &error);
    EXPECT_TRUE(m) << error;
    if (!m) return QImage();
    return Render(*m, size, size, background);
}

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
bool IsRed(QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool IsBlue(QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; }
bool IsGreen(QColor c) { return c.green() > 200 && c.red() < 60 && c.blue() < 60; }
bool IsWhite(QColor c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; }

Bytes Xform(float m11, float m12, float m21, float m22, float dx, float dy)
{
    Bytes b;
    for (float v : {m11, m12, m21, m22, dx, dy}) b.F32(v);
    return b;
}

TEST(MetafilePlay, PaintsOnlyWhatItDrawsInsideTheFrame)
{
    EmfWriter w = Canvas();
    RedFill(w).Rectangle(250, 250, 750, 750);
    QImage image = Play(w.Finish(), Qt::blue);
    EXPECT_TRUE(IsRed(At(image, 50, 50)));
    EXPECT_TRUE(IsRed(At(image, 27, 27)));
    EXPECT_TRUE(IsBlue(At(image, 22, 50))); // untouched background
    EXPECT_TRUE(IsBlue(At(image, 80, 80)));
}

TEST(MetafilePlay, KeepsThePaintersTransformAndClip)
{
    EmfWriter w = Canvas();
    RedFill(w).Rectangle(0, 0, 500, 500).Rec(kExcludeClip, {0, 0, 10, 10}).Rectangle(500, 500, 1000, 1000);
    auto m = LoadBytes(w.Finish());
    ASSERT_TRUE(m);
    QImage image(200, 100, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(50, 0);
    painter.setClipRect(QRectF(0, 0, 120, 100)); // device 50..170
    m->Play(painter, QRectF(50, 0, 100, 100));    // device 100..200
    // The painter's own state comes back unchanged.
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(50, 0));
    EXPECT_TRUE(painter.hasClipping());
    painter.end();
    EXPECT_TRUE(IsRed(At(image, 125, 25)));   // top-left quarter of the picture
    EXPECT_TRUE(IsRed(At(image, 160, 75)));   // bottom-right quarter, inside the painter's clip
    EXPECT_TRUE(IsWhite(At(image, 185, 75))); // the picture's own clip does not undo the painter's
    EXPECT_TRUE(IsWhite(At(image, 75, 25)));
}

TEST(MetafilePlay, AnisotropicWindowAndViewportWithUpwardY)
{
    EmfWriter w = Canvas();
    w.Rec(kSetMapMode, {8})
        .Rec(kSetWindowExt, {100, 100})
        .Rec(kSetViewportExt, {1000, -1000})
        .Rec(kSetViewportOrg, {0, 1000});
    RedFill(w).Rectangle(10, 10, 40, 40); // logical y up from the bottom edge
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 25, 75)));
    EXPECT_TRUE(IsWhite(At(image, 25, 25)));
}

TEST(MetafilePlay, IsotropicKeepsEqualUnitsOnBothAxes)
{
    EmfWriter w = Canvas();
    w.Rec(kSetMapMode, {7}).Rec(kSetWindowExt, {100, 200}).Rec(kSetViewportExt, {1000, 1000});
    RedFill(w).Rectangle(0, 0, 100, 100); // scale min(10, 5) = 5 on both axes: 500 x 500
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 45, 45)));
    EXPECT_TRUE(IsWhite(At(image, 60, 20)));
    EXPECT_TRUE(IsWhite(At(image, 20, 60)));
}

TEST(MetafilePlay, MetricMapModesUseTheReferenceDevicesSize)
{
    // HIMETRIC: 0.01 mm, y up. 1000 pixels over 254 mm: 2540 units are 100 pixels.
    EmfWriter w = Canvas();
    w.Rec(kSetMapMode, {3});
    RedFill(w).Rectangle(2540, -2540, 2540 * 3, -2540 * 3);
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 20, 20)));
    EXPECT_TRUE(IsWhite(At(image, 5, 5)));
    EXPECT_TRUE(IsWhite(At(image, 35, 35)));
}

TEST(MetafilePlay, WindowOriginShiftsLogicalSpace)
{
    EmfWriter w = Canvas();
    w.Rec(kSetWindowOrg, {-500, 0});
    RedFill(w).Rectangle(0, 0, 200, 200); // lands at x 500..700
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 60, 10)));
    EXPECT_TRUE(IsWhite(At(image, 10, 10)));
}

TEST(MetafilePlay, WorldTransformSetAndModifiedFromEitherSide)
{
    auto play = [](std::uint32_t mode) {
        EmfWriter w = Canvas();
        w.RecBytes(kSetWorld, Xform(1, 0, 0, 1, 500, 0));
        Bytes modify = Xform(0.5f, 0, 0, 0.5f, 0, 0);
        modify.U32(mode);
        w.RecBytes(kModifyWorld, modify);
        RedFill(w).Rectangle(0, 0, 200, 200);
        return Play(w.Finish());
    };
    // Left multiply: scale first, then move: 500..600.
    QImage left = play(2);
    EXPECT_TRUE(IsRed(At(left, 55, 5)));
    EXPECT_TRUE(IsWhite(At(left, 65, 5)));
    EXPECT_TRUE(IsWhite(At(left, 30, 5)));
    // Right multiply: move first, then scale: 250..350.
    QImage right = play(3);
    EXPECT_TRUE(IsRed(At(right, 30, 5)));
    EXPECT_TRUE(IsWhite(At(right, 55, 5)));
    // Identity resets: 0..200.
    QImage identity = play(1);
    EXPECT_TRUE(IsRed(At(identity, 10, 10)));
}

TEST(MetafilePlay, NonFiniteWorldTransformIsIgnored)
{
    EmfWriter w = Canvas();
    w.RecBytes(kSetWorld, Xform(std::numeric_limits<float>::quiet_NaN(), 0, 0, 1, 0, 0));
    RedFill(w).Rectangle(0, 0, 200, 200);
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 10, 10)));
}

TEST(MetafilePlay, SaveAndRestoreRelativeAndAbsolute)
{
    auto play = [](std::int32_t restore) {
        EmfWriter w = Canvas();
        w.SolidBrush(1, kRed).SolidBrush(2, kGreen).SolidBrush(3, kBlue).Select(kNullPen);
        w.Select(1).Rec(kSaveDc, {}).Select(2).Rec(kSaveDc, {}).Select(3);
        w.Rec(kRestoreDc, {restore}).Rectangle(0, 0, 1000, 1000);
        return At(Play(w.Finish()), 50, 50);
    };
    EXPECT_TRUE(IsGreen(play(-1)));
    EXPECT_TRUE(IsRed(play(-2)));
    EXPECT_TRUE(IsRed(play(1)));   // the first save
    EXPECT_TRUE(IsGreen(play(2)));
    EXPECT_TRUE(IsBlue(play(-3))); // out of range: nothing changes
    EXPECT_TRUE(IsBlue(play(3)));
    EXPECT_TRUE(IsBlue(play(0)));
}

TEST(MetafilePlay, EndlessSaveNestingIsHarmless)
{
    EmfWriter w = Canvas();
    RedFill(w);
    for (int i = 0; i < 5000; ++i) w.Rec(kSaveDc, {});
    for (int i = 0; i < 6000; ++i) w.Rec(kRestoreDc, {-1});
    w.Rectangle(0, 0, 1000, 1000);
    EXPECT_TRUE(IsRed(At(Play(w.Finish()), 50, 50)));
}

TEST(MetafilePlay, StockObjectsAndDeletedOrMissingObjects)
{
    {   // stock black brush, stock null pen
        EmfWriter w = Canvas();
        w.Select(0x80000004).Select(kNullPen).Rectangle(0, 0, 1000, 1000);
        QColor c = At(Play(w.Finish()), 50, 50);
        EXPECT_EQ(c, QColor(0, 0, 0));
    }
    {   // stock null brush draws no fill
        EmfWriter w = Canvas();
        w.Select(0x80000005).Select(kNullPen).Rectangle(0, 0, 1000, 1000);
        EXPECT_TRUE(IsWhite(At(Play(w.Finish()), 50, 50)));
    }
    {   // a selected object stays in use after deletion; selecting a missing or
        // out-of-range handle changes nothing
        EmfWriter w = Canvas();
        RedFill(w).Rec(kDeleteObject, {1}).Select(1).Select(5000).Select(0x80000077);
        w.Rectangle(0, 0, 1000, 1000);
        EXPECT_TRUE(IsRed(At(Play(w.Finish()), 50, 50)));
    }
    {   // creating at an index past the header's table is refused
        EmfWriter w = Canvas();
        RedFill(w).SolidBrush(40, kBlue).Select(40).Rectangle(0, 0, 1000, 1000);
        EXPECT_TRUE(IsRed(At(Play(w.Finish()), 50, 50)));
    }
}

TEST(MetafilePlay, ClipRectanglesAndRestoringTheClip)
{
    EmfWriter w = Canvas();
    RedFill(w).Rec(kSaveDc, {});
    w.Rec(kIntersectClip, {0, 0, 500, 1000}).Rec(kExcludeClip, {0, 0, 200, 200});
    w.Rectangle(0, 0, 1000, 1000);
    w.Rec(kRestoreDc, {-1}).SolidBrush(2, kBlue).Select(2).Rectangle(0, 800, 1000, 1000);
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 30, 50)));
    EXPECT_TRUE(IsWhite(At(image, 70, 50))); // outside the intersection
    EXPECT_TRUE(IsWhite(At(image, 10, 10))); // excluded
    EXPECT_TRUE(IsBlue(At(image, 90, 90)));  // after RestoreDC the clip is gone
}

TEST(MetafilePlay, PathBracketFillsAndClips)
{
    EmfWriter w = Canvas();
    RedFill(w);
    w.Rec(kBeginPath, {}).Rec(kMoveTo, {0, 0}).Rec(kLineTo, {1000, 0}).Rec(kLineTo, {0, 1000});
    w.Rec(kCloseFigure, {}).Rec(kEndPath, {}).Rec(kFillPath, {0, 0, 0, 0});
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 20, 20)));
    EXPECT_TRUE(IsWhite(At(image, 80, 80)));

    EmfWriter clip = Canvas();
    RedFill(clip);
    clip.Rec(kBeginPath, {}).Rec(kEllipse, {0, 0, 1000, 1000}).Rec(kEndPath, {}).Rec(kSelectClipPath, {5});
    clip.Rectangle(0, 0, 1000, 1000);
    QImage clipped = Play(clip.Finish());
    EXPECT_TRUE(IsRed(At(clipped, 50, 50)));
    EXPECT_TRUE(IsWhite(At(clipped, 3, 3))); // corner outside the ellipse
}

TEST(MetafilePlay, StretchDiBitsKeepsRowOrder)
{
    // 2 x 2, 24 bits, bottom-up: bottom row red, green; top row blue, white.
    Bytes bmi;
    bmi.U32(40); bmi.I32(2); bmi.I32(2); bmi.U16(1); bmi.U16(24); bmi.U32(0);
    for (int i = 0; i < 5; ++i) bmi.U32(0);
    Bytes bits;
    for (auto [b, g, r] : {std::tuple{0, 0, 255}, std::tuple{0, 255, 0}}) { bits.U8(b); bits.U8(g); bits.U8(r); }
    bits.U16(0);
    for (auto [b, g, r] : {std::tuple{255, 0, 0}, std::tuple{255, 255, 255}}) { bits.U8(b); bits.U8(g); bits.U8(r); }
    bits.U16(0);
    Bytes rec;
    for (int v : {0, 0, 999, 999}) rec.I32(v);
    for (int v : {0, 0, 0, 0, 2, 2}) rec.I32(v); // dest x, y; src x, y, cx, cy
    const std::uint32_t fixed = 8 + 72;
    rec.U32(fixed); rec.U32(40); rec.U32(fixed + 40); rec.U32(16);
    rec.U32(0); rec.U32(0x00CC0020); rec.I32(1000); rec.I32(1000);
    rec.Raw(bmi.Data());
    rec.Raw(bits.Data());
    EmfWriter w = Canvas();
    w.RecBytes(kStretchDiBits, rec);
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsBlue(At(image, 20, 20)));
    EXPECT_TRUE(IsWhite(At(image, 80, 20)));
    EXPECT_TRUE(IsRed(At(image, 20, 80)));
    EXPECT_TRUE(IsGreen(At(image, 80, 80)));
}

TEST(MetafilePlay, TextIsAlignedAtItsReferencePoint)
{
    auto inkColumns = [](std::uint32_t align) {
        EmfWriter w = Canvas();
        Bytes font;
        font.U32(1);
        font.I32(-200); // 200 units: 20 pixels
        for (int i = 0; i < 3; ++i) font.I32(0);
        font.I32(700);
        for (int i = 0; i < 8; ++i) font.U8(0);
        for (char16_t ch : u"DejaVu Sans") font.U16(ch);
        while (font.Size() < 4 + 92) font.U8(0);
        w.RecBytes(82, font).Select(1).Rec(kSetTextColor, {Rgb(0, 0, 0)}).Rec(kSetBkMode, {1});
        w.Rec(kSetTextAlign, {align});
        Bytes t;
        for (int i = 0; i < 4; ++i) t.I32(0);
        t.U32(1); t.F32(0); t.F32(0);
        t.I32(500); t.I32(500); // reference point
        t.U32(4); t.U32(76); t.U32(0); // chars, offset of the string from the record start, options
        for (int i = 0; i < 4; ++i) t.I32(0);
        t.U32(0); // no advances
        for (char16_t ch : u"MMMM") t.U16(ch);
        w.RecBytes(kExtTextOutW, t);
        QImage image = Play(w.Finish());
        int first = 100, last = -1, top = 100, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    first = std::min(first, x); last = std::max(last, x);
                    top = std::min(top, y); bottom = std::max(bottom, y);
                }
        return std::array<int, 4>{first, last, top, bottom};
    };
    auto left = inkColumns(0);           // TA_LEFT | TA_TOP
    ASSERT_GE(left[1], 0) << "no text drawn";
    EXPECT_NEAR(left[0], 50, 3);
    EXPECT_GE(left[2], 50);              // below the reference point
    auto right = inkColumns(2 | 24);     // TA_RIGHT | TA_BASELINE
    EXPECT_NEAR(right[1], 50, 3);
    EXPECT_LE(right[3], 51);             // above the baseline
    auto centre = inkColumns(6);
    EXPECT_NEAR((centre[0] + centre[1]) / 2.0, 50, 3);
}

TEST(MetafilePlay, HatchGapsTakeTheBackgroundColourOnlyWhenOpaque)
{
    auto play = [](int mode) {
        EmfWriter w = Canvas();
        w.Rec(39, {1, 2, kRed, 4}).Select(1).Select(kNullPen); // cross hatch
        w.Rec(kSetBkColor, {kBlue}).Rec(kSetBkMode, {mode}).Rectangle(0, 0, 1000, 1000);
        QImage image = Play(w.Finish(), Qt::white);
        int red = 0, blue = 0, white = 0;
        for (int y = 10; y < 90; ++y)
            for (int x = 10; x < 90; ++x) {
                QColor c = image.pixelColor(x, y);
                red += IsRed(c);
                blue += IsBlue(c);
                white += IsWhite(c);
            }
        return std::tuple{red, blue, white};
    };
    auto [red1, blue1, white1] = play(2);
    EXPECT_GT(red1, 100);
    EXPECT_GT(blue1, 1000);
    EXPECT_EQ(white1, 0);
    auto [red2, blue2, white2] = play(1);
    EXPECT_GT(red2, 100);
    EXPECT_EQ(blue2, 0);
    EXPECT_GT(white2, 1000);
}

TEST(MetafilePlay, PiesFollowTheArcDirection)
{
    // From the ray to the right to the ray upwards: counter-clockwise that is the
    // top-right quarter, clockwise the other three.
    auto play = [](bool clockwise) {
        EmfWriter w = Canvas();
        RedFill(w);
        if (clockwise) w.Rec(57, {2});
        w.Rec(47, {0, 0, 1000, 1000, 1000, 500, 500, 0});
        return Play(w.Finish());
    };
    QImage ccw = play(false);
    EXPECT_TRUE(IsRed(At(ccw, 70, 30)));
    EXPECT_TRUE(IsWhite(At(ccw, 30, 30)));
    EXPECT_TRUE(IsWhite(At(ccw, 70, 70)));
    QImage cw = play(true);
    EXPECT_TRUE(IsWhite(At(cw, 70, 30)));
    EXPECT_TRUE(IsRed(At(cw, 30, 30)));
    EXPECT_TRUE(IsRed(At(cw, 70, 70)));
}

// WMF: parameters y before x, objects in the lowest free slot.
TEST(MetafilePlayWmf, ParametersStoreYBeforeX)
{
    WmfWriter w(true, 0, 0, 1000, 1000, 1000);
    w.SolidBrush(kRed).Rec(0x012D, {0}).Pen(5, 0, 0).Rec(0x012D, {1});
    w.Rec(0x041B, {1000, 300, 0, 0}); // Rectangle(bottom 1000, right 300, top 0, left 0): a tall strip
    QImage image = Play(w.Finish());
    EXPECT_TRUE(IsRed(At(image, 15, 80)));
    EXPECT_TRUE(IsWhite(At(image, 80, 15)));
}

TEST(MetafilePlayWmf, NewObjectsTakeTheLowestFreeSlot)
{
    WmfWriter w(true, 0, 0, 1000, 1000, 1000, 4);
    w.SolidBrush(kRed).SolidBrush(kGreen).Pen(5, 0, 0); // slots 0, 1, 2
    w.Rec(0x01F0, {0});                                  // delete slot 0
    w.SolidBrush(kBlue);                                 // takes slot 0
    w.Rec(0x012D, {0}).Rec(0x012D, {2}).Rec(0x041B, {1000, 1000, 0, 0});
    EXPECT_TRUE(IsBlue(At(Play(w.Finish()), 50, 50)));
}

TEST(MetafilePlayWmf, WindowMapsOntoTheTarget)
{
    // The window (-100, -100) extent (200, -200): y up, centred on the origin.
    WmfWriter w(false, 0, 0, 0, 0);
    w.Rec(0x0103, {8}).Rec(0x020B, {100, -100}).Rec(0x020C, {-200, 200});
    w.SolidBrush(kRed).Rec(0x012D, {0}).Pen(5, 0, 0).Rec(0x012D, {1});
    w.Rec(0x041B, {0, 0, 100, -100}); // left -100, top 100, right 0, bottom 0: the top-left quarter
    auto data = w.Finish();
    std::string error;
    auto m = LoadBytes(data, &error);
    ASSERT_TRUE(m) << error;
    EXPECT_EQ(m->Width(), 200);
    EXPECT_EQ(m->Height(), 200);
    QImage image = Render(*m, 100, 100);
    EXPECT_TRUE(IsRed(At(image, 25, 25)));
    EXPECT_TRUE(IsWhite(At(image, 75, 75)));
    EXPECT_TRUE(IsWhite(At(image, 75, 25)));
}

TEST(MetafilePlayWmf, TextOutAndExtTextOutWithItsOpaqueRectangle)
{
    auto play = [](bool ext) {
        WmfWriter w(true, 0, 0, 1000, 1000, 1000);
        Bytes font;
        font.I16(-150);
        for (int i = 0; i < 3; ++i) font.I16(0);
        font.I16(700);
        for (int i = 0; i < 8; ++i) font.U8(0);
        for (char ch : std::string("DejaVu Sans")) font.U8(static_cast<std::uint8_t>(ch));
        font.U8(0);
        w.RecBytes(0x02FB, font).Rec(0x012D, {0});
        w.Rec(0x0102, {1}); // transparent background
        Bytes t;
        if (ext) {
            t.I16(600); t.I16(100);            // y, x
            t.I16(3); t.U16(2);                 // length, ETO_OPAQUE
            t.I16(500); t.I16(800); t.I16(900); t.I16(950); // left, top, right, bottom
            t.U8('W'); t.U8('W'); t.U8('W'); t.U8(0);
        } else {
            t.I16(3);
            t.U8('W'); t.U8('W'); t.U8('W'); t.U8(0);
            t.I16(600); t.I16(100);            // y, x
        }
        w.Rec(0x0201, {0x00ff, 0});            // background colour red (COLORREF as two words)
        w.RecBytes(ext ? 0x0A32 : 0x0521, t);
        return Play(w.Finish());
    };
    for (bool ext : {false, true}) {
        QImage image = play(ext);
        int inkTop = 100, inkLeft = 100;
        for (int y = 0; y < 75; ++y)
            for (int x = 0; x < 50; ++x)
                if (qGray(image.pixel(x, y)) < 100) {
                    inkTop = std::min(inkTop, y);
                    inkLeft = std::min(inkLeft, x);
                }
        // Top-left aligned at x 100, y 600: ink starts there, not at (600, 100).
        EXPECT_NEAR(inkLeft, 10, 2) << ext;
        EXPECT_NEAR(inkTop, 60, 3) << ext;
        EXPECT_EQ(IsRed(At(image, 70, 87)), ext) << ext; // the opaque rectangle
    }
}

// A WMF may carry a whole EMF in its comment records (META_ESCAPE, MFCOMMENT, "WMFC"),
// split into chunks; when the pieces add up, the EMF is played instead.
Bytes WmfcChunk(const std::vector<std::uint8_t>& emf, std::size_t from, std::size_t n, std::uint32_t total)
{
    Bytes b;
    b.U16(15); // MFCOMMENT
    b.U16(static_cast<std::uint16_t>(34 + n));
    b.U32(0x43464D57);
    b.U32(1);
    b.U32(0x10000);
    b.U16(0);
    b.U32(0);
    b.U32(2);
    b.U32(static_cast<std::uint32_t>(n));
    b.U32(static_cast<std::uint32_t>(total - from - n));
    b.U32(total);
    b.Raw(std::vector<std::uint8_t>(emf.begin() + static_cast<std::ptrdiff_t>(from),
                                    emf.begin() + static_cast<std::ptrdiff_t>(from + n)));
    return b;
}

TEST(MetafilePlayWmf, PlaysAnEmbeddedEmfInsteadOfItsOwnRecords)
{
    EmfWriter inner = Canvas();
    RedFill(inner).Rectangle(0, 0, 1000, 1000);
    const auto emf = inner.Finish();
    const std::size_t half = emf.size() / 2;
    auto wmf = [&](std::uint32_t claimedTotal) {
        WmfWriter w(true, 0, 0, 1000, 1000, 1000);
        w.RecBytes(0x0626, WmfcChunk(emf, 0, half, claimedTotal));
        w.RecBytes(0x0626, WmfcChunk(emf, half, emf.size() - half, claimedTotal));
        w.SolidBrush(kBlue).Rec(0x012D, {0}).Pen(5, 0, 0).Rec(0x012D, {1}).Rec(0x041B, {1000, 1000, 0, 0});
        return w.Finish();
    };
    EXPECT_TRUE(IsRed(At(Play(wmf(static_cast<std::uint32_t>(emf.size()))), 50, 50)));
    // Pieces that do not add up to the announced size: the WMF's own records play.
    EXPECT_TRUE(IsBlue(At(Play(wmf(static_cast<std::uint32_t>(emf.size() + 4))), 50, 50)));
}

} // namespace
