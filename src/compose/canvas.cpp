#include "compose/canvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace compose {
namespace {

struct Substitute {
    const char* family;
    bool heavy;         // the stand-in needs bold to look like the original
    bool condensed;
};

// Faces the composer asks for and what may stand in for them, best first. A bare
// font configuration maps unknown names to whatever it likes, a dingbat face
// included, so the choice is made here among installed families.
std::vector<Substitute> SubstitutesFor(const QString& face)
{
    if (face.compare(QLatin1String("Impact"), Qt::CaseInsensitive) == 0)
        return {{"Impact", false, false},
                {"Liberation Sans Narrow", true, false},
                {"DejaVu Sans Condensed", true, false},
                {"Nimbus Sans Narrow", true, false},
                {"DejaVu Sans", true, true},
                {"Liberation Sans", true, true}};
    if (face.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return {{"Arial", false, false},
                {"Liberation Sans", false, false},
                {"Arimo", false, false},
                {"Nimbus Sans", false, false},
                {"DejaVu Sans", false, false}};
    return {{nullptr, false, false}};
}

// Asked for a few times per exposition; the installed fonts do not change meanwhile.
const QStringList& InstalledFonts()
{
    static const QStringList installed = QFontDatabase::families();
    return installed;
}

} // namespace

void LoadInstalledFonts()
{
    InstalledFonts();
}

QFont ResolveFont(const QString& face, int pixelHeight, bool bold)
{
    const QStringList& installed = InstalledFonts();
    QFont font;
    bool found = false;
    for (const Substitute& s : SubstitutesFor(face)) {
        const QString family = s.family ? QString::fromLatin1(s.family) : face;
        if (!installed.contains(family, Qt::CaseInsensitive))
            continue;
        font = QFont(family);
        font.setWeight(bold || s.heavy ? QFont::Bold : QFont::Normal);
        if (s.condensed)
            font.setStretch(QFont::Condensed);
        found = true;
        break;
    }
    if (!found) {
        font = QFont(face);
        font.setStyleHint(QFont::SansSerif);
        font.setWeight(bold ? QFont::Bold : QFont::Normal);
    }
    font.setPixelSize(std::max(1, pixelHeight));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setKerning(true);
    return font;
}

void TCanvas::SetCanvasFont(const QString& face, int height, TColor colour, bool bold, int angle)
{
    face_ = face;
    height_ = height;
    colour_ = colour;
    bold_ = bold;
    angle_ = angle;
    font_ = ResolveFont(face, std::abs(height), bold);
}

QSize TCanvas::TextExtent(const QString& text) const
{
    const QFontMetrics metrics(font_);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    const QSize extent = TextExtent(text);
    log_.push_back({text, QPoint(x, y), face_, height_, colour_, bold_, angle_, extent});
    if (!text.isEmpty() && !image_.isNull()) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(font_);
        painter.setPen(QColor(Red(colour_), Green(colour_), Blue(colour_)));
        painter.translate(x, y);
        painter.rotate(-angle_);
        painter.drawText(QPoint(0, QFontMetrics(font_).ascent()), text);
    }
    const double radians = angle_ * M_PI / 180.0;
    pen_ = QPoint(x + static_cast<int>(std::lround(extent.width() * std::cos(radians))),
                  y - static_cast<int>(std::lround(extent.width() * std::sin(radians))));
}

} // namespace compose
