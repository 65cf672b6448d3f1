#include "display/BarZoom.h"

#include <algorithm>

namespace zentor {

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
