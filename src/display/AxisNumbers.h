#pragma once

#include <string>
#include <vector>

namespace zentor {

// The numbers of a vertical axis from its top down, one per grid line: top - s x (top -
// bottom) / divisions for s = 0 ... divisions, with `precision` digits after the point.
std::vector<std::string> verticalAxisNumbers(double top, double bottom, int divisions,
                                             int precision);

// The numbers of the bottom axis, left to right: xMin + s x (xMax - xMin) / 8 for s = 0 ... 8,
// times `scale`, with `precision` digits after the point.
constexpr int kBottomNumberSteps = 8;
std::vector<std::string> bottomAxisNumbers(double xMin, double xMax, int precision,
                                           double scale = 1.0);

} // namespace zentor
