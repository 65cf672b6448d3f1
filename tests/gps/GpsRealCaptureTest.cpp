// The decoder and the panel texts against ten messages of a real receiver (stationary, in
// position hold), checked against the values another decoder produced for the same capture
// ("independent") and against the fields read straight from the bytes ("computed_from_bytes").
#include "GpsTestRecords.h"
#include "JsonValue.h"
#include "gps/GpsPanelTexts.h"
#include "gps/GpsRecordDecoder.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace zentor {
namespace {

using test::Bytes;
using test::JsonValue;

std::string printed(const char* fmt, double v)
{
    char text[64];
    std::snprintf(text, sizeof text, fmt, v);
    return text;
}

std::string expectedAngle(double degrees, char positive, char negative)
{
    return printed("%.4f", std::fabs(degrees)) + ' ' + (degrees > 0 ? positive : negative);
}

// "YYYY-MM-DD" and "hh:mm:ss..." into the panel's "MM/DD/YYYY" and "hh:mm:ss".
std::string panelDate(const std::string& isoDate)
{
    return isoDate.substr(5, 2) + "/" + isoDate.substr(8, 2) + "/" + isoDate.substr(0, 4);
}

class GpsRealCapture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string dir = test::sharedDataDir();
        if (dir.empty())
            GTEST_SKIP() << "no shared test data folder (ZENTOR_SHARED_DIR): the real GPS captures "
                            "are not at hand";
        std::optional<std::vector<Bytes>> captures = test::loadRealCaptures();
        std::ifstream in(dir + "/testdata/oncore-m12/ha_expected.json");
        if (!captures || !in)
            GTEST_SKIP() << "no real GPS captures under " << dir << "/testdata/oncore-m12";
        messages = std::move(*captures);
        std::stringstream text;
        text << in.rdbuf();
        std::optional<JsonValue> parsed = JsonValue::parse(text.str());
        ASSERT_TRUE(parsed.has_value()) << "ha_expected.json is not well formed";
        expected = std::move(*parsed);
        ASSERT_EQ(expected["messages"].size(), messages.size());
    }

    // Decodes message i (as ha_expected.json numbers its hex lines) and formats its panel.
    void decode(const JsonValue& m)
    {
        const std::size_t line = static_cast<std::size_t>(m["hex_line"].integer());
        ASSERT_GE(line, 1u);
        ASSERT_LE(line, messages.size());
        const Bytes& record = messages[line - 1];
        ASSERT_EQ(record.size(), kGpsRecordSize);
        std::optional<GpsStatus> s = decodeGpsRecord(record.data(), record.size());
        ASSERT_TRUE(s.has_value());
        status = *s;
        texts = formatGpsPanel(status);
    }

    std::string text(const std::string& control) const { return test::textOf(texts, control); }

    std::vector<Bytes> messages;
    JsonValue expected;
    GpsStatus status;
    GpsPanelTexts texts;
};

