#pragma once

#include <functional>

namespace zentor {

// Width in pixels of a fixed text in the display's font at a font height (cell height, in
// pixels). Supplied by the painter, so the searches below are plain arithmetic.
using TextWidthAt = std::function<int(int fontHeight)>;

// The left axis numbers' font and start column.
struct AxisFont
{
    int fontHeight = 0;
    int labelX = 0;
};

// The largest font for the left axis numbers whose texts fit between the middle of the left
// margin and the plot: font heights plotHeight / d for d = 12, 14, ... 22, each placing the
// numbers `widest` + 4 pixels left of the plot. A narrow display, where none of these fits,
// goes on with d = 24, 26 ... as long as the font stays at least kSmallestAxisFontHeight high,
// so that its numbers neither run off the control nor over the left caption; when even that
// does not fit, the last font tried.
constexpr int kSmallestAxisFontHeight = 8;
AxisFont fitAxisFont(int plotHeight, int plotLeft, int outerLeft, const TextWidthAt& widest);

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
