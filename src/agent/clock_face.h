#pragma once
// The notification-area icon's picture: one of the two tray pictures (a small tile
// or a clock dial, 16 x 16 on magenta) and, on the dial, the two hands. Hands are
// drawn pixel by pixel so the result is the same everywhere.
#include <QImage>
#include <QPoint>
#include <QRgb>

namespace agent {

constexpr QRgb kKeyColour = 0xFFFF00FF;  // magenta: transparent in the icon
constexpr QRgb kHandColour = 0xFF000000; // black
constexpr QRgb kTipColour = 0xFFC0C0C0;  // silver: the hand's end pixel

// Nearest integer, halves upward (2.5 -> 3, -2.5 -> -2).
int RoundHalfUp(double value);

// The pivot of the hands: (width / 2 - 1, height / 2), pixel (7, 8) of a 16 x 16 icon.
QPoint HandCentre(const QImage& bitmap);
// Where a hand ends: fraction of a full turn clockwise from 12 o'clock (1 and more
// wrap around) and length in pixels.
QPoint HandEnd(const QImage& bitmap, double fraction, double length);
// A one-pixel line from `from` towards `to` that does not paint `to` itself, as
// line drawing usually leaves the end point out. Pixels outside the bitmap are skipped.
void DrawLine(QImage& bitmap, QPoint from, QPoint to, QRgb colour);
// One hand: a black line from the centre, its end pixel silver.
void DrawHand(QImage& bitmap, double fraction, double length);
// Hour hand (length 4) then minute hand (length 4.5) for the given time.
void DrawClockHands(QImage& bitmap, int hour, int minute);

// Tray picture 0 (the tile) or 1 (the dial), 16 x 16 in Format_RGB32 with a
// magenta background. An index outside the two gives picture 0.
QImage TrayPicture(int index);
// The icon for the icon setting (0 "no icon", 1 "a small icon", 2 "a small
// clock") at the given time: picture setting - 1 (0 for setting 0), hands for the
// clock, and every pixel of the bottom-left pixel's colour made transparent
// (Format_ARGB32).
QImage MakeIconImage(int autoChangeIcon, int hour, int minute);

} // namespace agent
