#pragma once
// Texts and sizes of the Packs page that follow from plain numbers: the pack count
// in words and the size of the preview for a picture's aspect ratio.
#include <QSize>
#include <QString>

namespace ui {

// English words for n: "none", "one" .. "nineteen", "twenty", "twenty one" ..
// "ninety nine"; from 100 on the decimal digits; empty for a negative n.
QString NumberToWords(int n);
// Upper-cases the first character of a non-empty text.
QString CapitalizeFirst(const QString& text);
// "  Three packs installed" for the list with nothing selected.
QString PackCountText(int installedPackCount);

// Preview size for a picture of pictureWidth x pictureHeight inside a window whose
// client area is clientHeight pixels high: aspect a = height / width (1 without a
// width), at most 2.8; width = clientHeight * 0.4 / sqrt(a), height = width * a,
// both cut towards zero.
QSize PreviewSize(int clientHeight, int pictureWidth, int pictureHeight);

} // namespace ui
