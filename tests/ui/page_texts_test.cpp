#include "ui/dialogs.h"
#include "ui/page_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(PageTexts, NumberWordsAndCountLabel)
{
    EXPECT_EQ(ui::NumberToWords(0), "none");
    EXPECT_EQ(ui::NumberToWords(1), "one");
    EXPECT_EQ(ui::NumberToWords(19), "nineteen");
    EXPECT_EQ(ui::NumberToWords(20), "twenty");
    EXPECT_EQ(ui::NumberToWords(21), "twenty one");
    EXPECT_EQ(ui::NumberToWords(99), "ninety nine");
    EXPECT_EQ(ui::NumberToWords(100), "100");
    EXPECT_EQ(ui::NumberToWords(-1), "");
    EXPECT_EQ(ui::CapitalizeFirst(""), "");
    EXPECT_EQ(ui::CapitalizeFirst("twenty one"), "Twenty one");

    EXPECT_EQ(ui::PackCountText(0), "  None packs installed");
    EXPECT_EQ(ui::PackCountText(1), "  One pack installed");
    EXPECT_EQ(ui::PackCountText(3), "  Three packs installed");
    EXPECT_EQ(ui::PackCountText(21), "  Twenty one packs installed");
    EXPECT_EQ(ui::PackCountText(120), "  120 packs installed");
}

TEST(PageTexts, PreviewSizeFollowsAspectWithCap)
{
    EXPECT_EQ(ui::PreviewSize(357, 100, 100), QSize(142, 142));
    EXPECT_EQ(ui::PreviewSize(357, 400, 100), QSize(285, 71));
    // Taller than 2.8 : 1 is treated as 2.8; 85 * 2.8 falls just below 238.
    EXPECT_EQ(ui::PreviewSize(357, 100, 300), QSize(85, 237));
    // No picture: square.
    EXPECT_EQ(ui::PreviewSize(357, 0, 0), QSize(142, 142));
    // A picture without height must not make the preview endless.
    const QSize flat = ui::PreviewSize(357, 100, 0);
    EXPECT_GT(flat.width(), 0);
    EXPECT_LT(flat.width(), 1000);
    // The size scales with the window.
    EXPECT_EQ(ui::PreviewSize(714, 100, 100), QSize(285, 285));
}

TEST(Dialogs, PipeFilterBecomesQtFilter)
{
    EXPECT_EQ(ui::QtFilterFromPipes("Packs (*.zip)|*.zip|All files (*.*)|*.*"), "Packs (*.zip);;All files (*.*)");
    EXPECT_EQ(ui::QtFilterFromPipes("Pictures|*.jpg;*.bmp"), "Pictures (*.jpg *.bmp)");
}

} // namespace
