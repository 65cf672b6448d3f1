#pragma once

#include "display/BarModel.h"

#include <optional>

namespace zentor {

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
