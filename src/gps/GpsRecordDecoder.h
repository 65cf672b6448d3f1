#pragma once

#include "link/PacketTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The GPS receiver's twelve-channel position/status/data message as the instrument forwards it,
// decoded into plain values.
namespace zentor {

// The record (kGpsRecordSize bytes) runs from the message's first '@' up to and including its
// checksum byte.
constexpr int kGpsChannelCount = 12;

// A position solution: the filtered and the unfiltered one have the same shape.
struct GpsPosition
{
    double latitudeDeg = 0.0;  // positive north
    double longitudeDeg = 0.0; // positive east
    double gpsHeightCm = 0.0;  // above the ellipsoid
    double mslHeightCm = 0.0;  // above mean sea level
};

// One tracking channel of the receiver.
struct GpsChannelStatus
{
    std::uint8_t svid = 0;
    std::uint8_t mode = 0;
    std::uint8_t signalStrength = 0;
    std::uint8_t iode = 0;
    std::uint8_t statusA = 0; // as received
    std::uint8_t statusB = 0; // as received
    // Status byte A.
    bool timeUsed = false;                // bit 3
    bool differentialCorrections = false; // bit 2
    bool invalidData = false;             // bit 1
    bool parityError = false;             // bit 0
    // Status byte B.
    bool usedForPositionFix = false; // bit 7
    bool momentumAlert = false;      // bit 6
    bool antiSpoof = false;          // bit 5
    bool unhealthy = false;          // bit 4
    int accuracy = 0;                // bits 3-0
};

// The fix modes (GpsReceiverStatus::fixMode) whose record carries a position: 2D and 3D a current
// one; "Position Hold" the position the receiver holds (a surveyed one), "Propogate Mode" the last
// solution carried forward.
constexpr int kGpsFixPositionHold = 4;
constexpr int kGpsFixPropagate = 5;
constexpr int kGpsFix2D = 6;
constexpr int kGpsFix3D = 7;

// The receiver's own state, from its two status bytes.
struct GpsReceiverStatus
{
    std::uint8_t byte1 = 0; // as received
    std::uint8_t byte2 = 0; // as received
    int fixMode = 0;        // byte 1 bits 7-5, an index into the fix mode texts
    bool fastAcquisitionPosition = false;
    bool filterReset = false;
    bool coldStart = false;
    bool differentialFix = false;
    bool positionLock = false;
    bool autosurvey = false;
    bool insufficientVisibleSatellites = false;
    int antennaSense = 0; // byte 2 bits 2-1, an index into the antenna texts
    bool codeLocationInternal = false;
};

// The last GPS record and everything decoded from it.
struct GpsStatus
{
    std::array<std::uint8_t, kGpsRecordSize> record{}; // as received

    int month = 0;
    int day = 0;
    int year = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;

    GpsPosition filtered;
    GpsPosition unfiltered;

    std::int16_t speed3dCmPerS = 0;
    std::int16_t speed2dCmPerS = 0;
    std::int16_t headingTenthsDeg = 0; // 0-3599 from a sound receiver
    std::int16_t geometryTenths = 0;   // dilution of precision x 10
    unsigned satellitesVisible = 0;
    unsigned satellitesTracked = 0;

    std::array<GpsChannelStatus, kGpsChannelCount> channels;
    GpsReceiverStatus receiver;

    std::int16_t clockBiasNs = 0;
    std::int32_t oscillatorOffsetHz = 0;
    double temperatureC = 0.0;

    bool utcModeEnabled = false;
    bool utcOffsetDecoded = false;
    int utcOffsetValue = 0; // seconds, bits 5-0 of the UTC parameters

    bool gmtOffsetNegative = false;
    int gmtOffsetHours = 0;
    int gmtOffsetMinutes = 0;

    std::string idTag; // the receiver's six ID characters
};

// Decodes the GPS record that the instrument forwards (packet type 0). The message's header and
// checksum are not checked: the instrument has already passed the record on, and a damaged
// record shows as odd values until the next one a second later.
//
// Returns nothing when fewer than kGpsRecordSize bytes are given (the record is not decoded);
// bytes beyond the record are ignored. Pure function: any thread.
std::optional<GpsStatus> decodeGpsRecord(const std::uint8_t* record, std::size_t size);

} // namespace zentor
