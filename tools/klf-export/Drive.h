#pragma once

#include "link/MeasurementMode.h"
#include "logging/KlfReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// A drive as a log file holds it: where the vehicle was, and what each receiver read there. The
// walk through the log hands each position and each reading on as it comes (DriveSink), so a
// drive of any length passes through without being held.
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

// What a position is: the GPS receiver's own fix mode for it, or the TravelPilot's.
enum class PositionFix
{
    TwoD,
    ThreeD,
    Hold,       // "Position Hold": the receiver's surveyed position
    Propagated, // "Propogate Mode": the receiver carries its last solution forward
    TravelPilot,
};

struct Position
{
    double latitudeDeg = 0.0;  // north positive
    double longitudeDeg = 0.0; // east positive
    FixTime time;
    PositionFix fix = PositionFix::ThreeD;
    // True for the first position, and for one that follows a gap: the position before it had
    // gone stale.
    bool startsSegment = false;
};

inline PositionSource sourceOf(const Position& p)
{
    return p.fix == PositionFix::TravelPilot ? PositionSource::TravelPilot : PositionSource::Gps;
}

struct Reading
{
    int receiver = 1; // 1 or 2
    MeasurementMode mode = MeasurementMode::List;
    // The list entry 1-10, the table entry number, or the single-mode channel; none when the
    // single-mode channel cannot be known from the log.
    std::optional<std::int32_t> channel;
    std::optional<double> frequencyMHz; // none when the log does not tell it
    int rssiDbm = 0;
};

// Takes a drive in log order: each position as the walk finds it, then the readings that take
// it (a reading always takes the last position handed on).
class DriveSink
{
public:
    virtual ~DriveSink() = default;
    virtual void position(const Position& p) = 0;
    virtual void reading(const Reading& r, const Position& at) = 0;
};

// What a walk found, besides what it handed on.
struct DriveSummary
{
    PositionSource source = PositionSource::Gps;
    std::size_t positions = 0;
    std::size_t readings = 0;                   // with a position
    std::optional<FixTime> firstTime, lastTime; // of the positions

    // What was left out, and why.
    std::size_t readingsWithoutPosition = 0; // no position yet
    std::size_t readingsWithStalePosition = 0;
    std::size_t gpsRecordsWithoutPosition = 0; // or with a time or place that cannot be
    std::size_t unreadableTravelPilotPositions = 0;
    std::size_t entriesOutOfRange = 0; // list channel above 9, table index above 3071
    std::size_t badChecksums = 0;
    std::array<std::size_t, 2> unknownFrequencies{}; // readings of receiver 1 and 2

    // How far the walk went, and what it found.
    KlfVerdict verdict = KlfVerdict::Whole;
    std::size_t problemOffset = 0;
    const char* problem = "";
    std::size_t bytesWalked = 0; // up to the end of the last whole record
    bool walkedToEnd = true;     // false when the walk stopped at a problem before the end

    std::size_t readingsLeftOut() const
    {
        return readingsWithoutPosition + readingsWithStalePosition + entriesOutOfRange;
    }
};

// A position counts for the readings after it until this many of the instrument's one-second
// clock packets have passed without a new one.
constexpr int kMaxPositionAgeSeconds = 3;

} // namespace zentor::klfexport
