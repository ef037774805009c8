// Caption texts and where captions and the word mark are written, checked through
// the canvas's log of texts rather than through pixels.
#include "core/product.h"
#include "core/random.h"
#include "compose/captions.h"
#include "compose/expo.h"
#include "compose/test_pictures.h"
#include "graphics/picture.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace compose;

namespace {

PictureCaption Record(const std::string& title, const std::string& author, int year)
{
    return {QString::fromStdString(title), QString::fromStdString(author), year};
}

ExpoSettings Settings(int orientation, int size)
{
    ExpoSettings s;
    s.PictureOrientation = orientation;
    s.PictureSize = size;
    return s;
}

struct ProductFixture : ::testing::Test {
    TProduct product{QStringLiteral("/tmp/")};
};

} // namespace

// A pack that says its works are public domain ("Credit=plain") credits the artist
// without the copyright sign; every other pack keeps the sign, and only the
// credit line changes.
TEST(Captions, PlainCreditDropsOnlyTheCopyrightSign)
{
    struct Case {
        bool plain;
        const char* author;
        const char* credit;
    };
    const Case cases[] = {
        {false, "Vincent van Gogh", "\u00A9 Vincent van Gogh"},
        {true, "Vincent van Gogh", "Vincent van Gogh"},
        {true, "Circle of Hugo van der Goes", "Circle of Hugo van der Goes"},
        {true, "", ""},
    };
    for (const Case& c : cases) {
        PictureCaption record = Record("Wheat Field with Cypresses", c.author, 1889);
        record.PlainCredit = c.plain;
        EXPECT_EQ(CreditLine(record), QString::fromUtf8(c.credit)) << c.author;
        EXPECT_EQ(TitleLine(record), "Wheat Field with Cypresses, 1889");
    }
}

TEST(Captions, Lines)
{
    EXPECT_EQ(TitleLine(Record("Starry Night", "V. van Gogh", 1889)), "Starry Night, 1889");
    EXPECT_EQ(TitleLine(Record("Untitled", "", 0)), "Untitled");
    EXPECT_EQ(CreditLine(Record("X", "V. van Gogh", 0)), QString::fromUtf8("\u00A9 V. van Gogh"));
    EXPECT_EQ(CreditLine(Record("X", "", 1900)), "");
    EXPECT_EQ(ShortDescription(Record("Sunflowers", "V. van Gogh", 1888), 50), "Sunflowers (1888, V. van Gogh)");
    EXPECT_EQ(ShortDescription(Record("Sunflowers", "", 1888), 50), "Sunflowers (1888)");
    EXPECT_EQ(ShortDescription(Record("Sunflowers", "Anon", 0), 50), "Sunflowers (Anon)");
    EXPECT_EQ(ShortDescription(Record("Sunflowers", "", 0), 50), "Sunflowers");
}

TEST(Captions, ShortDescriptionCutsAtTheMaximum)
{
    // 60 characters with the parenthesis: cut to 45 and "...".
    const PictureCaption sixty = Record(std::string(53, 't'), "", 1999); // 53 + " (1999)" = 60
    const QString cut = ShortDescription(sixty, 50);
    EXPECT_EQ(cut.size(), 48);
    EXPECT_TRUE(cut.endsWith("..."));
    EXPECT_EQ(cut.left(45), QString(45, 't'));
    const PictureCaption fifty = Record(std::string(43, 't'), "", 1999);
    EXPECT_EQ(ShortDescription(fifty, 50).size(), 50);
    // A character outside the basic plane is never cut in half.
    const QString emoji = ShortDescription(Record(std::string(44, 'a') + "\xF0\x9F\x8E\xA8" + std::string(10, 'b'), "", 0), 50);
    EXPECT_FALSE(emoji.at(emoji.size() - 4).isHighSurrogate());
}

TEST(Captions, SpaceLetters)
{
    EXPECT_EQ(SpaceLetters("ab", 1), "a b");
    EXPECT_EQ(SpaceLetters(" ab\t", 1), "a b");
    EXPECT_EQ(SpaceLetters("", 1), "");
    EXPECT_EQ(SpaceLetters("Title ", 1), "T i t l e");
    EXPECT_EQ(SpaceLetters("ab", 2), "a  b");
}

