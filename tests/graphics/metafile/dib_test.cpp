// Device-independent bitmaps: bit order of the small depths, colour tables, bitfields,
// row order and run-length encoding, each against pixels stated by hand.
#include "graphics/metafile/dib.h"
#include "graphics/metafile/record_writer.h"

#include <gtest/gtest.h>

using graphics::metafile::ByteCursor;
using graphics::metafile::DecodeDib;
using testing_metafile::Bytes;

namespace {

Bytes Header(int width, int height, int bits, std::uint32_t compression = 0, std::uint32_t colors = 0)
{
    Bytes b;
    b.U32(40); b.I32(width); b.I32(height); b.U16(1); b.U16(static_cast<std::uint16_t>(bits));
    b.U32(compression); b.U32(0); b.I32(0); b.I32(0); b.U32(colors); b.U32(0);
    return b;
}

void Color(Bytes& b, int r, int g, int bl) { b.U8(static_cast<std::uint8_t>(bl)); b.U8(static_cast<std::uint8_t>(g)); b.U8(static_cast<std::uint8_t>(r)); b.U8(0); }

std::optional<QImage> Decode(Bytes& info, Bytes& bits, bool alpha = false)
{
    return DecodeDib(ByteCursor(info.Data().data(), info.Size()), ByteCursor(bits.Data().data(), bits.Size()), 0, alpha);
}

TEST(Dib, OneAndFourBitPixelsReadHighBitsFirst)
{
    Bytes info = Header(8, 1, 1);
    Color(info, 0, 0, 0);
    Color(info, 255, 255, 255);
    Bytes bits;
    bits.U8(0b10100000); bits.U8(0); bits.U16(0);
    auto image = Decode(info, bits);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image->pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image->pixel(2, 0), qRgb(255, 255, 255));

    Bytes info4 = Header(3, 1, 4, 0, 3);
    Color(info4, 255, 0, 0);
    Color(info4, 0, 255, 0);
    Color(info4, 0, 0, 255);
    Bytes bits4;
    bits4.U8(0x21); bits4.U8(0x00); bits4.U16(0);
    auto image4 = Decode(info4, bits4);
    ASSERT_TRUE(image4);
    EXPECT_EQ(image4->pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image4->pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image4->pixel(2, 0), qRgb(255, 0, 0));
}

TEST(Dib, RowsAreBottomUpUnlessTheHeightIsNegative)
{
    for (int height : {2, -2}) {
        Bytes info = Header(1, height, 24);
        Bytes bits;
        bits.U8(0); bits.U8(0); bits.U8(255); bits.U8(0); // first stored row: red
        bits.U8(255); bits.U8(0); bits.U8(0); bits.U8(0); // second: blue
        auto image = Decode(info, bits);
        ASSERT_TRUE(image);
        QRgb top = height > 0 ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
        EXPECT_EQ(image->pixel(0, 0), top) << height;
    }
}

TEST(Dib, SixteenBitsAndBitfields)
{
    Bytes info = Header(2, 1, 16);
    Bytes bits;
    bits.U16(0x7c00); // 5-5-5 red
    bits.U16(0x001f); // blue
    auto image = Decode(info, bits);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image->pixel(1, 0), qRgb(0, 0, 255));

    Bytes info565 = Header(1, 1, 16, 3);
    info565.U32(0xf800); info565.U32(0x07e0); info565.U32(0x001f);
    Bytes bits565;
    bits565.U16(0x07e0); bits565.U16(0);
    auto green = Decode(info565, bits565);
    ASSERT_TRUE(green);
    EXPECT_EQ(green->pixel(0, 0), qRgb(0, 255, 0));
}

TEST(Dib, AlphaIsKeptOnlyWhenAsked)
{
    Bytes info = Header(1, 1, 32);
    Bytes bits;
    bits.U8(0); bits.U8(0); bits.U8(128); bits.U8(128); // half-transparent red, premultiplied
    auto opaque = Decode(info, bits);
    ASSERT_TRUE(opaque);
    EXPECT_EQ(qAlpha(opaque->pixel(0, 0)), 255);
    auto blended = Decode(info, bits, true);
    ASSERT_TRUE(blended);
    EXPECT_EQ(qAlpha(blended->pixel(0, 0)), 128);
}

TEST(Dib, RunLengthEncodedEightBits)
{
    Bytes info = Header(4, 2, 8, 1, 2);
    Color(info, 0, 0, 0);
    Color(info, 255, 0, 0);
    Bytes bits;
    bits.U8(4); bits.U8(1);                   // bottom row: four red
    bits.U8(0); bits.U8(0);                   // end of line
    bits.U8(0); bits.U8(3); bits.U8(0); bits.U8(1); bits.U8(0); bits.U8(0); // absolute: black, red, black (+pad)
    bits.U8(0); bits.U8(1);                   // end of bitmap
    auto image = Decode(info, bits);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image->pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image->pixel(1, 0), qRgb(255, 0, 0));
}

TEST(Dib, RefusesBitsShorterThanTheRows)
{
    Bytes info = Header(100, 100, 24);
    Bytes bits;
    bits.U32(0);
    EXPECT_FALSE(Decode(info, bits));
    Bytes bad = Header(4, 4, 7);
    EXPECT_FALSE(Decode(bad, bits));
}

} // namespace
