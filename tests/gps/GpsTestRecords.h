#pragma once

// GPS records for the tests: one built by hand with a distinctive value in every field, and the
// real receiver captures of the shared test data.
#include "gps/GpsPanelTexts.h"
#include "link/ByteOrder.h"
#include "support/SharedData.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zentor::test {

using Bytes = std::vector<std::uint8_t>;

// Offsets of the record's fields, as the receiver's message lays them out.
namespace gpsat {
constexpr std::size_t kDate = 4;  // month, day, year (2)
constexpr std::size_t kClock = 8; // hours, minutes, seconds, fractional second (4)
constexpr std::size_t kFilteredLat = 15;
constexpr std::size_t kFilteredLon = 19;
constexpr std::size_t kFilteredGpsHeight = 23;
constexpr std::size_t kFilteredMslHeight = 27;
constexpr std::size_t kLat = 31;
constexpr std::size_t kLon = 35;
constexpr std::size_t kGpsHeight = 39;
constexpr std::size_t kMslHeight = 43;
constexpr std::size_t kSpeed3d = 47;
constexpr std::size_t kSpeed2d = 49;
constexpr std::size_t kHeading = 51;
constexpr std::size_t kDop = 53;
constexpr std::size_t kVisible = 55;
constexpr std::size_t kTracked = 56;
constexpr std::size_t kChannels = 57; // 12 x (SVID, mode, signal, IODE, status A, status B)
constexpr std::size_t kStatus1 = 129;
constexpr std::size_t kStatus2 = 130;
constexpr std::size_t kClockBias = 133;
constexpr std::size_t kOscOffset = 135;
constexpr std::size_t kTemperature = 139;
constexpr std::size_t kUtc = 141;
constexpr std::size_t kGmt = 142; // sign, hours, minutes
constexpr std::size_t kId = 145;
constexpr std::size_t kChecksum = 151;
constexpr std::size_t kSize = 152;
} // namespace gpsat

inline void putBe16(Bytes& r, std::size_t at, int v)
{
    writeBe16(r.data() + at, static_cast<std::uint16_t>(v));
}

inline void putBe32(Bytes& r, std::size_t at, long v)
{
    writeBe32(r.data() + at, static_cast<std::uint32_t>(v));
}

// The receiver's checksum: XOR of the bytes after "@@" up to the checksum byte.
inline void sealRecord(Bytes& r)
{
    std::uint8_t x = 0;
    for (std::size_t i = 2; i < gpsat::kChecksum; ++i)
        x ^= r[i];
    r[gpsat::kChecksum] = x;
}

// Channel n (1-12) of the hand-built record: SVID 2n+1, mode 8, signal 30+n, IODE 20n+7 and
// status bytes A = n-1 (every combination of the A flags over channels 1-16), B as below.
inline std::uint8_t handBuiltStatusB(int n)
{
    return static_cast<std::uint8_t>(((n - 1) << 4) | (n % 16));
}

// A moving receiver in the southern and western hemispheres with a 3D fix, every field distinct.
inline Bytes handBuiltRecord()
{
    using namespace gpsat;
    Bytes r(kSize, 0);
    r[0] = '@';
    r[1] = '@';
    r[2] = 'H';
    r[3] = 'a';
    r[kDate] = 11;
    r[kDate + 1] = 23;
    putBe16(r, kDate + 2, 2031);
    r[kClock] = 17;
    r[kClock + 1] = 4;
    r[kClock + 2] = 9;
    putBe32(r, kClock + 3, 0x12345678);
    putBe32(r, kFilteredLat, -44444444); // -12.34567889 degrees
    putBe32(r, kFilteredLon, -98765432); // -27.43484222 degrees
    putBe32(r, kFilteredGpsHeight, 123456);
    putBe32(r, kFilteredMslHeight, -2346);
    putBe32(r, kLat, -44447444); // -12.34651222 degrees
    putBe32(r, kLon, -98760432); // -27.43345333 degrees
    putBe32(r, kGpsHeight, 123789);
    putBe32(r, kMslHeight, -1962);
    putBe16(r, kSpeed3d, 2599);
    putBe16(r, kSpeed2d, 1850);
    putBe16(r, kHeading, 1130);
    putBe16(r, kDop, 27);
    r[kVisible] = 11;
    r[kTracked] = 9;
    for (int n = 1; n <= 12; ++n) {
        std::uint8_t* c = r.data() + kChannels + 6 * (n - 1);
        c[0] = static_cast<std::uint8_t>(2 * n + 1);
        c[1] = 8;
        c[2] = static_cast<std::uint8_t>(30 + n);
        c[3] = static_cast<std::uint8_t>(20 * n + 7);
        c[4] = static_cast<std::uint8_t>(n - 1);
        c[5] = handBuiltStatusB(n);
    }
    r[kStatus1] = 0xE3; // 3D fix, fast acquisition position, filter reset
    r[kStatus2] = 0xD5; // cold start, differential fix, autosurvey, antenna 2, code internal
    putBe16(r, kClockBias, -1234);
    putBe32(r, kOscOffset, -98765);
    putBe16(r, kTemperature, -20); // 0xFFEC: -10.0 C
    r[kUtc] = 0x92;                // enabled, not decoded, offset 18
    r[kGmt] = 1;
    r[kGmt + 1] = 5;
    r[kGmt + 2] = 30;
    const char id[] = "ZT0042";
    for (int i = 0; i < 6; ++i)
        r[kId + i] = static_cast<std::uint8_t>(id[i]);
    sealRecord(r);
    return r;
}

// The real receiver messages of <shared>/testdata/oncore-m12/ha.hex, one hex line each; nothing
// when the file cannot be read.
inline std::optional<std::vector<Bytes>> loadRealCaptures()
{
    std::ifstream in(sharedDataDir() + "/testdata/oncore-m12/ha.hex");
    if (!in)
        return std::nullopt;
    std::vector<Bytes> messages;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        Bytes m;
        for (std::size_t i = 0; i + 1 < line.size(); i += 2)
            m.push_back(static_cast<std::uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
        messages.push_back(std::move(m));
    }
    return messages;
}

// The text a panel update gives the control of that object name; "<no such field>" when no
// GpsField is named so.
inline std::string textOf(const GpsPanelTexts& texts, const std::string& control)
{
    for (std::size_t i = 0; i < kGpsFieldCount; ++i) {
        if (control == gpsFieldName(gpsFieldAt(i)))
            return texts.texts[i];
    }
    return "<no such field>";
}

} // namespace zentor::test
