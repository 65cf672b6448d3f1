#include "CivilTime.h"

namespace zentor::sim {

namespace {
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kDaysPerEra = 146097; // one 400-year Gregorian cycle
constexpr std::int64_t kEpochShift = 719468; // days from 0000-03-01 to 1970-01-01
} // namespace

CivilTime civilFromUnixSeconds(std::int64_t seconds)
{
    const std::int64_t days = seconds / kSecondsPerDay;
    const std::int64_t secondOfDay = seconds % kSecondsPerDay;

    // Counted in years that start on 1 March, so that the leap day is the last day of a year.
    const std::int64_t z = days + kEpochShift;
    const std::int64_t era = z / kDaysPerEra;
    const std::int64_t dayOfEra = z - era * kDaysPerEra;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;

    CivilTime t;
    t.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    t.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(secondOfDay / 3600);
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    return t;
}

} // namespace zentor::sim
