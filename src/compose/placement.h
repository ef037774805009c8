#pragma once
// Where the art picture goes and the darkened band that frames it.
#include "compose/pixels.h"

namespace compose {

// Size classes of PlacePicture: the PictureSize values, then the cover size of the
// background picture.
enum SizeClass { Smaller = 0, Optimal = 1, Larger = 2, Maximum = 3, CoverSize = 4 };

struct PlacementInput {
    int canvasWidth = 0;
    int canvasHeight = 0;
    TRect workArea;            // right and bottom exclusive
    double pictureWidth = 1;   // in the picture's own units; only the ratio counts
    double pictureHeight = 1;
    bool isRaster = false;
};

// The picture's rectangle for a size class and an anchor (1: lower right of the work
// area, anything else: centred). optimalDraw is the RandomBelow(3) that enlarges
// the Optimal size by 45..47 %; the other classes ignore it.
TRect PlacePicture(const PlacementInput& in, int sizeClass, int anchor, int optimalDraw);

// The cover-size rectangle: the canvas grown by a thirtieth on every side.
TRect CoverRect(int width, int height);

// Darkens a band of width bandWidth around picture, and inside it the outer inset
// pixels of the picture, to two thirds of their luminance and half their
// saturation. Reports (y - top) * 100 / height for the band's rows that are
// multiples of 10, from above the picture to below it.
void DarkenFrame(PixelView canvas, const TRect& picture, int bandWidth, int inset, const Progress& progress);

} // namespace compose
