#include "zentor-sim/GpsRecord.h"

#include "SimTestSupport.h"
#include "link/ByteOrder.h"
#include "zentor-sim/GpsRecord.h"
#include "zentor-sim/Route.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zentor::sim {
namespace {

using test::hex;

Bytes at(const GpsRecord& r, std::size_t offset, std::size_t width)
{
    return Bytes(r.begin() + static_cast<long>(offset),
                 r.begin() + static_cast<long>(offset + width));
}

std::int32_t signed32(const GpsRecord& r, std::size_t offset)
{
    return static_cast<std::int32_t>(readBe32(&r[offset]));
}

std::int16_t signed16(const GpsRecord& r, std::size_t offset)
{
    return static_cast<std::int16_t>(readBe16(&r[offset]));
}

// A drive in Buenos Aires in winter: south and west, below sea level, below freezing.
GpsFix southWesternFix()
{
    GpsFix fix;
    fix.utc = {2024, 12, 31, 23, 59, 58};
    fix.fractionNs = 336301;
    fix.filtered = {-124573320, -210173760, 2512, -150};
    fix.unfiltered = {-124573400, -210173700, 2530, -133};
    fix.speed3dCmPerS = 1390;
    fix.speed2dCmPerS = 1389;
    fix.headingTenthDeg = 2705;
    fix.dopTenths = 14;
    fix.satellitesVisible = 10;
    fix.satellitesTracked = 8;
    fix.channels[0] = {2, 8, 47, 9, 0x08, 0xA0};
    fix.channels[11] = {31, 1, 0, 0, 0x00, 0x00};
    fix.receiverStatus1 = 0xE4;
    fix.receiverStatus2 = 0x01;
    fix.clockBiasNs = -8;
    fix.oscillatorOffsetHz = -1234;
    fix.temperatureHalfDegC = -15; // -7.5 degrees C
    fix.utcParameters = 0xD2;
    fix.gmtOffsetSign = 1;
    fix.gmtOffsetHours = 3;
    fix.gmtOffsetMinutes = 0;
    fix.idTag = {'Z', 'S', 'I', 'M', '0', '1'};
    return fix;
}

TEST(GpsRecord, FieldsSitAtTheirOffsetsBigEndianAndSigned)
{
    const GpsRecord r = encodeGpsRecord(southWesternFix());
    ASSERT_EQ(r.size(), 152u);
    EXPECT_EQ(at(r, 0, 4), hex("40 40 48 61")) << "@@Ha";
    EXPECT_EQ(at(r, 4, 7), hex("0C 1F 07 E8 17 3B 3A")) << "12/31/2024 23:59:58";
    EXPECT_EQ(at(r, 11, 4), hex("00 05 21 AD"));
    EXPECT_EQ(at(r, 15, 16), hex("F8 93 29 78 F3 79 00 C0 00 00 09 D0 FF FF FF 6A"));
    EXPECT_EQ(at(r, 31, 16), hex("F8 93 29 28 F3 79 00 FC 00 00 09 E2 FF FF FF 7B"));
    EXPECT_EQ(signed32(r, 15), -124573320);
    EXPECT_EQ(signed32(r, 19), -210173760);
    EXPECT_EQ(signed32(r, 27), -150);
    EXPECT_EQ(at(r, 47, 10), hex("05 6E 05 6D 0A 91 00 0E 0A 08"));
    EXPECT_EQ(at(r, 57, 6), hex("02 08 2F 09 08 A0")) << "channel 1";
    EXPECT_EQ(at(r, 63, 60), Bytes(60, 0)) << "channels 2 to 11 idle";
    EXPECT_EQ(at(r, 123, 6), hex("1F 01 00 00 00 00")) << "channel 12";
    EXPECT_EQ(at(r, 129, 4), hex("E4 01 00 00")) << "status bytes, then the reserved two";
    EXPECT_EQ(at(r, 133, 8), hex("FF F8 FF FF FB 2E FF F1"));
    EXPECT_EQ(signed16(r, 133), -8);
    EXPECT_EQ(signed32(r, 135), -1234);
    EXPECT_EQ(signed16(r, 139), -15);
    EXPECT_EQ(at(r, 141, 10), hex("D2 01 03 00 5A 53 49 4D 30 31"));
    EXPECT_EQ(r[151], gpsRecordChecksum(r.data(), r.size()));
    std::uint8_t sum = 0;
    for (std::size_t i = 2; i < 151; ++i)
        sum ^= r[i];
    EXPECT_EQ(r[151], sum);
}

TEST(GpsRecord, ChecksumLeavesOutTheAtSignsAndItself)
{
    // "@@Ha" then 0x01 0x0F and a checksum byte: 'H' ^ 'a' ^ 0x01 ^ 0x0F.
    const Bytes message = hex("40 40 48 61 01 0F FF");
    EXPECT_EQ(gpsRecordChecksum(message.data(), message.size()), 0x48 ^ 0x61 ^ 0x01 ^ 0x0F);
}

// Reads the real receiver's messages, one 152-byte record per line of hex.
std::vector<GpsRecord> realRecords(const std::string& path)
{
    std::vector<GpsRecord> records;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const Bytes bytes = hex(line);
        if (bytes.size() != kGpsRecordSize)
            continue;
        GpsRecord r;
        std::copy(bytes.begin(), bytes.end(), r.begin());
        records.push_back(r);
    }
    return records;
}

