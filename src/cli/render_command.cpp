// ambience-cli render: shows a pack author how a picture will look, by decoding a
// JPEG or playing a metafile into an image file.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "graphics/picture_file.h"
#include "graphics/bmp.h"
#include "graphics/jpeg.h"
#include "graphics/metafile/metafile.h"
#include "graphics/picture.h"
#include "graphics/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr qint64 MaxPictureFileBytes = qint64{256} << 20;
constexpr int MaxSide = 30000;

int Fail(const QString& text, int code = cli::ExitFailed)
{
    std::fprintf(stderr, "ambience-cli render: %s\n", text.toLocal8Bit().constData());
    return code;
}

bool ParseSize(const QString& text, QSize& size)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,6})[xX](\\d{1,6})$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return false;
    size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxSide && size.height() <= MaxSide;
}

// The loader chooses by extension; a file whose name does not say what it is
// (".jpeg", no extension) is recognised by its first bytes.
std::string PictureExtension(const QString& path, const std::vector<std::uint8_t>& data)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("wmf") || suffix == QLatin1String("emf"))
        return "." + suffix.toStdString();
    return graphics::LooksLikeJpeg(data) ? ".jpg" : ".emf";
}

std::string Describe(const graphics::Picture& picture)
{
    const std::string size = std::to_string(picture.Width()) + " x " + std::to_string(picture.Height());
    if (picture.IsRaster())
        return "JPEG picture, " + size + " pixels";
    const char* kind = picture.MetafileData()->IsEnhanced() ? "enhanced metafile" : "Windows metafile";
    return std::string(kind) + ", " + size + " pixels at 96 dpi";
}

core::Result<void> Save(const QImage& image, const QString& out)
{
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return graphics::SaveBmp(image, out);
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return graphics::SaveJpeg(image, out, 90);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return graphics::WriteFailure(out, EINVAL, "PNG encoding failed");
    return graphics::WritePictureFile(out, png);
}

int Render(const QStringList& args)
{
    QStringList positional;
    QSize size;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size")) {
            if (i + 1 >= args.size())
                return Fail(QStringLiteral("--size needs a value such as 1920x1080"), cli::ExitUsage);
            if (!ParseSize(args[++i], size))
                return Fail(QStringLiteral("\"%1\" is no size; use WIDTHxHEIGHT, each 1 to %2").arg(args[i]).arg(MaxSide),
                            cli::ExitUsage);
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2)
        return Fail(QStringLiteral("usage: ambience-cli render PICTURE OUT [--size WxH]"), cli::ExitUsage);
    const QString in = positional[0];
    const QString out = positional[1];
    const QString outSuffix = QFileInfo(out).suffix().toLower();
    if (outSuffix != QLatin1String("png") && outSuffix != QLatin1String("bmp") && outSuffix != QLatin1String("jpg")
        && outSuffix != QLatin1String("jpeg"))
        return Fail(QStringLiteral("%1: the output file must end in .png, .bmp or .jpg").arg(out), cli::ExitUsage);

    QFile file(in);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("Cannot read %1: %2").arg(in, file.errorString()));
    if (file.size() > MaxPictureFileBytes)
        return Fail(QStringLiteral("%1: the file is too large for a picture").arg(in));
    const QByteArray bytes = file.readAll();
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    const std::string extension = PictureExtension(in, data);

    std::string error;
    const graphics::Picture picture = graphics::LoadPictureData(std::move(data), extension, error);
    if (picture.IsEmpty())
        return Fail(in + QStringLiteral(": ") + QString::fromStdString(error));
    std::printf("%s: %s\n", in.toLocal8Bit().constData(), Describe(picture).c_str());

    if (!size.isValid()) {
        size = QSize(picture.Width(), picture.Height());
        if (size.width() <= 0 || size.height() <= 0)
            return Fail(QStringLiteral("%1: the picture has no size; give one with --size").arg(in));
        if (size.width() > MaxSide || size.height() > MaxSide)
            return Fail(QStringLiteral("%1: the picture is too large to render at its own size; give one with --size")
                            .arg(in));
    }
    QImage canvas(size, QImage::Format_RGB888);
    if (canvas.isNull())
        return Fail(QStringLiteral("not enough memory for %1 x %2 pixels").arg(size.width()).arg(size.height()));
    // Metafiles paint only what they draw; the rest shows as white paper.
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, true);
        picture.Draw(painter, QRect(QPoint(0, 0), size));
    }
    const core::Result<void> written = Save(canvas, out);
    if (!written.ok())
        return Fail(QString::fromStdString(written.error().text));
    std::printf("Rendered at %d x %d into %s\n", size.width(), size.height(), out.toLocal8Bit().constData());
    return cli::ExitDone;
}

const cli::Registrar registrar{{"render", "PICTURE OUT [--size WxH]",
                                "Decodes a JPEG or plays an EMF/WMF picture into a PNG, BMP or JPEG file, at its own "
                                "size or the given one.",
                                Render}};

} // namespace
