#pragma once
// Pictures for composing in tests: deterministic, with areas of flat colour (runs of
// equal pixels), smooth ramps and sharp edges.
#include <QImage>

QImage MakePainting(int width, int height);
