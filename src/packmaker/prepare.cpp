#include "packmaker/prepare.h"

#include "graphics/exif_orientation.h"
#include "graphics/jpeg.h"
#include "graphics/metafile/metafile.h"
#include "graphics/stretch.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace packmaker {
namespace {

constexpr int kQuality = 92;

// A file opened by its name's bytes as they are: a name that is not valid UTF-8
// (a Latin-1 "café.jpg") would not survive a round trip through QString.
bool OpenRaw(const std::string& path, QFile& file, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = "cannot be read: " + file.errorString().toStdString();
        return false;
    }
    return true;
}

bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    QFile file;
    if (!OpenRaw(path, file, error))
        return false;
    const qint64 size = file.size();
    bytes.resize(static_cast<std::size_t>(std::max<qint64>(size, 0)));
    if (size > 0 && file.read(reinterpret_cast<char*>(bytes.data()), size) != size) {
        error = "cannot be read: " + file.errorString().toStdString();
        return false;
    }
    return true;
}

bool WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    // Plain POSIX calls, so that the reason (a full disk, a size limit) is the
    // system's own.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const int code = fd < 0 || done < bytes.size() ? (errno ? errno : EIO) : 0;
    if (fd >= 0)
        ::close(fd);
    if (code != 0) {
        error = "cannot write the reduced picture to " + path + ": " + std::strerror(code);
        return false;
    }
    return true;
}

// Qt's transformation flags as the EXIF orientation number they stand for.
int OrientationOf(QImageIOHandler::Transformations t)
{
    switch (static_cast<int>(t)) {
    case QImageIOHandler::TransformationMirror: return 2;
    case QImageIOHandler::TransformationRotate180: return 3;
    case QImageIOHandler::TransformationFlip: return 4;
    case QImageIOHandler::TransformationFlipAndRotate90: return 5;
    case QImageIOHandler::TransformationRotate90: return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90: return 7;
    case QImageIOHandler::TransformationRotate270: return 8;
    default: return 1;
    }
}

// Packs 32-bit pixels into 24-bit RGB inside the same buffer, row by row (a
// pixel's three bytes never reach past its own four), laying transparent pixels
// on white. Saves a second full-size copy of a large picture. The rows keep the
// image's own stride.
core::ConstPixelView PackRgbInPlace(QImage& image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32
        && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    const bool opaque = image.format() == QImage::Format_RGB32;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* row = image.scanLine(y);
        const auto* in = reinterpret_cast<const std::uint32_t*>(row);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = in[x];
            std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            const std::uint32_t a = p >> 24;
            if (!opaque && a != 255) {
                // Over white: c*a + 255*(1-a); premultiplied pixels hold c*a already.
                const std::uint32_t rest = 255 - a;
                if (premultiplied) {
                    r += rest, g += rest, b += rest;
                } else {
                    r = (r * a + 255 * rest + 127) / 255;
                    g = (g * a + 255 * rest + 127) / 255;
                    b = (b * a + 255 * rest + 127) / 255;
                }
            }
            row[3 * x] = static_cast<std::uint8_t>(std::min<std::uint32_t>(r, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::min<std::uint32_t>(g, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::min<std::uint32_t>(b, 255));
        }
    }
    return {image.constBits(), width, image.height(), image.bytesPerLine()};
}

// Reduces (or copies) the pixels to fit maxSide, turns them upright, encodes them.
bool ReduceAndEncode(core::ConstPixelView pixels, int orientation, int maxSide, const std::string& outputPath,
                     PreparedPicture& result)
{
    int w = 0, h = 0;
    FitInto(pixels.width, pixels.height, maxSide, w, h);
    QImage reduced(w, h, QImage::Format_RGB888);
    if (reduced.isNull()) {
        result.Error = "not enough memory for a picture of " + std::to_string(w) + " x " + std::to_string(h);
        return false;
    }
    graphics::StretchRgb(pixels, w, h, 0, 0, {reduced.bits(), w, h, reduced.bytesPerLine()});
    if (orientation != 1)
        reduced = graphics::ApplyOrientation(reduced, orientation);
    result.OutWidth = reduced.width();
    result.OutHeight = reduced.height();
    std::vector<std::uint8_t> jpeg;
    std::string error;
    if (!graphics::EncodeJpeg(reduced, kQuality, jpeg, error)) {
        result.Error = error;
        return false;
    }
    reduced = QImage();
    if (!WriteWhole(outputPath, jpeg, result.Error))
        return false;
    result.DataPath = outputPath;
    return true;
}