TEST_F(GpsRealCapture, AgreesWithTheIndependentDecoder)
{
    const JsonValue& all = expected["messages"];
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        ASSERT_NO_FATAL_FAILURE(decode(all[i]));
        const JsonValue& independent = all[i]["independent"];

        const JsonValue& tpv = independent["gpsd_TPV"];
        if (tpv.has("time")) {
            const std::string iso = tpv["time"].string(); // 2026-01-21T07:33:30.000Z
            EXPECT_EQ(text("edGPSDate"), panelDate(iso));
            EXPECT_EQ(text("edGPSTime"), iso.substr(11, 8));
            EXPECT_EQ(text("lblDateTime"), panelDate(iso) + "   " + iso.substr(11, 8));
        }
        if (tpv.has("lat")) {
            const double lat = tpv["lat"].number();
            const double lon = tpv["lon"].number();
            EXPECT_NEAR(status.unfiltered.latitudeDeg, lat, 1e-8);
            EXPECT_NEAR(status.unfiltered.longitudeDeg, lon, 1e-8);
            EXPECT_EQ(text("lblLat"), "Latitude  = " + expectedAngle(lat, 'N', 'S'));
            EXPECT_EQ(text("lblLon"), "Longitude = " + expectedAngle(lon, 'E', 'W'));
        }
        if (tpv.has("altHAE")) {
            const double metres = tpv["altHAE"].number();
            EXPECT_NEAR(status.unfiltered.gpsHeightCm / 100.0, metres, 1e-9);
            EXPECT_EQ(text("lblGPSHeight"), "GPS Height = " + printed("%.0f M", metres));
        }
        if (tpv.has("speed")) {
            EXPECT_NEAR(status.speed3dCmPerS / 100.0, tpv["speed"].number(), 1e-9);
            EXPECT_EQ(text("lbl3DSpeed"),
                      "3D Speed = " + std::to_string(tpv["speed"].integer()) + " m/s");
        }
        if (tpv.has("track")) {
            EXPECT_NEAR(status.headingTenthsDeg / 10.0, tpv["track"].number(), 1e-9);
            EXPECT_EQ(text("lblHeading"), "Heading = N"); // track 0
        }
        if (tpv.has("leapseconds")) {
            EXPECT_EQ(status.utcOffsetValue, tpv["leapseconds"].integer());
            EXPECT_EQ(text("lblUTCValue"),
                      "Offset Value = " + std::to_string(tpv["leapseconds"].integer()));
        }

        // The satellites are the channels that hold one, in channel order.
        const JsonValue& sky = independent["gpsd_SKY_from_Ha_channels"];
        std::size_t listed = 0;
        int used = 0;
        for (int n = 1; n <= kGpsChannelCount; ++n) {
            const GpsChannelStatus& c = status.channels[n - 1];
            if (c.svid == 0)
                continue;
            SCOPED_TRACE("channel " + std::to_string(n));
            const JsonValue& sat = sky["satellites"][listed++];
            ASSERT_EQ(sat.kind(), JsonValue::Kind::Object);
            EXPECT_EQ(c.svid, sat["PRN"].integer());
            EXPECT_EQ(c.signalStrength, sat["ss"].integer());
            EXPECT_EQ(c.usedForPositionFix, sat["used"].boolean());
            used += c.usedForPositionFix ? 1 : 0;

            const std::string row = text("lblChannel" + std::to_string(n));
            ASSERT_GE(row.size(), 45u);
            EXPECT_EQ(row.substr(10, 2), printed("%02.0f", sat["PRN"].number()));
            EXPECT_EQ(row.substr(22, 3), printed("%03.0f", sat["ss"].number()));
            EXPECT_EQ(row.find("(PosFix Used)") != std::string::npos, sat["used"].boolean());
        }
        EXPECT_EQ(listed, static_cast<std::size_t>(sky["nSat"].integer()));
        EXPECT_EQ(used, sky["uSat"].integer());
    }
}

