#include "gps/GpsRecordDecoder.h"

#include "GpsTestRecords.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::handBuiltRecord;
using test::putBe16;
namespace gpsat = test::gpsat;

GpsStatus decoded(const Bytes& r)
{
    std::optional<GpsStatus> s = decodeGpsRecord(r.data(), r.size());
    EXPECT_TRUE(s.has_value());
    return s.value_or(GpsStatus{});
}

TEST(GpsRecordDecoder, DecodesEveryFieldOfAHandBuiltRecord)
{
    const Bytes r = handBuiltRecord();
    const GpsStatus s = decoded(r);

    EXPECT_TRUE(std::equal(r.begin(), r.end(), s.record.begin()));
    EXPECT_EQ(s.month, 11);
    EXPECT_EQ(s.day, 23);
    EXPECT_EQ(s.year, 2031);
    EXPECT_EQ(s.hours, 17);
    EXPECT_EQ(s.minutes, 4);
    EXPECT_EQ(s.seconds, 9);

    EXPECT_DOUBLE_EQ(s.filtered.latitudeDeg, -44444444 / 3600000.0);
    EXPECT_DOUBLE_EQ(s.filtered.longitudeDeg, -98765432 / 3600000.0);
    EXPECT_DOUBLE_EQ(s.filtered.gpsHeightCm, 123456.0);
    EXPECT_DOUBLE_EQ(s.filtered.mslHeightCm, -2346.0);
    EXPECT_DOUBLE_EQ(s.unfiltered.latitudeDeg, -44447444 / 3600000.0);
    EXPECT_DOUBLE_EQ(s.unfiltered.longitudeDeg, -98760432 / 3600000.0);
    EXPECT_DOUBLE_EQ(s.unfiltered.gpsHeightCm, 123789.0);
    EXPECT_DOUBLE_EQ(s.unfiltered.mslHeightCm, -1962.0);

    EXPECT_EQ(s.speed3dCmPerS, 2599);
    EXPECT_EQ(s.speed2dCmPerS, 1850);
    EXPECT_EQ(s.headingTenthsDeg, 1130);
    EXPECT_EQ(s.geometryTenths, 27);
    EXPECT_EQ(s.satellitesVisible, 11u);
    EXPECT_EQ(s.satellitesTracked, 9u);

    for (int n = 1; n <= kGpsChannelCount; ++n) {
        SCOPED_TRACE("channel " + std::to_string(n));
        const GpsChannelStatus& c = s.channels[n - 1];
        const int a = n - 1;
        const int b = test::handBuiltStatusB(n);
        EXPECT_EQ(c.svid, 2 * n + 1);
        EXPECT_EQ(c.mode, 8);
        EXPECT_EQ(c.signalStrength, 30 + n);
        EXPECT_EQ(c.iode, 20 * n + 7);
        EXPECT_EQ(c.statusA, a);
        EXPECT_EQ(c.statusB, b);
        EXPECT_EQ(c.timeUsed, (a & 0x08) != 0);
        EXPECT_EQ(c.differentialCorrections, (a & 0x04) != 0);
        EXPECT_EQ(c.invalidData, (a & 0x02) != 0);
        EXPECT_EQ(c.parityError, (a & 0x01) != 0);
        EXPECT_EQ(c.usedForPositionFix, (b & 0x80) != 0);
        EXPECT_EQ(c.momentumAlert, (b & 0x40) != 0);
        EXPECT_EQ(c.antiSpoof, (b & 0x20) != 0);
        EXPECT_EQ(c.unhealthy, (b & 0x10) != 0);
        EXPECT_EQ(c.accuracy, n);
    }

    const GpsReceiverStatus& rs = s.receiver;
    EXPECT_EQ(rs.byte1, 0xE3);
    EXPECT_EQ(rs.byte2, 0xD5);
    EXPECT_EQ(rs.fixMode, 7);
    EXPECT_TRUE(rs.fastAcquisitionPosition);
    EXPECT_TRUE(rs.filterReset);
    EXPECT_TRUE(rs.coldStart);
    EXPECT_TRUE(rs.differentialFix);
    EXPECT_FALSE(rs.positionLock);
    EXPECT_TRUE(rs.autosurvey);
    EXPECT_FALSE(rs.insufficientVisibleSatellites);
    EXPECT_EQ(rs.antennaSense, 2);
    EXPECT_TRUE(rs.codeLocationInternal);

    EXPECT_EQ(s.clockBiasNs, -1234);
    EXPECT_EQ(s.oscillatorOffsetHz, -98765);
    EXPECT_DOUBLE_EQ(s.temperatureC, -10.0);
    EXPECT_TRUE(s.utcModeEnabled);
    EXPECT_FALSE(s.utcOffsetDecoded);
    EXPECT_EQ(s.utcOffsetValue, 18);
    EXPECT_TRUE(s.gmtOffsetNegative);
    EXPECT_EQ(s.gmtOffsetHours, 5);
    EXPECT_EQ(s.gmtOffsetMinutes, 30);
    EXPECT_EQ(s.idTag, "ZT0042");
}

