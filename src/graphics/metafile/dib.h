#pragma once
// Device-independent bitmaps as metafiles carry them: a BITMAPINFOHEADER (or the older
// BITMAPCOREHEADER, or the V4/V5 headers) with its colour table, and the pixel rows.
#include "core/byte_cursor.h"

#include <QImage>

#include <optional>

namespace graphics::metafile {
using core::ByteCursor;

// Largest bitmap decoded, in pixels; sizes are checked against the data before any
// allocation anyway.
constexpr std::uint64_t kMaxDibPixels = 1u << 26;

enum DibUsage : std::uint32_t { kDibRgbColors = 0, kDibPalColors = 1 };

// Header and colour table in info, pixel data in bits. alpha: keep the fourth byte of
// 32-bit pixels as (premultiplied) alpha, as AlphaBlend uses it; otherwise the bitmap is
// opaque. None when the bitmap is damaged or of a kind not handled.
std::optional<QImage> DecodeDib(ByteCursor info, ByteCursor bits, std::uint32_t usage, bool alpha = false);

// A packed DIB (WMF): header, colour table and pixels one after another.
std::optional<QImage> DecodePackedDib(ByteCursor dib, std::uint32_t usage);

} // namespace graphics::metafile
