#pragma once

#include "link/MeasurementMode.h"
#include "logging/KlfReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// A drive as a log file holds it: where the vehicle was, and what each receiver read there.
namespace zentor::klfexport {

// A date and time of day as a position carries it.
struct FixTime
{
    int year = 1970;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool utc = true; // GPS time is UTC; the TravelPilot's is the PC's local time
};

enum class PositionSource
{
    Gps,         // the instrument's GPS records (type 0), unfiltered position
    TravelPilot, // the TravelPilot position records (0xC0)
};

struct Position
{
    double latitudeDeg = 0.0;  // north positive
    double longitudeDeg = 0.0; // east positive
    FixTime time;
    // True for the first position, and for one that follows a gap: the position before it had
    // gone stale.
    bool startsSegment = false;
};

struct Reading
{
    std::size_t position = 0; // index into Drive::positions
    int receiver = 1;         // 1 or 2
    MeasurementMode mode = MeasurementMode::List;
    // The list entry 1-10, the table entry number, or the single-mode channel; none when the
    // single-mode channel cannot be known from the log.
    std::optional<std::int32_t> channel;
    std::optional<double> frequencyMHz; // none when the log does not tell it
    int rssiDbm = 0;
};

struct Drive
{
    PositionSource source = PositionSource::Gps;
    std::vector<Position> positions;
    std::vector<Reading> readings; // in log order; their positions never go backwards

    // What was left out, and why.
    std::size_t readingsWithoutPosition = 0; // no position yet
    std::size_t readingsWithStalePosition = 0;
    std::size_t gpsRecordsWithoutFix = 0; // or with a time or place that cannot be
    std::size_t unreadableTravelPilotPositions = 0;
    std::size_t entriesOutOfRange = 0; // list channel above 9, table index above 3071
    std::size_t badChecksums = 0;
    std::array<std::size_t, 2> unknownFrequencies{}; // readings of receiver 1 and 2

    // How far the walk went, and what it found.
    KlfVerdict verdict = KlfVerdict::Whole;
    std::size_t problemOffset = 0;
    const char* problem = "";
    std::size_t bytesWalked = 0; // up to the end of the last whole record
    std::size_t bytes = 0;
};

// A position counts for the readings after it until this many of the instrument's one-second
// clock packets have passed without a new one.
constexpr int kMaxPositionAgeSeconds = 3;

} // namespace zentor::klfexport
