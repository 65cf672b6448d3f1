#pragma once

#include "display/BarGeometry.h"
#include "display/BarModel.h"

#include <optional>
#include <string>
#include <vector>

namespace zentor {

// The display's axes: 0 is horizontal (bar positions), 1 vertical (levels).
constexpr int kHorizontalAxis = 0;
constexpr int kVerticalAxis = 1;
constexpr int kNoAxisResult = -1; // what a conversion gives for any other axis

// Value per pixel of a range spread over `extentPixels`; 1.0 when the extent is 0 or less.
double perPixel(double span, int extentPixels);

// Sets XPerPixel and YPerPixel for the model's ranges over the plot of `geometry`.
void recomputePerPixel(BarModel& model, const BarGeometry& geometry);

// A computed real as a pixel coordinate: truncated toward zero, far values limited to a range
// that integer pixel arithmetic cannot overflow.
int truncateToPixel(double coordinate);

// The control pixel of a value on `axis`, from the model's stored factors. A zero factor
// (an empty range) gives the plot's left (top) edge. Any other axis gives -1.
int valueToPixel(const BarModel& model, const BarGeometry& geometry, int axis, double value);

// The value under a control pixel on `axis`: horizontal values are limited to [XMin, XMax],
// vertical ones to YTop from above and YBottom from below. A zero factor gives XMin
// (horizontal) or the plot's top pixel coordinate (vertical). Any other axis gives -1.
double pixelToValue(const BarModel& model, const BarGeometry& geometry, int axis, int pixel);

// The numbers of a vertical axis from its top down, one per grid line: top - s x (top -
// bottom) / divisions for s = 0 ... divisions, with `precision` digits after the point.
std::vector<std::string> verticalAxisNumbers(double top, double bottom, int divisions,
                                             int precision);

// The numbers of the bottom axis, left to right: xMin + s x (xMax - xMin) / 8 for s = 0 ... 8,
// times `scale`, with `precision` digits after the point.
constexpr int kBottomNumberSteps = 8;
std::vector<std::string> bottomAxisNumbers(double xMin, double xMax, int precision,
                                           double scale = 1.0);

enum class ZoomDirection
{
    In,  // left button: half the span around the point
    Out, // right button: twice the span around the point
};

struct ZoomedRange
{
    double xMin = 0.0;
    double xMax = 0.0;
    double zoomFactor = 1.0; // the model's factor times the old span over the new one
};

// The horizontal range after a zoom around value `centre`: kept inside [ZoomLimitMin,
// ZoomLimitMax]. Nothing when the result would be narrower than ZoomMinSpan.
std::optional<ZoomedRange> zoomAround(const BarModel& model, double centre,
                                      ZoomDirection direction);

} // namespace zentor
