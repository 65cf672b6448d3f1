#pragma once

#include "display/BarGeometry.h"
#include "display/BarModel.h"

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

} // namespace zentor
