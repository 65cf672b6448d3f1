#include "gps/GpsTextTables.h"

namespace zentor {
namespace {

const char* const kFixModeTexts[kFixModeCount] = {
    "Reserved",      "Reserved",       "Bad Geometry", "Acquiring Satellites",
    "Position Hold", "Propogate Mode", "2D Fix",       "3D Fix",
};

const char* const kAntennaTexts[kAntennaSenseCount] = {"OK", "Overcurrent", "Undercurrent", "NV"};

const char* const kCompassPointTexts[kCompassPointCount] = {
    "N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
    "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW",
};

const char* const kNoText = "";

} // namespace

const char* fixModeText(int fixMode)
{
    return fixMode >= 0 && fixMode < kFixModeCount ? kFixModeTexts[fixMode] : kNoText;
}

const char* antennaText(int antennaSense)
{
    return antennaSense >= 0 && antennaSense < kAntennaSenseCount ? kAntennaTexts[antennaSense]
                                                                  : kNoText;
}

const char* compassPointText(int headingTenthsDeg)
{
    if (headingTenthsDeg < 0 || headingTenthsDeg >= kHeadingLimitTenthsDeg)
        return kNoText;
    return kCompassPointTexts[headingTenthsDeg / kHeadingSectorTenthsDeg];
}

} // namespace zentor
