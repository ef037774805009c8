#pragma once
// TExpo composes one exposition: a screen-sized bitmap with the gradient
// background, the art picture placed and framed on it, its captions and the word
// mark; then writes it as the wallpaper file and makes it the desktop's wallpaper,
// or saves it for export. One TExpo serves one composition: its constructor draws
// every random colour and reads the settings, so refreshing the same picture twice
// gives two different expositions.
#include "compose/background.h"
#include "compose/canvas.h"
#include "compose/color.h"
#include "compose/pixels.h"
#include "compose/placement.h"
#include "compose/scheme.h"
#include "core/product.h"
#include "core/result.h"
#include "settings/settings.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class TSettings;
namespace graphics { class Picture; }

namespace compose {

struct PictureCaption;

// The settings a composition reads, copied when the TExpo is made.
struct ExpoSettings {
    // Values as in settings/settings.h.
    int BackgroundType = settings::BackgroundType::Original;
    int PictureOrientation = settings::PictureOrientation::Centered;
    int PictureSize = settings::PictureSize::Optimal;
    int ColorInfluence = settings::ColorInfluence::All;
    int ColorLightness = settings::ColorLightness::Optimal;
    int ColorSaturation = settings::ColorSaturation::Optimal;
    // For a desktop's dark style: the background (not the picture, its captions
    // or the word mark) is dimmed, as the darker lightness cannot reach a
    // background made of the picture itself.
    bool DarkStyle = false;
    // The product's names: the word mark, and the captions of the built-in picture.
    QString ProductName = ProductNames().ProductName;
    QString ProductTitle = ProductNames().ProductTitle;
    QString NoticeLine = ProductNames().NoticeLine;

    static ExpoSettings From(const TSettings& settings);
};

// The pixel passes of a composition. The fast ones are the default; tests and the
// benchmark put the straightforward reference passes in their place.
struct ExpoKernels {
    void (*PaintGradient)(PixelView, const GradientShape&, const Progress&) = &compose::PaintGradient;
    void (*FilterBackground)(PixelView, const TRect&, const GradientShape&, FilterParams, const Progress&) =
        &compose::FilterBackground;
    void (*DarkenFrame)(PixelView, const TRect&, int bandWidth, int inset, const Progress&) = &compose::DarkenFrame;
};

// Writes image as name ("ambience.bmp") in the user's data folder, atomically:
// a failed write leaves the old file. The file written, or an error naming it.
core::Result<QString> WriteWallpaperFile(const QImage& image, const QString& name);

// The word mark's text: the lower-case product name and the suffix of its address.
QString WordMarkName(const QString& productName);
QString WordMarkSuffix();

} // namespace compose

class TExpo {
public:
    // picture and record are borrowed and may be null (no picture; the built-in
    // picture has no record). callback receives -100 now and the progress values
    // later; may be empty. screenSize is the canvas size, workArea the part of the
    // screen not covered by panels (right and bottom exclusive via QRect's width
    // and height); an empty work area means the whole screen.
    TExpo(const graphics::Picture* picture, const compose::PictureCaption* record, compose::Progress callback, QSize screenSize,
          QRect workArea, const compose::ExpoSettings& settings);

    TExpo(const TExpo&) = delete;
    TExpo& operator=(const TExpo&) = delete;

    // Paints background, picture, captions and word mark, in that order. Fails
    // only when the canvas could not be made (a size that is not positive or too
    // large for memory).
    core::Result<void> Compose();

    // Saves Exposition as a JPEG file of quality 90, or as a BMP file when path
    // ends in ".bmp" (any letter case), atomically: a failed write leaves the old
    // file. The error names the file.
    core::Result<void> SaveAs(const QString& path) const;

    void UseKernels(const compose::ExpoKernels& kernels) { kernels_ = kernels; }

    // The steps of Compose, public for tests.
    void PaintBackground();
    void FilterBackground(double a, double b, bool takeGradientHue);
    void PlacePicture(int sizeClass, int anchor);
    // Draws the picture at PictureRect; where hole is given, not inside it.
    void DrawPicture(const compose::TRect* hole = nullptr);
    void DarkenFrame(bool inner);
    void DrawCaptions(const QString& title, const QString& credit);
    QSize DrawWordMark(const QString& face, int height, compose::TColor colour1, compose::TColor colour2, bool draw);
    void PlaceWordMark();
    compose::TColor GradientColor(int row) const;
    compose::GradientShape Shape() const;

    const QImage& Exposition() const { return exposition_; }
    compose::TCanvas& Canvas() { return canvas_; }
    // Every text drawn so far, in order.
    const std::vector<compose::TextRecord>& Texts() const { return canvas_.Log(); }

    // Fields fixed by the constructor (PictureRect changes with placement).
    const bool IsRaster;
    const int BackgroundType;
    const int PictureOrientation;
    const int PictureSize;
    const bool DarkStyle;
    compose::TRect WorkArea;
    compose::TRect PictureRect;
    compose::TColor BaseColor = 0;
    compose::TColor DarkColor = 0;
    compose::TColor LightColor = 0;
    double HorizonPosition = 0.5;
    double GradientExponent = 0.5;

private:
    bool HasUsablePicture() const;
    void DimBackground();
    void Report(int value) const;

    const graphics::Picture* picture_;
    const compose::PictureCaption* record_;
    compose::Progress callback_;
    QImage exposition_;
    compose::TCanvas canvas_;
    compose::ExpoKernels kernels_;
    QSize requested_;
    QString productName_;
    QString productTitle_;
    QString noticeLine_;
};
