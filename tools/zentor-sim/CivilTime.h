#pragma once

#include <cstdint>

namespace zentor::sim {

// A UTC date and time of day, as the instrument's clock and the GPS record carry it.
struct CivilTime
{
    int year = 2000;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The UTC date and time of a count of seconds since 1970-01-01 00:00:00 (leap seconds ignored,
// as the instrument's clock does). Works for every date from year 1970 on.
CivilTime civilFromUnixSeconds(std::int64_t seconds);

} // namespace zentor::sim
