#include "display/BarPlacement.h"

#include "display/BarScale.h"

#include <algorithm>

namespace zentor {

namespace {
constexpr int kLabelRise = 20; // pixels between a label's origin and its bar's top
}

int ColumnUse::place(int column)
{
    if (column < 0 || column >= kColumns)
        return column;
    std::uint16_t& counter = counters_[static_cast<std::size_t>(column)];
    if (counter == 0) {
        counter = 1;
        return column;
    }
    if (counter == 1) {
        ++counter;
        return column + kShiftPixels;
    }
    return column - kShiftPixels;
}

std::uint16_t ColumnUse::count(int column) const
{
    if (column < 0 || column >= kColumns)
        return 0;
    return counters_[static_cast<std::size_t>(column)];
}

int barHalfWidth(int plotWidth, int barWidthDivisor, double xMax)
{
    const double share = 2.0 * barWidthDivisor * (xMax + 1.0);
    // A range that leaves no room per position, or a nonsensical one, still shows thin bars.
    if (!(share > 0.0))
        return 1;
    const double halfWidth = plotWidth / share;
    if (!(halfWidth >= 1.0))
        return 1;
    return truncateToPixel(halfWidth);
}

std::optional<BarPlacement> placeBar(const BarModel& model, const BarGeometry& geometry,
                                     ColumnUse& columns, double position, double value)
{
    if (geometry.plotEmpty())
        return std::nullopt;
    const IntRect& plot = geometry.PlotRect;
    const int x = valueToPixel(model, geometry, kHorizontalAxis, position);
    if (x < plot.left || x > plot.right)
        return std::nullopt;
    const int y =
        std::clamp(valueToPixel(model, geometry, kVerticalAxis, value), plot.top, plot.bottom);

    BarPlacement bar;
    bar.px = columns.place(x - plot.left);
    bar.py = y - plot.top;
    const int hw = barHalfWidth(geometry.PlotWidth, model.BarWidthDivisor, model.XMax);
    bar.rect = {bar.px - hw, bar.py, bar.px + hw, geometry.PlotHeight};
    return bar;
}

LabelPlacement placeBarLabel(const BarPlacement& bar, int textWidth, int textHeight, bool vertical)
{
    const int x = vertical ? bar.px - textHeight / 2 : bar.px - textWidth / 2;
    // How far the label reaches above its y, below it, and across the bar.
    const int rise = vertical ? textWidth : 0;
    const int drop = vertical ? 0 : textHeight;
    const int across = vertical ? textHeight : textWidth;
    const int above = bar.py - kLabelRise;
    if (above - rise >= 0)
        return {x, above, false};
    const int onBar = bar.py + kLabelInset + rise;
    if (onBar + drop <= bar.rect.bottom && across <= bar.rect.width())
        return {x, onBar, true};
    return {x, std::max(above, rise), false};
}

} // namespace zentor
