#include "gps/GpsPanelTexts.h"

#include "GpsTestRecords.h"
#include "gps/GpsRecordDecoder.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::handBuiltRecord;
using test::putBe16;
using test::putBe32;
namespace gpsat = test::gpsat;

GpsPanelTexts textsOf(const Bytes& r)
{
    std::optional<GpsStatus> s = decodeGpsRecord(r.data(), r.size());
    EXPECT_TRUE(s.has_value());
    return formatGpsPanel(s.value_or(GpsStatus{}));
}

using test::textOf;
using Texts = std::vector<std::pair<std::string, std::string>>;

// The fields from `first` up to `end`, by object name, with their texts.
Texts pairs(const GpsPanelTexts& t, std::size_t first, std::size_t end)
{
    Texts out;
    for (std::size_t i = first; i < end; ++i)
        out.emplace_back(gpsFieldName(gpsFieldAt(i)), t.texts[i]);
    return out;
}

TEST(GpsPanelTexts, HandBuiltRecordGivesEveryTextInOrder)
{
    const GpsPanelTexts t = textsOf(handBuiltRecord());

    const Texts group = {
        {"edGPSDate", "11/23/2031"},       {"edGPSTime", "17:04:09"},
        {"edGPSLatitude", "12.3457 S"},    {"edGPSLongitude", "27.4348 W"},
        {"edGPSAltitude", "1235 meters"},  {"edGPSSpeed", "25 m/s"},
        {"edGPSHeading", "Heading = ESE"}, {"edGPSSats", "Sats = 9"},
    };
    EXPECT_EQ(pairs(t, 0, kGpsDataFieldCount), group);
    EXPECT_EQ(t.status.background, (Rgb{0x00, 0x80, 0x00}));
    EXPECT_EQ(t.status.text, (Rgb{0xFF, 0xFF, 0xFF}));

    const Texts panel = {
        {"lblDateTime", "11/23/2031   17:04:09"},
        {"lblFilLat", "Latitude  = 12.3457 S"},
        {"lblFilLon", "Longitude = 27.4348 W"},
        {"lblLat", "Latitude  = 12.3465 S"},
        {"lblLon", "Longitude = 27.4335 W"},
        {"lblFilGPSHeight", "GPS Height = 1235 M"},
        {"lblGPSHeight", "GPS Height = 1238 M"},
        {"lblFilMSLHeight", "MSL Height = -23 M"},
        {"lblMSLHeight", "MSL Height = -20 M"},
        {"lbl3DSpeed", "3D Speed = 25 m/s"},
        {"lbl2DSpeed", "2D Speed = 18 m/s"},
        {"lblHeading", "Heading = ESE"},
        {"lblClockBias", "Clock Bias = -1234 ns"},
        {"lblOscOffset", "Osc. Offset = -98765 Hz"},
        {"lblTemperature", "Temperature = -10.0 C"},
        {"lblSatData", "11 Visible, 9 Tracked"},
        {"lblUTCMode", "Mode = ENABLED"},
        {"lblUTCOffset", "Offset = NOT DECODED"},
        {"lblUTCValue", "Offset Value = 18"},
        {"lblGMT", "-05:30"},
        {"lblID", "ZT0042"},
        {"lblRecStat1", "3D Fix"},
        {"lblRecStat2", "(Fast Acq. Pos.)(Filter Reset)"},
        {"lblRecStat3", "(Cold Start)(Diff. Fix)"},
        {"lblRecStat4", "(Autosurvey)"},
        {"lblRecStat5", ""},
        {"lblRecStat6", "Antenna: Undercurrent"},
        {"lblRecStat7", "Code Location: INTERNAL"},
        {"lblChannelHdr", "CHANNEL  SVID  MODE  SIGNAL  IODE  ACCURACY  STATUS"},
        {"lblChannel1", "   01     03    08    031     027     01     "},
        {"lblChannel2", "   02     05    08    032     047     02     (Parity Error)(Unhealthy)"},
        {"lblChannel3", "   03     07    08    033     067     03     (Invalid Data)(Anti-Spoof)"},
        {"lblChannel4", "   04     09    08    034     087     04     "
                        "(Invalid Data)(Parity Error)(Anti-Spoof)(Unhealthy)"},
        {"lblChannel5", "   05     11    08    035     107     05     (Diff. Corr.)(Mom Alert)"},
        {"lblChannel6", "   06     13    08    036     127     06     "
                        "(Diff. Corr.)(Parity Error)(Mom Alert)(Unhealthy)"},
        {"lblChannel7", "   07     15    08    037     147     07     "
                        "(Diff. Corr.)(Invalid Data)(Mom Alert)(Anti-Spoof)"},
        {"lblChannel8", "   08     17    08    038     167     08     "
                        "(Diff. Corr.)(Invalid Data)(Parity Error)(Mom Alert)(Anti-Spoof)"
                        "(Unhealthy)"},
        {"lblChannel9", "   09     19    08    039     187     09     (Time Used)(PosFix Used)"},
        {"lblChannel10", "   10     21    08    040     207     10     "
                         "(Time Used)(Parity Error)(PosFix Used)(Unhealthy)"},
        {"lblChannel11", "   11     23    08    041     227     11     "
                         "(Time Used)(Invalid Data)(PosFix Used)(Anti-Spoof)"},
        {"lblChannel12", "   12     25    08    042     247     12     "
                         "(Time Used)(Invalid Data)(Parity Error)(PosFix Used)(Anti-Spoof)"
                         "(Unhealthy)"},
        {"lblGeometry", "2.7 DOP"},
    };
    EXPECT_EQ(pairs(t, kGpsDataFieldCount, kGpsFieldCount), panel);
    EXPECT_EQ(textOf(t, "edGPSStatus"), "<no such field>"); // its text stays as laid out
}

