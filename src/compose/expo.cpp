#include "compose/expo.h"

#include "core/product.h"
#include "core/random.h"
#include "compose/captions.h"
#include "graphics/bmp.h"
#include "graphics/jpeg.h"
#include "graphics/large_image.h"
#include "compose/parallel.h"
#include "graphics/picture.h"
#include "graphics/stretch.h"
#include "platform/folders.h"
#include "settings/settings.h"

#include <QDir>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace compose;

namespace compose {

ExpoSettings ExpoSettings::From(const TSettings& options)
{
    ExpoSettings s;
    s.BackgroundType = options.BackgroundType;
    s.PictureOrientation = options.PictureOrientation;
    s.PictureSize = options.PictureSize;
    s.ColorInfluence = options.ColorInfluence;
    s.ColorLightness = options.ColorLightness;
    s.ColorSaturation = options.ColorSaturation;
    return s;
}

QString WordMarkName(const QString& productName)
{
    return productName.toLower();
}

// The mark ends in the top-level domain of a web address; ours is a gallery's.
QString WordMarkSuffix() { return QStringLiteral(".art"); }

} // namespace compose

namespace {

constexpr TColor CaptionColour = Rgb(224, 224, 224);
// Font heights as the canvas takes them: negative, a character height in pixels.
constexpr int kCaptionHeight = -10;
constexpr int kWordMarkHeight = -23;

TRect FromQRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

} // namespace

TExpo::TExpo(const graphics::Picture* picture, const PictureCaption* record, Progress callback, QSize screenSize,
             QRect workArea, const ExpoSettings& settings)
    : IsRaster(picture && picture->IsRaster()),
      BackgroundType(settings.BackgroundType),
      PictureOrientation(settings.PictureOrientation),
      PictureSize(settings.PictureSize),
      DarkStyle(settings.DarkStyle),
      picture_(picture),
      record_(record),
      callback_(std::move(callback)),
      canvas_(exposition_),
      requested_(screenSize),
      productName_(settings.ProductName),
      productTitle_(settings.ProductTitle),
      noticeLine_(settings.NoticeLine)
{
    WorkArea = workArea.isEmpty() ? TRect{0, 0, screenSize.width(), screenSize.height()} : FromQRect(workArea);
    const ColorScheme scheme = DrawColorScheme(settings.ColorInfluence, settings.ColorLightness, settings.ColorSaturation);
    BaseColor = scheme.BaseColor;
    DarkColor = scheme.DarkColor;
    LightColor = scheme.LightColor;
    HorizonPosition = scheme.HorizonPosition;
    GradientExponent = scheme.GradientExponent;
    if (screenSize.width() > 0 && screenSize.height() > 0)
        exposition_ = graphics::NewLargeImage(screenSize.width(), screenSize.height(), QImage::Format_RGB888);
    Report(-100);
}

void TExpo::Report(int value) const
{
    if (callback_)
        callback_(value);
}

bool TExpo::HasUsablePicture() const
{
    return picture_ && !picture_->IsEmpty() && picture_->Width() > 0 && picture_->Height() > 0;
}

void TExpo::DimBackground()
{
    if (!DarkStyle || exposition_.isNull())
        return;
    const int width = exposition_.width() * 3;
    ParallelRows(0, exposition_.height(), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            uchar* line = exposition_.scanLine(y);
            for (int x = 0; x < width; ++x)
                line[x] = static_cast<uchar>(line[x] * 9 / 16);
        }
    });
}

GradientShape TExpo::Shape() const
{
    return {DarkColor, LightColor, HorizonPosition, GradientExponent, std::max(1, exposition_.height())};
}

TColor TExpo::GradientColor(int row) const { return compose::GradientColor(Shape(), row); }

void TExpo::PaintBackground()
{
    kernels_.PaintGradient(ViewOf(exposition_), Shape(), callback_);
}

void TExpo::FilterBackground(double a, double b, bool takeGradientHue)
{
    kernels_.FilterBackground(ViewOf(exposition_), PictureRect, Shape(), FilterParams{a, b, takeGradientHue, IsRaster},
                              callback_);
}

void TExpo::PlacePicture(int sizeClass, int anchor)
{
    PlacementInput in;
    in.canvasWidth = exposition_.width();
    in.canvasHeight = exposition_.height();
    in.workArea = WorkArea;
    in.pictureWidth = picture_ ? picture_->Width() : 1;
    in.pictureHeight = picture_ ? picture_->Height() : 1;
    in.isRaster = IsRaster;
    const int draw = sizeClass == Optimal ? RandomBelow(3) : 0;
    PictureRect = compose::PlacePicture(in, sizeClass, anchor, draw);
}

