#pragma once

#include "Drive.h"

#include <cstdint>
#include <string>

namespace zentor::klfexport {

// True when the fields form a real date and time of day (seconds 0-59).
bool isValidFixTime(const FixTime& time);

// Seconds since 1970-01-01 00:00:00 of the same zone, for differences between two times.
std::int64_t secondsOf(const FixTime& time);

// ISO 8601: "2026-03-12T14:05:09Z" for UTC, without the "Z" for local time.
std::string isoTime(const FixTime& time);

// "2026-03-12 14:05:09" for people.
std::string readableTime(const FixTime& time);

} // namespace zentor::klfexport