void PrepareJpeg(const SourceFile& source, int maxSide, const std::string& outputPath, PreparedPicture& result)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(source.Path, bytes, result.Error))
        return;
    const int orientation = graphics::JpegExifOrientation(bytes);
    graphics::JpegImage decoded = graphics::DecodeJpeg(bytes);
    if (!decoded.ok()) {
        result.Error = "cannot be decoded: " + decoded.message;
        return;
    }
    result.Width = decoded.image.width();
    result.Height = decoded.image.height();
    if (orientation == 1 && std::max(result.Width, result.Height) <= maxSide) {
        result.AsIs = true;
        result.DataPath = source.Path;
        result.OutWidth = result.Width;
        result.OutHeight = result.Height;
        result.Ok = true;
        return;
    }
    bytes = {};
    const QImage& image = decoded.image;
    result.Ok = ReduceAndEncode({image.constBits(), image.width(), image.height(), image.bytesPerLine()},
                                orientation, maxSide, outputPath, result);
}

void PrepareRaster(const SourceFile& source, int maxSide, const std::string& outputPath, PreparedPicture& result)
{
    QFile file;
    if (!OpenRaw(source.Path, file, result.Error))
        return;
    const std::size_t dot = source.Path.rfind('.');
    QImageReader reader(&file, dot == std::string::npos ? QByteArray() : QByteArray::fromStdString(source.Path.substr(dot + 1)).toLower());
    reader.setAutoTransform(false); // turned after reducing, on the smaller picture
    const int orientation = OrientationOf(reader.transformation());
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        result.Error = "cannot be decoded: " + reader.errorString().toStdString();
        return;
    }
    result.Width = image.width();
    result.Height = image.height();
    const core::ConstPixelView pixels = image.format() == QImage::Format_RGB888
                                              ? core::ConstPixelView{image.constBits(), image.width(), image.height(),
                                                                       image.bytesPerLine()}
                                              : PackRgbInPlace(image);
    result.Ok = ReduceAndEncode(pixels, orientation, maxSide, outputPath, result);
}

void PrepareMetafile(const SourceFile& source, PreparedPicture& result)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(source.Path, bytes, result.Error))
        return;
    std::string error;
    if (!graphics::Metafile::Load(std::move(bytes), error)) {
        result.Error = "is no metafile this program can show" + (error.empty() ? std::string() : ": " + error);
        return;
    }
    result.AsIs = true;
    result.DataPath = source.Path;
    result.Ok = true;
}

} // namespace

void FitInto(int width, int height, int maxSide, int& outWidth, int& outHeight)
{
    outWidth = width;
    outHeight = height;
    const int longer = std::max(width, height);
    if (longer <= maxSide || longer <= 0)
        return;
    const double scale = static_cast<double>(maxSide) / longer;
    outWidth = std::clamp(static_cast<int>(std::lround(width * scale)), 1, maxSide);
    outHeight = std::clamp(static_cast<int>(std::lround(height * scale)), 1, maxSide);
}

PreparedPicture PreparePicture(const SourceFile& source, int maxSide, const std::string& outputPath)
{
    PreparedPicture result;
    switch (source.Kind) {
    case SourceKind::Jpeg:
        result.Extension = ".jpg";
        PrepareJpeg(source, maxSide, outputPath, result);
        break;
    case SourceKind::Raster:
        result.Extension = ".jpg";
        PrepareRaster(source, maxSide, outputPath, result);
        break;
    case SourceKind::Metafile:
        result.Extension = QFileInfo(QString::fromStdString(source.Path)).suffix().toLower() == QLatin1String("wmf")
                               ? ".wmf"
                               : ".emf";
        PrepareMetafile(source, result);
        break;
    }
    return result;
}

} // namespace packmaker