TEST(Captions, FacesStandInForMissingOnes)
{
    // Whatever is installed, the word mark's face is a text face: it has a glyph
    // for every letter of the mark and is never a symbol font.
    for (const char* face : {"Impact", "Arial"}) {
        const QFont font = ResolveFont(QString::fromLatin1(face), 23, false);
        const QFontInfo info(font);
        EXPECT_FALSE(info.family().contains(QLatin1String("D050000L"))) << face;
        EXPECT_FALSE(info.family().contains(QLatin1String("Dingbat"), Qt::CaseInsensitive)) << face;
        const QFontMetrics metrics(font);
        for (QChar c : QStringLiteral("ambience.art"))
            EXPECT_TRUE(metrics.inFont(c)) << face << " " << c.toLatin1();
    }
    // Where Impact itself is missing, the stand-in is heavy.
    if (!QFontDatabase::families().contains(QStringLiteral("Impact"))) {
        EXPECT_GE(ResolveFont(QStringLiteral("Impact"), 23, false).weight(), QFont::Bold);
    }
}

using CaptionPlacement = ProductFixture;

TEST_F(CaptionPlacement, CentredAndCollageCarryCreditUpTheRightEdgeAndTitleBelow)
{
    for (int orientation : {0, 2}) {
        TExpo expo(nullptr, nullptr, {}, QSize(1000, 800), QRect(0, 0, 1000, 770), Settings(orientation, 1));
        expo.PictureRect = {300, 200, 700, 500};
        expo.DrawCaptions("Title, 1900", QString::fromUtf8("\u00A9 Author"));
        const auto& texts = expo.Texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].text, QString::fromUtf8("\u00A9   A u t h o r"));
        EXPECT_EQ(texts[0].at, QPoint(700, 500 - 1000 / 250));
        EXPECT_EQ(texts[0].angle, 90);
        EXPECT_EQ(texts[0].height, -10);
        EXPECT_EQ(texts[0].face, "Impact");
        EXPECT_EQ(texts[0].colour, Rgb(224, 224, 224));
        EXPECT_EQ(texts[1].text, "T i t l e ,   1 9 0 0");
        EXPECT_EQ(texts[1].at, QPoint(300 + 4, 500));
        EXPECT_EQ(texts[1].angle, 0);
    }
}

TEST_F(CaptionPlacement, LowerRightCarriesOnlyTheTurnedTitle)
{
    TExpo expo(nullptr, nullptr, {}, QSize(1000, 800), QRect(0, 0, 1000, 770), Settings(1, 0));
    expo.PictureRect = {600, 400, 960, 730};
    expo.DrawCaptions("T", "C");
    ASSERT_EQ(expo.Texts().size(), 1u);
    EXPECT_EQ(expo.Texts()[0].text, "T");
    EXPECT_EQ(expo.Texts()[0].at, QPoint(960, 726));
    EXPECT_EQ(expo.Texts()[0].angle, 90);
}

TEST_F(CaptionPlacement, MaximumWritesOneTurnedLineInTheWorkAreaCorner)
{
    for (int orientation : {0, 1, 2}) {
        TExpo expo(nullptr, nullptr, {}, QSize(1000, 800), QRect(0, 0, 1000, 770), Settings(orientation, 3));
        expo.PictureRect = {0, 0, 1000, 800};
        expo.DrawCaptions("Title", "");
        ASSERT_EQ(expo.Texts().size(), 1u);
        // The joining blank of an empty credit is trimmed away.
        EXPECT_EQ(expo.Texts()[0].text, "T i t l e");
        EXPECT_EQ(expo.Texts()[0].at, QPoint(1000 - 25 - 12, 770 - 11 - 30));
        EXPECT_EQ(expo.Texts()[0].angle, 90);
    }
}

