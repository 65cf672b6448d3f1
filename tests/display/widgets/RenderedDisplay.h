#pragma once

// Looking at a bar display as the screen shows it: the widget grabbed into an image on the
// offscreen platform, and counts of pixels of one colour.
#include "display/BarModel.h"
#include "display/CanvasText.h"
#include "display/DBar.h"
#include "ui/TestApplication.h"

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <algorithm>

namespace zentor::test {

inline QImage rendered(DBar& display)
{
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool hasColor(const QImage& image, int x, int y, WinColor color)
{
    return image.pixel(x, y) == toQColor(color).rgb();
}

// Pixels of `color` in the rectangle [left, right) x [top, bottom) of the control.
inline int countColor(const QImage& image, const IntRect& r, WinColor color)
{
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            n += hasColor(image, x, y, color);
    return n;
}

// Pixels in the rectangle of any colour but `background`.
inline int countOtherThan(const QImage& image, const IntRect& r, WinColor background)
{
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            n += !hasColor(image, x, y, background);
    return n;
}

// The smallest rectangle around the pixels of `color` inside `r`; empty when there are none.
inline QRect boundsOf(const QImage& image, const IntRect& r, WinColor color)
{
    QRect bounds;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            if (hasColor(image, x, y, color))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Text drawn on the plot: pixels that are neither the plot's white nor the grid's grey.
inline int countInk(const QImage& image, const IntRect& r)
{
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            n += !hasColor(image, x, y, kWhite) && !hasColor(image, x, y, kGrey);
    return n;
}

inline QRect inkBounds(const QImage& image, const IntRect& r)
{
    QRect bounds;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            if (!hasColor(image, x, y, kWhite) && !hasColor(image, x, y, kGrey))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace zentor::test