void TExpo::DrawPicture(const TRect* hole)
{
    if (!picture_ || PictureRect.Width() <= 0 || PictureRect.Height() <= 0 || exposition_.isNull())
        return;
    if (IsRaster) {
        // Straight into the canvas, rows split over the cores: each pixel of the
        // stretch depends only on its place in the whole target, so the bands (and
        // the parts beside a hole) join seamlessly and the result is the picture's
        // own Draw, pixel for pixel.
        const QImage& image = picture_->Image();
        const core::ConstPixelView src{image.constBits(), image.width(), image.height(), image.bytesPerLine()};
        const int x0 = std::max(PictureRect.left, 0);
        const int x1 = std::min(PictureRect.right, exposition_.width());
        const int y0 = std::max(PictureRect.top, 0);
        const int y1 = std::min(PictureRect.bottom, exposition_.height());
        if (x0 >= x1 || y0 >= y1)
            return;
        const PixelView canvas = ViewOf(exposition_);
        const auto stretch = [&](int left, int right, int top, int bottom) {
            if (left >= right || top >= bottom)
                return;
            const core::PixelView dst{canvas.Row(top) + 3 * left, right - left, bottom - top, canvas.stride};
            graphics::StretchRgb(src, PictureRect.Width(), PictureRect.Height(), left - PictureRect.left,
                                 top - PictureRect.top, dst);
        };
        ParallelRows(y0, y1, [&](int first, int last) {
            if (!hole) {
                stretch(x0, x1, first, last);
                return;
            }
            const int top = std::clamp(hole->top, first, last);
            const int bottom = std::clamp(hole->bottom, top, last);
            stretch(x0, x1, first, top);
            stretch(x0, std::clamp(hole->left, x0, x1), top, bottom);
            stretch(std::clamp(hole->right, x0, x1), x1, top, bottom);
            stretch(x0, x1, bottom, last);
        });
        return;
    }
    QPainter painter(&exposition_);
    painter.setClipRect(exposition_.rect());
    picture_->Draw(painter, QRect(PictureRect.left, PictureRect.top, PictureRect.Width(), PictureRect.Height()));
}

void TExpo::DarkenFrame(bool inner)
{
    const double w = PictureRect.Width();
    const double h = PictureRect.Height();
    const int e = static_cast<int>(std::sqrt(w * h) / (12 + RandomBelow(2)));
    const int inset = inner ? e * 2 / 5 : 0;
    kernels_.DarkenFrame(ViewOf(exposition_), PictureRect, e, inset, callback_);
}

void TExpo::DrawCaptions(const QString& title, const QString& credit)
{
    const int W = exposition_.width();
    const int H = exposition_.height();
    canvas_.SetCanvasFont(QStringLiteral("Impact"), kCaptionHeight, CaptionColour, false, 90);
    if (PictureSize == Maximum) {
        canvas_.TextOut(WorkArea.right - W / 40 - 12, WorkArea.bottom - H / 70 - 30,
                        SpaceLetters(title + QLatin1Char(' ') + credit, 1));
        return;
    }
    canvas_.TextOut(PictureRect.right, PictureRect.bottom - W / 250,
                    SpaceLetters(PictureOrientation == settings::PictureOrientation::BottomRight ? title : credit, 1));
    if (PictureOrientation != settings::PictureOrientation::BottomRight) {
        canvas_.SetCanvasFont(QStringLiteral("Impact"), kCaptionHeight, CaptionColour, false, 0);
        canvas_.TextOut(PictureRect.left + W / 250, PictureRect.bottom, SpaceLetters(title, 1));
    }
}

QSize TExpo::DrawWordMark(const QString& face, int height, TColor colour1, TColor colour2, bool draw)
{
    const QString name = WordMarkName(productName_);
    const QString suffix = WordMarkSuffix();
    canvas_.SetCanvasFont(face, height, colour1, false, 0);
    QSize size = canvas_.TextExtent(name);
    if (draw) {
        canvas_.TextOut(canvas_.Pen().x(), canvas_.Pen().y(), name.left(4));
        canvas_.SetCanvasFont(face, height, colour2, false, 0);
        canvas_.TextOut(canvas_.Pen().x() + 1, canvas_.Pen().y(), name.mid(4));
    }
    colour2 = AdjustLuminance(colour2, -7);
    canvas_.SetCanvasFont(QStringLiteral("Arial"), static_cast<int>(height * 0.66), colour2, true, 0);
    const QSize suffixSize = canvas_.TextExtent(suffix);
    size.rwidth() += suffixSize.width() + 2;
    if (draw) {
        canvas_.MoveTo(canvas_.Pen().x(), canvas_.Pen().y() + size.height() - suffixSize.height() - 1);
        canvas_.TextOut(canvas_.Pen().x() + 1, canvas_.Pen().y(), suffix);
    }
    return size;
}