TEST(GpsPanelTexts, ZeroLatitudeAndLongitudeTakeSouthAndWest)
{
    Bytes r = handBuiltRecord();
    putBe32(r, gpsat::kFilteredLat, 0);
    putBe32(r, gpsat::kFilteredLon, 0);
    putBe32(r, gpsat::kLat, 1); // the smallest step north and east
    putBe32(r, gpsat::kLon, 1);
    const GpsPanelTexts t = textsOf(r);
    EXPECT_EQ(textOf(t, "edGPSLatitude"), "0.0000 S");
    EXPECT_EQ(textOf(t, "edGPSLongitude"), "0.0000 W");
    EXPECT_EQ(textOf(t, "lblFilLat"), "Latitude  = 0.0000 S");
    EXPECT_EQ(textOf(t, "lblFilLon"), "Longitude = 0.0000 W");
    EXPECT_EQ(textOf(t, "lblLat"), "Latitude  = 0.0000 N");
    EXPECT_EQ(textOf(t, "lblLon"), "Longitude = 0.0000 E");
}

TEST(GpsPanelTexts, HeadingGivesTheCompassPointOfItsSector)
{
    const std::pair<int, const char*> cases[] = {
        {0, "N"},    {224, "N"},  {225, "NNE"}, {449, "NNE"},  {450, "NE"},
        {1800, "S"}, {2700, "W"}, {3374, "NW"}, {3375, "NNW"}, {3599, "NNW"},
        {3600, ""},  {-1, ""},    {32767, ""},  {-32768, ""},
    };
    Bytes r = handBuiltRecord();
    for (const auto& [heading, point] : cases) {
        SCOPED_TRACE(heading);
        putBe16(r, gpsat::kHeading, heading);
        const GpsPanelTexts t = textsOf(r);
        EXPECT_EQ(textOf(t, "edGPSHeading"), std::string("Heading = ") + point);
        EXPECT_EQ(textOf(t, "lblHeading"), std::string("Heading = ") + point);
    }
}

TEST(GpsPanelTexts, SpeedsAreTruncatedToWholeMetresPerSecond)
{
    Bytes r = handBuiltRecord();
    putBe16(r, gpsat::kSpeed3d, 199);
    putBe16(r, gpsat::kSpeed2d, -199);
    GpsPanelTexts t = textsOf(r);
    EXPECT_EQ(textOf(t, "edGPSSpeed"), "1 m/s");
    EXPECT_EQ(textOf(t, "lbl3DSpeed"), "3D Speed = 1 m/s");
    EXPECT_EQ(textOf(t, "lbl2DSpeed"), "2D Speed = -1 m/s");

    putBe16(r, gpsat::kSpeed3d, 99);
    EXPECT_EQ(textOf(textsOf(r), "edGPSSpeed"), "0 m/s");
}

TEST(GpsPanelTexts, FixModeColoursTheStatusField)
{
    const Rgb black{0, 0, 0}, white{0xFF, 0xFF, 0xFF};
    const Rgb yellow{0xFF, 0xFF, 0}, green{0, 0x80, 0}, red{0xFF, 0, 0};
    Bytes r = handBuiltRecord();
    const std::tuple<std::uint8_t, Rgb, Rgb, const char*> cases[] = {
        {0xC0, yellow, black, "2D Fix"},
        {0xE0, green, white, "3D Fix"},
        {0x60, red, white, "Acquiring Satellites"},
        {0x80, red, white, "Position Hold"},
        {0x00, red, white, "Reserved"},
        {0xA0, red, white, "Propogate Mode"},
    };
    for (const auto& [byte1, background, text, mode] : cases) {
        SCOPED_TRACE(mode);
        r[gpsat::kStatus1] = byte1;
        const GpsPanelTexts t = textsOf(r);
        EXPECT_EQ(t.status.background, background);
        EXPECT_EQ(t.status.text, text);
        EXPECT_EQ(textOf(t, "lblRecStat1"), mode);
    }
}

