#pragma once

#include <QLine>
#include <QPoint>
#include <QRect>

namespace qelvaro {

// Window layouts are given in twips; the screen is laid out at 96 dpi, where a pixel is 15 twips.
inline constexpr int kTwipsPerPixel = 15;

// Nearest whole pixel, halves away from zero.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QPoint twipsPoint(int x, int y) { return {twipsToPixels(x), twipsToPixels(y)}; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

inline QLine twipsLine(int x1, int y1, int x2, int y2)
{
    return {twipsToPixels(x1), twipsToPixels(y1), twipsToPixels(x2), twipsToPixels(y2)};
}

}  // namespace qelvaro
