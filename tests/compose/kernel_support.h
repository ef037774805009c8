#pragma once
// Helpers for comparing the fast pixel passes with the reference ones.
#include "compose/pixels.h"

#include <QImage>

#include <vector>

// Records every progress value a pass reports.
struct ProgressLog {
    std::vector<int> values;
    compose::Progress Callback()
    {
        return [this](int v) { values.push_back(v); };
    }
};

// An RGB888 image of random-looking pixels with runs of equal ones, from a seed.
inline QImage NoiseImage(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB888);
    unsigned state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            if (x % 7 != 3) {
                state = state * 1664525u + 1013904223u;
            }
            p[0] = std::uint8_t(state >> 24);
            p[1] = std::uint8_t(state >> 16);
            p[2] = std::uint8_t(state >> 8);
        }
    }
    return image;
}
