#include "display/BarModel.h"

namespace zentor {

namespace {
constexpr int kDefaultGridDivisions = 10;
}

int effectiveGridDivisions(const BarModel& model)
{
    return model.GridDivisions == 0 ? kDefaultGridDivisions : model.GridDivisions;
}

} // namespace zentor