TEST(GpsPanelTexts, ChannelFlagsJoinWithoutBlanks)
{
    Bytes r = handBuiltRecord();
    std::uint8_t* c = r.data() + gpsat::kChannels + 6 * 4; // channel 5
    c[0] = 31;
    c[1] = 8;
    c[2] = 47;
    c[3] = 133;
    c[4] = 0x08;
    c[5] = 0x85;
    EXPECT_EQ(textOf(textsOf(r), "lblChannel5"),
              "   05     31    08    047     133     05     (Time Used)(PosFix Used)");

    c[4] = 0x0F;
    c[5] = 0xF0;
    EXPECT_EQ(textOf(textsOf(r), "lblChannel5"),
              "   05     31    08    047     133     00     (Time Used)(Diff. Corr.)(Invalid Data)"
              "(Parity Error)(PosFix Used)(Mom Alert)(Anti-Spoof)(Unhealthy)");
}

TEST(GpsPanelTexts, ReceiverStatusFlagTexts)
{
    Bytes r = handBuiltRecord();
    r[gpsat::kStatus1] = 0xE0; // 3D fix alone: bit 5 belongs to the fix mode
    r[gpsat::kStatus2] = 0x28; // position lock, insufficient satellites, antenna OK, external
    GpsPanelTexts t = textsOf(r);
    EXPECT_EQ(textOf(t, "lblRecStat2"), "");
    EXPECT_EQ(textOf(t, "lblRecStat3"), "");
    EXPECT_EQ(textOf(t, "lblRecStat4"), "(Pos. Lock)");
    EXPECT_EQ(textOf(t, "lblRecStat5"), "(Insuff. Visible Sat's)");
    EXPECT_EQ(textOf(t, "lblRecStat6"), "Antenna: OK");
    EXPECT_EQ(textOf(t, "lblRecStat7"), "Code Location: EXTERNAL");

    r[gpsat::kStatus1] = 0xC2;
    r[gpsat::kStatus2] = 0x32;
    t = textsOf(r);
    EXPECT_EQ(textOf(t, "lblRecStat2"), "(Fast Acq. Pos.)");
    EXPECT_EQ(textOf(t, "lblRecStat4"), "(Pos. Lock)(Autosurvey)");
    EXPECT_EQ(textOf(t, "lblRecStat6"), "Antenna: Overcurrent");

    r[gpsat::kStatus1] = 0x41;
    r[gpsat::kStatus2] = 0x86;
    t = textsOf(r);
    EXPECT_EQ(textOf(t, "lblRecStat2"), "(Filter Reset)");
    EXPECT_EQ(textOf(t, "lblRecStat3"), "(Cold Start)");
    EXPECT_EQ(textOf(t, "lblRecStat6"), "Antenna: NV");
}

TEST(GpsPanelTexts, TemperatureUtcAndGmtTexts)
{
    Bytes r = handBuiltRecord();
    putBe16(r, gpsat::kTemperature, 47);
    r[gpsat::kUtc] = 0x40;
    r[gpsat::kGmt] = 0;
    r[gpsat::kGmt + 1] = 0;
    r[gpsat::kGmt + 2] = 0;
    const GpsPanelTexts t = textsOf(r);
    EXPECT_EQ(textOf(t, "lblTemperature"), "Temperature = 23.5 C");
    EXPECT_EQ(textOf(t, "lblUTCMode"), "Mode = DISABLED");
    EXPECT_EQ(textOf(t, "lblUTCOffset"), "Offset = DECODED");
    EXPECT_EQ(textOf(t, "lblUTCValue"), "Offset Value = 0");
    EXPECT_EQ(textOf(t, "lblGMT"), " 00:00");
}

// In a fixed-pitch font each value of a channel row sits under its column's heading.
TEST(GpsPanelTexts, ChannelRowsLineUpUnderTheHeader)
{
    const GpsPanelTexts t = textsOf(handBuiltRecord());
    const std::string header = textOf(t, "lblChannelHdr");
    const std::string row = textOf(t, "lblChannel12");
    const std::pair<const char*, std::size_t> columns[] = {
        {"CHANNEL", 2}, {"SVID", 2}, {"MODE", 2}, {"SIGNAL", 3}, {"IODE", 3}, {"ACCURACY", 2},
    };
    std::size_t from = 0;
    for (const auto& [heading, width] : columns) {
        SCOPED_TRACE(heading);
        const std::size_t start = header.find(heading);
        ASSERT_NE(start, std::string::npos);
        const std::size_t value = row.find_first_not_of(' ', from);
        ASSERT_NE(value, std::string::npos);
        EXPECT_GE(value, start);
        EXPECT_LE(value + width, start + std::string(heading).size());
        EXPECT_EQ(row.find(' ', value), value + width);
        from = value + width;
    }
    EXPECT_EQ(row.find('(', from), header.find("STATUS"));
}

} // namespace
} // namespace zentor
