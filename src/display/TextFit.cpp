#include "display/TextFit.h"

#include <algorithm>

namespace zentor {

namespace {

constexpr int kFirstDivisor = 12;
constexpr int kLastWideDivisor = 22; // the last divisor tried whatever the font height
constexpr int kDivisorStep = 2;
constexpr int kAxisGap = 4; // pixels between the numbers and the plot

int fitLeftOf(int startHeight, int centreX, int limit, const TextWidthAt& width)
{
    int height = std::max(startHeight, kSmallestCaptionHeight);
    while (height > kSmallestCaptionHeight && centreX - width(height) / 2 < limit)
        --height;
    return height;
}

} // namespace

AxisFont fitAxisFont(int plotHeight, int plotLeft, int outerLeft, const TextWidthAt& widest)
{
    const int limit = (plotLeft + outerLeft) / 2;
    AxisFont font;
    for (int d = kFirstDivisor;; d += kDivisorStep) {
        const int height = plotHeight / d;
        if (d > kLastWideDivisor && height < kSmallestAxisFontHeight)
            break;
        font = {height, plotLeft - widest(height) - kAxisGap};
        if (limit <= font.labelX)
            break;
    }
    return font;
}

int fitCaptionHeight(int startHeight, int centreX, int plotLeft, int outerLeft,
                     const TextWidthAt& width)
{
    const int height = fitLeftOf(startHeight, centreX, plotLeft, width);
    if (height >= kReadableCaptionHeight)
        return height;
    return fitLeftOf(startHeight, centreX, outerLeft + kOuterCaptionGap, width);
}

} // namespace zentor