TEST_F(GpsRealCapture, AgreesWithTheFieldsReadFromTheBytes)
{
    const JsonValue& all = expected["messages"];
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        ASSERT_NO_FATAL_FAILURE(decode(all[i]));
        const JsonValue& b = all[i]["computed_from_bytes"];

        EXPECT_EQ(text("edGPSDate"), panelDate(b["date"].string()));
        EXPECT_EQ(text("edGPSTime"), b["time"].string());
        const std::pair<const GpsPosition*, const char*> solutions[] = {
            {&status.filtered, "filtered"}, {&status.unfiltered, "unfiltered"}};
        for (const auto& [position, name] : solutions) {
            SCOPED_TRACE(name);
            const JsonValue& p = b[name];
            EXPECT_EQ(std::lround(position->latitudeDeg * 3600000.0), p["lat_mas"].integer());
            EXPECT_EQ(std::lround(position->longitudeDeg * 3600000.0), p["lon_mas"].integer());
            EXPECT_EQ(position->gpsHeightCm, p["gps_height_cm"].number());
            EXPECT_EQ(position->mslHeightCm, p["msl_height_cm"].number());
        }
        EXPECT_EQ(text("edGPSLatitude"),
                  expectedAngle(b["filtered"]["lat_deg"].number(), 'N', 'S'));
        EXPECT_EQ(text("edGPSLongitude"),
                  expectedAngle(b["filtered"]["lon_deg"].number(), 'E', 'W'));
        EXPECT_EQ(text("edGPSAltitude"),
                  printed("%.0f meters", b["filtered"]["gps_height_cm"].number() / 100.0));
        EXPECT_EQ(text("lblMSLHeight"),
                  "MSL Height = " +
                      printed("%.0f M", b["unfiltered"]["msl_height_cm"].number() / 100.0));

        EXPECT_EQ(status.speed3dCmPerS, b["speed3d_cm_s"].integer());
        EXPECT_EQ(status.speed2dCmPerS, b["speed2d_cm_s"].integer());
        EXPECT_EQ(status.headingTenthsDeg, b["heading_0p1deg"].integer());
        EXPECT_EQ(status.geometryTenths, b["dop_0p1"].integer());
        EXPECT_EQ(text("lblGeometry"), printed("%.1f DOP", b["dop_0p1"].number() / 10.0));
        EXPECT_EQ(text("lblSatData"), std::to_string(b["sats_visible"].integer()) + " Visible, " +
                                          std::to_string(b["sats_tracked"].integer()) + " Tracked");

        const JsonValue& rs = b["receiver_status"];
        EXPECT_EQ(status.receiver.fixMode, rs["fix_mode"].integer());
        EXPECT_EQ(status.receiver.fastAcquisitionPosition, rs["fast_acq_position_bit9"].boolean());
        EXPECT_EQ(status.receiver.filterReset, rs["filter_reset_bit8"].boolean());
        EXPECT_EQ(status.receiver.coldStart, rs["cold_start_bit7"].boolean());
        EXPECT_EQ(status.receiver.differentialFix, rs["differential_bit6"].boolean());
        EXPECT_EQ(status.receiver.positionLock, rs["position_lock_bit5"].boolean());
        EXPECT_EQ(status.receiver.autosurvey, rs["autosurvey_bit4"].boolean());
        EXPECT_EQ(status.receiver.insufficientVisibleSatellites,
                  rs["insufficient_sats_bit3"].boolean());
        EXPECT_EQ(text("lblRecStat1"), "Position Hold"); // fix mode 4 in every message
        EXPECT_EQ(text("lblRecStat2"), "");              // narrow-band tracking is not shown
        EXPECT_EQ(text("lblRecStat6"), "Antenna: " + rs["antenna_sense"].string());
        EXPECT_EQ(text("lblRecStat7"), rs["code_location"].string() == "internal"
                                           ? "Code Location: INTERNAL"
                                           : "Code Location: EXTERNAL");
        EXPECT_EQ(texts.status.background, (Rgb{0xFF, 0x00, 0x00}));

        EXPECT_EQ(text("lblClockBias"),
                  "Clock Bias = " + std::to_string(b["clock_bias_ns"].integer()) + " ns");
        EXPECT_EQ(text("lblOscOffset"),
                  "Osc. Offset = " + std::to_string(b["oscillator_offset_hz"].integer()) + " Hz");
        EXPECT_EQ(text("lblTemperature"),
                  "Temperature = " + printed("%.1f C", b["temperature_c"].number()));
        const JsonValue& utc = b["utc_params"];
        EXPECT_EQ(status.utcModeEnabled, utc["utc_mode_enabled"].boolean());
        EXPECT_EQ(status.utcOffsetDecoded, utc["utc_offset_decoded"].boolean());
        EXPECT_EQ(status.utcOffsetValue, utc["utc_offset_s"].integer());
        EXPECT_EQ(status.gmtOffsetHours, b["gmt_offset"]["hours"].integer());
        EXPECT_EQ(status.gmtOffsetMinutes, b["gmt_offset"]["minutes"].integer());
        EXPECT_EQ(text("lblID"), b["id_tag"].string());

        const JsonValue& channels = b["channels"];
        ASSERT_EQ(channels.size(), static_cast<std::size_t>(kGpsChannelCount));
        for (int n = 1; n <= kGpsChannelCount; ++n) {
            SCOPED_TRACE("channel " + std::to_string(n));
            const JsonValue& c = channels[static_cast<std::size_t>(n - 1)];
            const GpsChannelStatus& d = status.channels[n - 1];
            EXPECT_EQ(c["channel"].integer(), n);
            EXPECT_EQ(d.svid, c["svid"].integer());
            EXPECT_EQ(d.mode, c["mode"].integer());
            EXPECT_EQ(d.signalStrength, c["cno_dbhz"].integer());
            EXPECT_EQ(d.iode, c["iode"].integer());
            EXPECT_EQ((d.statusA << 8) | d.statusB, std::stoi(c["status"].string(), nullptr, 16));
            EXPECT_EQ(d.accuracy, c["ura_bits3_0"].integer());
        }
    }
}

} // namespace
} // namespace zentor