GpsPosition positionAt(const GpsRecord& r, std::size_t offset)
{
    return {signed32(r, offset), signed32(r, offset + 4), signed32(r, offset + 8),
            signed32(r, offset + 12)};
}

// Every field of a record, read with the receiver's layout, so that encoding them again must
// give back the same bytes.
GpsFix fieldsOf(const GpsRecord& r)
{
    GpsFix fix;
    fix.utc = {readBe16(&r[6]), r[4], r[5], r[8], r[9], r[10]};
    fix.fractionNs = readBe32(&r[11]);
    fix.filtered = positionAt(r, 15);
    fix.unfiltered = positionAt(r, 31);
    fix.speed3dCmPerS = readBe16(&r[47]);
    fix.speed2dCmPerS = readBe16(&r[49]);
    fix.headingTenthDeg = readBe16(&r[51]);
    fix.dopTenths = readBe16(&r[53]);
    fix.satellitesVisible = r[55];
    fix.satellitesTracked = r[56];
    for (std::size_t i = 0; i < fix.channels.size(); ++i) {
        const std::uint8_t* c = &r[57 + 6 * i];
        fix.channels[i] = {c[0], c[1], c[2], c[3], c[4], c[5]};
    }
    fix.receiverStatus1 = r[129];
    fix.receiverStatus2 = r[130];
    fix.clockBiasNs = signed16(r, 133);
    fix.oscillatorOffsetHz = signed32(r, 135);
    fix.temperatureHalfDegC = signed16(r, 139);
    fix.utcParameters = r[141];
    fix.gmtOffsetSign = r[142];
    fix.gmtOffsetHours = r[143];
    fix.gmtOffsetMinutes = r[144];
    for (std::size_t i = 0; i < fix.idTag.size(); ++i)
        fix.idTag[i] = static_cast<char>(r[145 + i]);
    return fix;
}

TEST(GpsRecord, MatchesTheLayoutOfARealReceiversMessages)
{
    const std::string path = zentor::test::sharedDataDir() + "/testdata/oncore-m12/ha.hex";
    if (!std::ifstream(path))
        GTEST_SKIP() << "the shared GPS captures are not here (" << path << ")";
    const std::vector<GpsRecord> real = realRecords(path);
    ASSERT_EQ(real.size(), 10u);
    for (const GpsRecord& r : real) {
        EXPECT_EQ(at(r, 0, 4), hex("40 40 48 61"));
        EXPECT_EQ(r[151], gpsRecordChecksum(r.data(), r.size()));
        EXPECT_EQ(encodeGpsRecord(fieldsOf(r)), r) << "re-encoding a real message changes it";
    }
    // A few values of the first message, as its README describes the capture.
    EXPECT_EQ(fieldsOf(real[0]).unfiltered.latitudeMas, 190477129);
    EXPECT_EQ(fieldsOf(real[0]).clockBiasNs, -8);
    EXPECT_EQ(fieldsOf(real[0]).oscillatorOffsetHz, 99859);
}

TEST(GpsFixModel, ReportsAMoving3dFixNearTheTown)
{
    const Route route({-34.6037, -58.3816});
    SimRandom noise(7);
    const RoutePoint where = route.at(100.0);
    const GpsFix fix = simulateGpsFix({2025, 6, 1, 12, 0, 0}, 100.0, where, noise);
    const GpsRecord r = encodeGpsRecord(fix);

    EXPECT_EQ(r[129] >> 5, 7) << "3D fix";
    EXPECT_EQ(r[151], gpsRecordChecksum(r.data(), r.size()));
    EXPECT_EQ(at(r, 4, 7), hex("06 01 07 E9 0C 00 00"));
    // Within 3 km of the centre, south and west.
    EXPECT_NEAR(signed32(r, 15) / 3600000.0, -34.6037, 0.03);
    EXPECT_NEAR(signed32(r, 19) / 3600000.0, -58.3816, 0.04);
    EXPECT_NEAR(signed32(r, 31), signed32(r, 15), 500) << "unfiltered within ~15 m";
    EXPECT_GE(readBe16(&r[49]), 1388);
    EXPECT_LE(readBe16(&r[49]), 1389) << "50 km/h";
    EXPECT_LT(readBe16(&r[51]), 3600);
    EXPECT_EQ(r[55], 10);
    EXPECT_EQ(r[56], 8);
    int used = 0;
    for (int c = 0; c < 12; ++c) {
        const std::uint8_t* ch = &r[57 + 6 * c];
        if (ch[1] == 8) {
            ++used;
            EXPECT_NE(ch[0], 0);
            EXPECT_GE(ch[2], 30);
            EXPECT_LE(ch[2], 55);
            EXPECT_EQ(ch[5] & 0x80, 0x80) << "used for the fix";
        }
    }
    EXPECT_EQ(used, 8);
    EXPECT_NEAR(signed16(r, 139) / 2.0, 24.0, 3.0) << "temperature in half degrees";
}

} // namespace
} // namespace zentor::sim
