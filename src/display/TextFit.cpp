#include "display/TextFit.h"

#include <algorithm>

namespace zentor {

namespace {

constexpr int kFirstDivisor = 12;
constexpr int kLastDivisor = 22;
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

AxisLayout layOutAxisNumbers(const AxisRoom& room, const TextWidthAt& widestEnd,
                             const TextWidthsAt& numbers)
{
    const int intervals = std::max(room.intervals, 1);
    AxisLayout layout;
    const auto rowsAt = [&](int height) {
        layout.fontHeight = height;
        layout.y.clear();
        for (int s = 0; s <= intervals; ++s)
            layout.y.push_back(s * room.plotHeight / intervals + room.plotTop - height / 2);
    };

    const int limit = (room.plotLeft + room.outerLeft) / 2;
    for (int d = kFirstDivisor; d <= kLastDivisor; d += kDivisorStep) {
        const int height = room.plotHeight / d;
        const int labelX = room.plotLeft - widestEnd(height) - kAxisGap;
        if (limit <= labelX) {
            rowsAt(height);
            layout.x.assign(layout.y.size(), labelX);
            return layout;
        }
    }

    // A narrow display: each number ends kAxisGap left of the plot. True when none of them runs
    // off the control or into the caption.
    const auto placeAt = [&](int height) {
        rowsAt(height);
        const std::vector<int> widths = numbers(height);
        layout.x.clear();
        bool clear = true;
        for (std::size_t s = 0; s < layout.y.size(); ++s) {
            const int x = room.plotLeft - kAxisGap - (s < widths.size() ? widths[s] : 0);
            const int y = layout.y[s];
            const bool besideCaption = y < room.caption.bottom && y + height > room.caption.top;
            clear = clear && x >= room.outerLeft &&
                    (!besideCaption || x >= room.caption.right + kCaptionClearance);
            layout.x.push_back(x);
        }
        return clear;
    };
    const int readable = std::max(room.plotHeight / kLastDivisor, kReadableAxisFontHeight);
    int height =
        std::max(std::min(readable, room.plotHeight / kFirstDivisor), kSmallestAxisFontHeight);
    while (!placeAt(height) && height > kSmallestAxisFontHeight)
        --height;
    return layout;
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
