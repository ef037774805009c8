#pragma once
// Helpers shared by the picture tests: test data, files, and an outside reader.
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

std::vector<std::uint8_t> ReadTestFile(const QString& name); // from tests/data/graphics
std::vector<std::uint8_t> ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::vector<std::uint8_t>& data);

// image (RGB888, or Grayscale8 for one component) encoded straight through
// libjpeg at quality: its defaults, or the luma sampling factors and restart
// interval given.
std::vector<std::uint8_t> EncodeWithLibjpeg(const QImage& image, int quality, int hSampling = 2, int vSampling = 2,
                                            int restartRows = 0);

// Mean absolute difference per channel of two equally large images.
double MeanDifference(const QImage& a, const QImage& b);

// Reads a picture file with ImageMagick into RGB888; null when ImageMagick is missing
// or cannot read it.
QImage ReadWithImageMagick(const QString& path);
bool HaveImageMagick();

// A placeable Windows metafile of 100 x 100 units at 96 units an inch that fills
// only its left half with red, without an outline.
std::vector<std::uint8_t> HalfRedWmf();
