#pragma once
// Text output on the exposition the way the composer thinks of it: a current font
// (face, pixel height, colour, weight, angle), text cells placed by their top left
// corner, a transparent background, and a pen position that each text moves to
// its end. Every text drawn is also logged, so tests can check where it went.
#include "compose/color.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <vector>

namespace compose {

struct TextRecord {
    QString text;
    QPoint at;       // top left of the text's cell before turning
    QString face;    // as asked for
    int height = 0;  // as asked for: negative is the character height in pixels
    TColor colour = 0;
    bool bold = false;
    int angle = 0;   // degrees counter-clockwise
    QSize extent;    // advance width and cell height
};

// The font that stands in for a face name: the face itself when it is installed,
// else a text face of like build ("Impact" becomes a heavy condensed sans,
// "Arial" a sans of the same metrics), never a symbol font.
QFont ResolveFont(const QString& face, int pixelHeight, bool bold);

// Reads the list of installed fonts that ResolveFont consults. The first read
// takes milliseconds (the font configuration is parsed); a process that composes
// once may have it done on another thread while it loads the picture.
void LoadInstalledFonts();

class TCanvas {
public:
    explicit TCanvas(QImage& image) : image_(image) {}

    // height: negative for a character height in pixels (positive is taken the same
    // way); angle in degrees, counter-clockwise: at 90 the text runs upward from its
    // starting point and its cell extends to the right of it.
    void SetCanvasFont(const QString& face, int height, TColor colour, bool bold, int angle);

    QSize TextExtent(const QString& text) const;
    // Draws text with its cell's top left corner at (x, y) and moves the pen to the
    // end of the text along its direction.
    void TextOut(int x, int y, const QString& text);
    void MoveTo(int x, int y) { pen_ = QPoint(x, y); }
    QPoint Pen() const { return pen_; }

    const std::vector<TextRecord>& Log() const { return log_; }

private:
    QImage& image_;
    QFont font_;
    QString face_;
    int height_ = 0;
    TColor colour_ = 0;
    bool bold_ = false;
    int angle_ = 0;
    QPoint pen_;
    std::vector<TextRecord> log_;
};

} // namespace compose
