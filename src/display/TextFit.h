#pragma once

#include "display/BarGeometry.h"

#include <functional>
#include <vector>

namespace zentor {

// Width in pixels of a fixed text in the display's font at a font height (cell height, in
// pixels). Supplied by the painter, so the searches below are plain arithmetic.
using TextWidthAt = std::function<int(int fontHeight)>;

// The room of the left axis numbers: the plot's place, the control's left edge and the left
// caption's cell, which the numbers keep clear of.
struct AxisRoom
{
    int plotTop = 0;
    int plotHeight = 0;
    int plotLeft = 0;
    int outerLeft = 0;
    IntRect caption;
    int intervals = 10; // grid intervals: one number more than these
};

// The left axis numbers' font and the top-left corner of each number's cell, top to bottom.
struct AxisLayout
{
    int fontHeight = 0;
    std::vector<int> x;
    std::vector<int> y;
};

// Widths in pixels of the numbers drawn, top to bottom, at a font height.
using TextWidthsAt = std::function<std::vector<int>(int fontHeight)>;

// Lays out the left axis numbers, one on each grid line (number s of intervals + 1 centred on
// row s x plotHeight / intervals of the plot). The font is the largest of plotHeight / d for
// d = 12, 14, ... 22 whose texts, `widestEnd` wide and all starting `widestEnd` + 4 pixels left
// of the plot, fit between the middle of the left margin and the plot. On a display too narrow
// for any of these the numbers stay readable: each ends 4 pixels left of the plot and may reach
// into the margin, as far as the control's left edge and, on the rows of the left caption, to
// kCaptionClearance right of its cell. Their font is then the larger of plotHeight / 22 and
// kReadableAxisFontHeight (no larger than plotHeight / 12), made smaller where the numbers
// would not fit so, down to kSmallestAxisFontHeight.
constexpr int kReadableAxisFontHeight = 10;
constexpr int kSmallestAxisFontHeight = 6;
constexpr int kCaptionClearance = 2;
AxisLayout layOutAxisNumbers(const AxisRoom& room, const TextWidthAt& widestEnd,
                             const TextWidthsAt& numbers);

// The height of a caption centred on `centreX`: from `startHeight` down by one while the text
// would begin left of `plotLeft`; never below kSmallestCaptionHeight. When that leaves it less
// than kReadableCaptionHeight high (a long title over a narrow plot), the caption may reach
// over the margins: the same search with the limit at outerLeft + kOuterCaptionGap.
constexpr int kSmallestCaptionHeight = 5;
constexpr int kReadableCaptionHeight = 10;
constexpr int kOuterCaptionGap = 2;
int fitCaptionHeight(int startHeight, int centreX, int plotLeft, int outerLeft,
                     const TextWidthAt& width);

} // namespace zentor
