#include "gps/GpsControlNames.h"

namespace zentor::gpsctl {

std::string recStatName(int line)
{
    return "lblRecStat" + std::to_string(line);
}

std::string channelName(int channel)
{
    return "lblChannel" + std::to_string(channel);
}

} // namespace zentor::gpsctl