TEST(GpsRecordDecoder, DecodesOnlyAWholeRecord)
{
    Bytes r = handBuiltRecord();
    EXPECT_FALSE(decodeGpsRecord(r.data(), r.size() - 1).has_value());
    EXPECT_FALSE(decodeGpsRecord(r.data(), 0).has_value());
    EXPECT_FALSE(decodeGpsRecord(nullptr, r.size()).has_value());

    // Bytes after the record (a longer packet) are not part of it.
    r.push_back(0x5A);
    const GpsStatus s = decoded(r);
    EXPECT_EQ(s.idTag, "ZT0042");
    EXPECT_EQ(s.record.back(), r[gpsat::kChecksum]);
}

TEST(GpsRecordDecoder, HeaderAndChecksumAreNotChecked)
{
    Bytes r = handBuiltRecord();
    r[0] = 'X';
    r[gpsat::kChecksum] ^= 0xFF;
    EXPECT_EQ(decoded(r).seconds, 9);
}

// Bits 7-5 of status byte 1 are the fix mode; its two flags are bits 1 and 0.
TEST(GpsRecordDecoder, StatusByteOneFlagsAreItsLowBits)
{
    struct Case
    {
        std::uint8_t byte1;
        int fixMode;
        bool fastAcquisition;
        bool filterReset;
    };
    const Case cases[] = {
        {0xE0, 7, false, false}, {0xC0, 6, false, false}, {0x20, 1, false, false},
        {0x02, 0, true, false},  {0x01, 0, false, true},  {0x83, 4, true, true},
        {0xFC, 7, false, false},
    };
    Bytes r = handBuiltRecord();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byte1);
        r[gpsat::kStatus1] = c.byte1;
        const GpsReceiverStatus s = decoded(r).receiver;
        EXPECT_EQ(s.fixMode, c.fixMode);
        EXPECT_EQ(s.fastAcquisitionPosition, c.fastAcquisition);
        EXPECT_EQ(s.filterReset, c.filterReset);
    }
}

TEST(GpsRecordDecoder, StatusByteTwoGivesEachFlagAndTheAntennaSense)
{
    Bytes r = handBuiltRecord();
    r[gpsat::kStatus2] = 0x2E; // position lock, insufficient satellites, antenna 3, code external
    GpsReceiverStatus s = decoded(r).receiver;
    EXPECT_FALSE(s.coldStart);
    EXPECT_FALSE(s.differentialFix);
    EXPECT_TRUE(s.positionLock);
    EXPECT_FALSE(s.autosurvey);
    EXPECT_TRUE(s.insufficientVisibleSatellites);
    EXPECT_EQ(s.antennaSense, 3);
    EXPECT_FALSE(s.codeLocationInternal);

    r[gpsat::kStatus2] = 0x02;
    EXPECT_EQ(decoded(r).receiver.antennaSense, 1);
}

// The temperature is a signed count of half degrees Celsius.
TEST(GpsRecordDecoder, TemperatureIsSignedHalfDegrees)
{
    const std::pair<int, double> cases[] = {
        {0xFFEC, -10.0}, {47, 23.5}, {0, 0.0}, {250, 125.0}, {-110, -55.0}, {0xFFFF, -0.5},
    };
    Bytes r = handBuiltRecord();
    for (const auto& [raw, celsius] : cases) {
        SCOPED_TRACE(raw);
        putBe16(r, gpsat::kTemperature, raw);
        EXPECT_DOUBLE_EQ(decoded(r).temperatureC, celsius);
    }
}

TEST(GpsRecordDecoder, UtcParametersAndGmtSign)
{
    Bytes r = handBuiltRecord();
    r[gpsat::kUtc] = 0x7F; // mode disabled, offset decoded, value 63
    r[gpsat::kGmt] = 0;
    GpsStatus s = decoded(r);
    EXPECT_FALSE(s.utcModeEnabled);
    EXPECT_TRUE(s.utcOffsetDecoded);
    EXPECT_EQ(s.utcOffsetValue, 63);
    EXPECT_FALSE(s.gmtOffsetNegative);

    r[gpsat::kGmt] = 0x80; // any value but 0 is minus
    EXPECT_TRUE(decoded(r).gmtOffsetNegative);
}

TEST(GpsRecordDecoder, ZeroByteEndsTheIdTag)
{
    Bytes r = handBuiltRecord();
    r[gpsat::kId + 3] = 0;
    EXPECT_EQ(decoded(r).idTag, "ZT0");
    r[gpsat::kId] = 0;
    EXPECT_EQ(decoded(r).idTag, "");
}

} // namespace
} // namespace zentor
