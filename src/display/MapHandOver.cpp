#include "display/MapHandOver.h"

namespace zentor {

bool mapTakesReading(int r, const MapChoice& choice)
{
    if (!choice.positionFromGps)
        return false;
    return (r == 0 && choice.useR1) || (r == 1 && choice.useR2);
}

void handOverToMap(int r, int levelDbm, const MapHandOver& handOver)
{
    if (handOver.setMapRssi && mapTakesReading(r, handOver.choice))
        handOver.setMapRssi(static_cast<std::int16_t>(levelDbm));
}

} // namespace zentor