void TExpo::PlaceWordMark()
{
    const int W = exposition_.width();
    const int H = exposition_.height();
    const QString face = RandomBelow(5) != 0 ? QStringLiteral("Impact") : QStringLiteral("Arial");
    const QSize size = DrawWordMark(face, kWordMarkHeight, Rgb(192, 192, 192), Rgb(255, 255, 255), false);
    int x = WorkArea.right - W / 40 - size.width();
    int y = WorkArea.bottom - H / 70 - size.height();
    if (PictureOrientation == settings::PictureOrientation::BottomRight && PictureRect.left != 0) {
        if (PictureRect.left < x)
            x = PictureRect.left + W / 250;
        y = PictureRect.bottom - W / 300;
    }
    canvas_.MoveTo(x, y);
    const Hls base = RgbToHls(BaseColor);
    const TColor tint = HlsToRgb(base.h, static_cast<int>(base.l * 1.3), static_cast<int>(base.s * 1.3));
    DrawWordMark(face, kWordMarkHeight, tint, Rgb(240, 240, 240), true);
}

core::Result<void> TExpo::Compose()
{
    if (exposition_.isNull())
        return core::MakeError(
            8, QStringLiteral("Cannot make an exposition of %1 x %2 pixels: the size is not usable or too large.")
                   .arg(requested_.width())
                   .arg(requested_.height())
                   .toStdString());
    // A raster picture drawn to cover the canvas hides the gradient entirely:
    // painting it first would be work nobody sees (placing at cover size draws no
    // random number, so the order of the draws stays as it is).
    const bool coverBackground = HasUsablePicture() && BackgroundType != settings::BackgroundType::Solid;
    bool covered = false;
    if (coverBackground && IsRaster) {
        PlacePicture(CoverSize, 0);
        covered = PictureRect.left <= 0 && PictureRect.top <= 0 && PictureRect.right >= exposition_.width()
                  && PictureRect.bottom >= exposition_.height();
    }
    if (!covered) {
        PaintBackground();
    } else {
        // The gradient's share of the progress, as if it had been painted.
        for (int y = 0; y < exposition_.height(); y += 50)
            Report(0);
    }
    if (!HasUsablePicture() || BackgroundType == settings::BackgroundType::Solid)
        DimBackground();
    // Over a cover nothing filters, the picture hides the part of the cover under
    // it, which is then left undrawn. Placing the picture first draws the same
    // random numbers in the same order: drawing the cover draws none.
    const bool placedFirst = covered && BackgroundType == settings::BackgroundType::Original
                             && PictureOrientation != settings::PictureOrientation::Collage;
    const int anchor = PictureOrientation == settings::PictureOrientation::BottomRight ? 1 : 0;
    TRect placed;
    if (placedFirst) {
        const TRect cover = PictureRect;
        PlacePicture(PictureSize, anchor);
        placed = PictureRect;
        PictureRect = cover;
    }
    if (HasUsablePicture()) {
        if (coverBackground) {
            if (!IsRaster)
                PlacePicture(CoverSize, 0);
            DrawPicture(placedFirst ? &placed : nullptr);
            if (BackgroundType == settings::BackgroundType::Shaded)
                FilterBackground(0.97, 0.6, false);
            else if (BackgroundType == settings::BackgroundType::Embossed)
                FilterBackground(0.9, 0.25, true);
            else if (BackgroundType == settings::BackgroundType::Smoothed)
                FilterBackground(IsRaster ? 4 : 5, 48, true);
            DimBackground();
        }
        if (PictureOrientation == settings::PictureOrientation::Collage) {
            PlacePicture(PictureSize == Maximum ? Optimal : Smaller, 1);
            DrawPicture();
            if (IsRaster)
                DarkenFrame(RandomBelow(12) != 0);
        }
        if (placedFirst)
            PictureRect = placed;
        else
            PlacePicture(PictureSize, anchor);
        DrawPicture();
        if (IsRaster)
            DarkenFrame(PictureSize != Maximum);
        if (record_)
            DrawCaptions(TitleLine(*record_), CreditLine(*record_));
        else
            DrawCaptions(productTitle_, noticeLine_);
    }
    PlaceWordMark();
    return core::Ok();
}

core::Result<QString> compose::WriteWallpaperFile(const QImage& image, const QString& name)
{
    const QString folder = platform::GetSpecialFolder(platform::CSIDL_APPDATA);
    if (folder.isEmpty())
        return core::MakeError(3, "Cannot write the wallpaper: no folder for the user's data could be found.");
    const QString file = folder + name;
    if (!QDir().mkpath(folder))
        return core::MakeError(
            3, QStringLiteral("Cannot write %1: the folder %2 cannot be created.").arg(file, folder).toStdString());
    if (image.isNull())
        return core::MakeError(87, QStringLiteral("Cannot write %1: there is no exposition.").arg(file).toStdString());
    AMBIENCE_TRY(graphics::SaveBmp(image, file));
    return file;
}

core::Result<void> TExpo::SaveAs(const QString& path) const
{
    if (exposition_.isNull())
        return core::MakeError(87, QStringLiteral("Cannot write %1: there is no exposition.").arg(path).toStdString());
    return path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? graphics::SaveBmp(exposition_, path)
                                                                      : graphics::SaveJpeg(exposition_, path, 90);
}
