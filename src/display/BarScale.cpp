#include "display/BarScale.h"

#include "core/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace zentor {

namespace {
// Far beyond any control, and far from overflowing when a few pixels are added to it.
constexpr double kPixelLimit = 1 << 30;
} // namespace

double perPixel(double span, int extentPixels)
{
    return extentPixels <= 0 ? 1.0 : span / extentPixels;
}

void recomputePerPixel(BarModel& model, const BarGeometry& geometry)
{
    model.XPerPixel = perPixel(model.XMax - model.XMin, geometry.PlotWidth);
    model.YPerPixel = perPixel(model.YBottom - model.YTop, geometry.PlotHeight);
}

int truncateToPixel(double coordinate)
{
    if (std::isnan(coordinate))
        return 0;
    if (coordinate > kPixelLimit)
        return static_cast<int>(kPixelLimit);
    if (coordinate < -kPixelLimit)
        return static_cast<int>(-kPixelLimit);
    return static_cast<int>(coordinate);
}

int valueToPixel(const BarModel& model, const BarGeometry& geometry, int axis, double value)
{
    const IntRect& plot = geometry.PlotRect;
    if (axis == kHorizontalAxis) {
        if (model.XPerPixel == 0.0)
            return plot.left;
        return truncateToPixel((value - model.XMin) / model.XPerPixel + plot.left);
    }
    if (axis == kVerticalAxis) {
        if (model.YPerPixel == 0.0)
            return plot.top;
        return truncateToPixel((value - model.YTop) / model.YPerPixel + plot.top);
    }
    return kNoAxisResult;
}

double pixelToValue(const BarModel& model, const BarGeometry& geometry, int axis, int pixel)
{
    const IntRect& plot = geometry.PlotRect;
    if (axis == kHorizontalAxis) {
        if (model.XPerPixel == 0.0)
            return model.XMin;
        double value = model.XMin + model.XPerPixel * (pixel - plot.left);
        if (value < model.XMin)
            value = model.XMin;
        if (value > model.XMax)
            value = model.XMax;
        return value;
    }
    if (axis == kVerticalAxis) {
        if (model.YPerPixel == 0.0)
            return plot.top;
        double value = model.YTop + model.YPerPixel * (pixel - plot.top);
        if (value > model.YTop)
            value = model.YTop;
        if (value < model.YBottom)
            value = model.YBottom;
        return value;
    }
    return kNoAxisResult;
}

std::vector<std::string> verticalAxisNumbers(double top, double bottom, int divisions,
                                             int precision)
{
    std::vector<std::string> numbers;
    for (int s = 0; s <= divisions && divisions > 0; ++s)
        numbers.push_back(formatText("%.*f", precision, top - s * (top - bottom) / divisions));
    return numbers;
}

std::vector<std::string> bottomAxisNumbers(double xMin, double xMax, int precision, double scale)
{
    std::vector<std::string> numbers;
    for (int s = 0; s <= kBottomNumberSteps; ++s)
        numbers.push_back(
            formatText("%.*f", precision, (xMin + s * (xMax - xMin) / kBottomNumberSteps) * scale));
    return numbers;
}

std::optional<ZoomedRange> zoomAround(const BarModel& model, double centre, ZoomDirection direction)
{
    const double span = model.XMax - model.XMin;
    const double reach = direction == ZoomDirection::In ? span / 4 : span;
    const double newMin = std::max(centre - reach, model.ZoomLimitMin);
    const double newMax = std::min(centre + reach, model.ZoomLimitMax);
    const double newSpan = newMax - newMin;
    // Also refuses a range that has no width at all, which would make the factor infinite.
    if (!(newSpan >= model.ZoomMinSpan) || newSpan <= 0.0)
        return std::nullopt;
    return ZoomedRange{newMin, newMax, model.ZoomFactor * span / newSpan};
}

} // namespace zentor
