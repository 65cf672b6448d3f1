#include "MapWatch.h"

#include "map/MapBlock.h"

#include <cstdio>
#include <vector>

namespace zentor {

bool printMapBlock(const MapFeedNames& names)
{
    std::vector<std::uint8_t> block(kMapBlockBytes);
    if (!readMapBlock(names, block.data()) || !readMapBlockContents(block.data()).marked) {
        std::fprintf(stderr, "map-watch: no map block %s yet\n", names.block.c_str());
        return false;
    }
    const MapFeedValues v = readMapBlockContents(block.data()).values;
    std::printf("lat %.6f lon %.6f rssi %d dBm range %d..%d dBm sn %s\n", v.latitudeDeg,
                v.longitudeDeg, v.rssiDbm, v.rangeMinDbm, v.rangeMaxDbm, v.serialNumber.c_str());
    std::fflush(stdout);
    return true;
}

} // namespace zentor
