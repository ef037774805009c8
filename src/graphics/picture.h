#pragma once
// A picture object: empty, a 24-bit raster bitmap, or a metafile (EMF or WMF).
#include <QImage>
#include <QRect>

#include <memory>

class QPainter;

namespace graphics {

class Metafile;

class Picture {
public:
    Picture() = default;
    // A raster picture; the image is kept as QImage::Format_RGB888.
    static Picture FromImage(const QImage& image);
    static Picture FromMetafile(std::shared_ptr<const Metafile> metafile);

    bool IsEmpty() const { return image_.isNull() && !metafile_; }
    bool IsRaster() const { return !image_.isNull(); }
    bool IsMetafile() const { return static_cast<bool>(metafile_); }
    // Raster: pixels. Metafile: its natural size from the header's bounds, in
    // pixels at 96 dots per inch. 0 for an empty picture.
    int Width() const;
    int Height() const;

    const QImage& Image() const { return image_; }
    const std::shared_ptr<const Metafile>& MetafileData() const { return metafile_; }

    // Draws the whole picture stretched into target: a raster picture with
    // area-averaging stretching, a metafile played at that size painting only what
    // it draws. Output is clipped to the painter's device.
    void Draw(QPainter& painter, const QRect& target) const;

    void Clear();

private:
    QImage image_;
    std::shared_ptr<const Metafile> metafile_;
};

} // namespace graphics