TEST_F(CaptionPlacement, WordMarkSitsInTheCornerOrUnderALowerRightPicture)
{
    for (int orientation : {0, 1, 2}) {
        for (bool placed : {false, true}) {
            SeedRandom(5);
            TExpo expo(nullptr, nullptr, {}, QSize(1200, 900), QRect(0, 30, 1200, 840), Settings(orientation, 0));
            if (placed)
                expo.PictureRect = {700, 500, 1152, 822};
            expo.PlaceWordMark();
            const auto& texts = expo.Texts();
            ASSERT_EQ(texts.size(), 3u);
            EXPECT_EQ(texts[0].text, "ambi");
            EXPECT_EQ(texts[1].text, "ence");
            EXPECT_EQ(texts[2].text, ".art");
            EXPECT_EQ(texts[0].height, -23);
            EXPECT_EQ(texts[2].height, -15);
            EXPECT_EQ(texts[2].face, "Arial");
            EXPECT_TRUE(texts[2].bold);
            EXPECT_EQ(texts[1].colour, Rgb(240, 240, 240));
            // Second part one pixel after the first's end; suffix one pixel further.
            EXPECT_EQ(texts[1].at, QPoint(texts[0].at.x() + texts[0].extent.width() + 1, texts[0].at.y()));
            EXPECT_EQ(texts[2].at.x(), texts[1].at.x() + texts[1].extent.width() + 1);
            // The suffix's cell ends one pixel above the bottom of the name's cell.
            const int nameHeight = texts[0].extent.height();
            EXPECT_EQ(texts[2].at.y() + texts[2].extent.height(), texts[0].at.y() + nameHeight - 1);
            const int width = QFontMetrics(ResolveFont(texts[0].face, 23, false)).horizontalAdvance("ambience")
                + QFontMetrics(ResolveFont("Arial", 15, true)).horizontalAdvance(".art") + 2;
            if (orientation == 1 && placed) {
                // Under the picture's left part, its top slightly above the picture's bottom.
                EXPECT_EQ(texts[0].at, QPoint(700 + 1200 / 250, 822 - 1200 / 300));
            } else {
                EXPECT_EQ(texts[0].at.x(), 1200 - 1200 / 40 - width);
                EXPECT_EQ(texts[0].at.y(), 870 - 900 / 70 - nameHeight);
            }
        }
    }
}

TEST_F(CaptionPlacement, ComposedExpositionsCaptionThePictureOrNothing)
{
    const graphics::Picture picture = graphics::Picture::FromImage(MakePainting(80, 60));
    const PictureCaption record = Record("Bridge", "Claude", 1899);
    for (int orientation : {0, 1, 2}) {
        SeedRandom(1);
        TExpo with(&picture, &record, {}, QSize(640, 400), QRect(), Settings(orientation, 1));
        ASSERT_TRUE(with.Compose().ok());
        // Captions name the picture; the word mark comes last.
        EXPECT_EQ(with.Texts().front().text, orientation == 1 ? "B r i d g e ,   1 8 9 9" : QString::fromUtf8("\u00A9   C l a u d e"));
        EXPECT_EQ(with.Texts().back().text, ".art");
        EXPECT_EQ(with.Texts().size(), orientation == 1 ? 4u : 5u);

        TExpo without(nullptr, nullptr, {}, QSize(640, 400), QRect(), Settings(orientation, 1));
        ASSERT_TRUE(without.Compose().ok());
        EXPECT_EQ(without.Texts().size(), 3u); // the word mark only
        EXPECT_EQ(without.PictureRect, TRect{});
    }
    // The built-in picture has no record: product title and notice stand in.
    SeedRandom(1);
    TExpo builtin(&picture, nullptr, {}, QSize(640, 400), QRect(), Settings(0, 1));
    ASSERT_TRUE(builtin.Compose().ok());
    EXPECT_EQ(builtin.Texts()[1].text, SpaceLetters(product.ProductTitle, 1));
    EXPECT_EQ(builtin.Texts()[0].text, SpaceLetters(product.NoticeLine, 1));
}
