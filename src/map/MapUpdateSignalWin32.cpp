#include "map/MapUpdateSignal.h"

namespace zentor {

std::unique_ptr<MapAnnouncer> programMapAnnouncer(WindowThread&)
{
    return systemMapAnnouncer();
}

} // namespace zentor
