#pragma once

namespace zentor {

// A rectangle of control pixels. As in every fill of the display, the right and bottom edges
// lie just outside: a fill covers x in [left, right) and y in [top, bottom).
struct IntRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    // True when (x, y) lies inside, right and bottom edges excluded.
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const IntRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Where the parts of a bar display lie, worked out from the control's place and size on every
// paint. The plot takes the middle 70 % in each direction; the strips around it carry the axis
// numbers, the mouse readout and the reference line captions.
struct BarGeometry
{
    // The control's outer box: its left and top, its width less its left, its height less its
    // top (a display placed at (0, 0) of its panel has the box of the whole control).
    int OuterLeft = 0;
    int OuterTop = 0;
    int OuterRight = 0;
    int OuterBottom = 0;
    int OuterWidth = 0;
    int OuterHeight = 0;

    IntRect PlotRect; // the bars' area
    int PlotWidth = 0;
    int PlotHeight = 0;

    IntRect LeftAxisStrip;    // left axis numbers
    IntRect RightAxisStrip;   // right axis numbers
    IntRect BottomAxisStrip;  // bottom axis numbers
    IntRect ReadoutStrip;     // mouse readout, just above the plot
    IntRect TopMarginStrip;   // vertical reference line captions
    IntRect RightMarginStrip; // horizontal reference line captions

    bool plotEmpty() const { return PlotWidth <= 0 || PlotHeight <= 0; }
};

// The geometry of a control at (left, top) of its parent with the given size. Every real
// result is truncated toward zero.
BarGeometry computeBarGeometry(int left, int top, int width, int height);

// The cell of the left caption, which reads upward in a font kLeftCaptionHeight high: centred on
// the first quarter of the left margin and, `textWidth` long, on the control's middle row.
constexpr int kLeftCaptionHeight = 14;
IntRect leftCaptionCell(const BarGeometry& geometry, int textWidth);

} // namespace zentor
