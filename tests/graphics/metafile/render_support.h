#pragma once
// Rendering a metafile into an image for tests, and comparing images.
#include "graphics/metafile/metafile.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_metafile {

std::vector<std::uint8_t> ReadFileBytes(const QString& path);
std::shared_ptr<const graphics::Metafile> LoadBytes(const std::vector<std::uint8_t>& data, std::string* error = nullptr);

// The metafile played into the whole of a size x size image filled with background first.
QImage Render(const graphics::Metafile& m, int width, int height, QColor background = Qt::white);
// The metafile played into target on an image of the given size.
QImage RenderInto(const graphics::Metafile& m, QSize size, const QRectF& target, QColor background = Qt::white);

struct Difference {
    double meanAbsolute = 0; // mean over pixels and channels, 0..255
    double farShare = 0;     // share of pixels with a channel off by more than 64
};
// Both images must be the same size.
Difference Compare(const QImage& a, const QImage& b);

} // namespace testing_metafile
