#include "gps/GpsPanelTexts.h"

#include "core/TextFormat.h"

#include <cassert>
#include <cmath>
#include <initializer_list>
#include <iterator>

namespace zentor {
namespace {

constexpr double kMetresPerCm = 0.01;
constexpr int kCmPerMetre = 100;
constexpr double kGeometryPerUnit = 0.1;

constexpr Rgb kBlack{0x00, 0x00, 0x00};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
constexpr Rgb kYellow{0xFF, 0xFF, 0x00};
constexpr Rgb kGreen{0x00, 0x80, 0x00};
constexpr Rgb kRed{0xFF, 0x00, 0x00};

// The object names of the fields, in the enumeration's order.
const char* const kFieldNames[] = {
    "edGPSDate",       "edGPSTime",     "edGPSLatitude",  "edGPSLongitude",  "edGPSAltitude",
    "edGPSSpeed",      "edGPSHeading",  "edGPSSats",      "lblDateTime",     "lblFilLat",
    "lblFilLon",       "lblLat",        "lblLon",         "lblFilGPSHeight", "lblGPSHeight",
    "lblFilMSLHeight", "lblMSLHeight",  "lbl3DSpeed",     "lbl2DSpeed",      "lblHeading",
    "lblClockBias",    "lblOscOffset",  "lblTemperature", "lblSatData",      "lblUTCMode",
    "lblUTCOffset",    "lblUTCValue",   "lblGMT",         "lblID",           "lblRecStat1",
    "lblRecStat2",     "lblRecStat3",   "lblRecStat4",    "lblRecStat5",     "lblRecStat6",
    "lblRecStat7",     "lblChannelHdr", "lblChannel1",    "lblChannel2",     "lblChannel3",
    "lblChannel4",     "lblChannel5",   "lblChannel6",    "lblChannel7",     "lblChannel8",
    "lblChannel9",     "lblChannel10",  "lblChannel11",   "lblChannel12",    "lblGeometry",
};
static_assert(std::size(kFieldNames) == kGpsFieldCount, "every GPS field has its object name");

const char* const kFixModeTexts[kFixModeCount] = {
    "Reserved",      "Reserved",       "Bad Geometry", "Acquiring Satellites",
    "Position Hold", "Propogate Mode", "2D Fix",       "3D Fix",
};

const char* const kAntennaTexts[kAntennaSenseCount] = {"OK", "Overcurrent", "Undercurrent", "NV"};

const char* const kCompassPointTexts[kCompassPointCount] = {
    "N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
    "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW",
};

const char* const kNoText = "";

std::string dateText(const GpsStatus& s)
{
    return formatText("%02d/%02d/%04d", s.month, s.day, s.year);
}

std::string timeText(const GpsStatus& s)
{
    return formatText("%02d:%02d:%02d", s.hours, s.minutes, s.seconds);
}

// A value of exactly 0 takes the second hemisphere letter: 0.0000 S, 0.0000 W.
std::string angleText(double degrees, char positive, char negative)
{
    return formatText("%.4f %c", std::fabs(degrees), degrees > 0 ? positive : negative);
}

std::string latitudeText(double degrees)
{
    return angleText(degrees, 'N', 'S');
}

std::string longitudeText(double degrees)
{
    return angleText(degrees, 'E', 'W');
}

std::string heightText(double cm)
{
    return formatText("%.0f M", cm * kMetresPerCm);
}

// Whole metres per second, truncated toward zero.
std::string speedText(int cmPerS)
{
    return formatText("%d m/s", cmPerS / kCmPerMetre);
}

// Each set flag's text follows the previous one with no separator.
struct Flag
{
    bool set;
    const char* text;
};

std::string flagText(std::initializer_list<Flag> flags)
{
    std::string text;
    for (const Flag& f : flags) {
        if (f.set)
            text += f.text;
    }
    return text;
}

std::string channelText(int n, const GpsChannelStatus& c)
{
    const std::string flags = flagText({
        {c.timeUsed, "(Time Used)"},
        {c.differentialCorrections, "(Diff. Corr.)"},
        {c.invalidData, "(Invalid Data)"},
        {c.parityError, "(Parity Error)"},
        {c.usedForPositionFix, "(PosFix Used)"},
        {c.momentumAlert, "(Mom Alert)"},
        {c.antiSpoof, "(Anti-Spoof)"},
        {c.unhealthy, "(Unhealthy)"},
    });
    return formatText("   %02d     %02d    %02d    %03d     %03d     %02d     %s", n, c.svid,
                      c.mode, c.signalStrength, c.iode, c.accuracy, flags.c_str());
}

void receiverStatusTexts(const GpsReceiverStatus& r, GpsPanelTexts& t)
{
    const std::string lines[kRecStatCount] = {
        fixModeText(r.fixMode),
        flagText(
            {{r.fastAcquisitionPosition, "(Fast Acq. Pos.)"}, {r.filterReset, "(Filter Reset)"}}),
        flagText({{r.coldStart, "(Cold Start)"}, {r.differentialFix, "(Diff. Fix)"}}),
        flagText({{r.positionLock, "(Pos. Lock)"}, {r.autosurvey, "(Autosurvey)"}}),
        flagText({{r.insufficientVisibleSatellites, "(Insuff. Visible Sat's)"}}),
        std::string("Antenna: ") + antennaText(r.antennaSense),
        std::string("Code Location: ") + (r.codeLocationInternal ? "INTERNAL" : "EXTERNAL"),
    };
    for (int i = 0; i < kRecStatCount; ++i)
        t.text(recStatField(i + 1)) = lines[i];
}

} // namespace

const char* const kChannelHeaderText = "CHANNEL  SVID  MODE  SIGNAL  IODE  ACCURACY  STATUS";

GpsField recStatField(int line)
{
    assert(line >= 1 && line <= kRecStatCount);
    return gpsFieldAt(static_cast<std::size_t>(GpsField::lblRecStat1) + (line - 1));
}

GpsField channelField(int channel)
{
    assert(channel >= 1 && channel <= kGpsChannelCount);
    return gpsFieldAt(static_cast<std::size_t>(GpsField::lblChannel1) + (channel - 1));
}

GpsField gpsFieldAt(std::size_t index)
{
    assert(index < kGpsFieldCount);
    return static_cast<GpsField>(index);
}

const char* gpsFieldName(GpsField field)
{
    return kFieldNames[static_cast<std::size_t>(field)];
}

bool inGpsDataGroup(GpsField field)
{
    return static_cast<std::size_t>(field) < kGpsDataFieldCount;
}

StatusColours statusColours(int fixMode)
{
    if (fixMode == kGpsFix2D)
        return {kYellow, kBlack};
    if (fixMode == kGpsFix3D)
        return {kGreen, kWhite};
    return {kRed, kWhite};
}

GpsPanelTexts formatGpsPanel(const GpsStatus& s)
{
    const std::string date = dateText(s);
    const std::string time = timeText(s);
    const std::string compassPoint = compassPointText(s.headingTenthsDeg);
    const std::string headingText = "Heading = " + compassPoint;
    const std::string speed3d = speedText(s.speed3dCmPerS);

    GpsPanelTexts t;
    auto set = [&t](GpsField field, std::string text) { t.text(field) = std::move(text); };
    set(GpsField::edGPSDate, date);
    set(GpsField::edGPSTime, time);
    set(GpsField::edGPSLatitude, latitudeText(s.filtered.latitudeDeg));
    set(GpsField::edGPSLongitude, longitudeText(s.filtered.longitudeDeg));
    set(GpsField::edGPSAltitude, formatText("%.0f meters", s.filtered.gpsHeightCm * kMetresPerCm));
    set(GpsField::edGPSSpeed, speed3d);
    set(GpsField::edGPSHeading, headingText);
    set(GpsField::edGPSSats, "Sats = " + std::to_string(s.satellitesTracked));
    t.status = statusColours(s.receiver.fixMode);

    set(GpsField::lblDateTime, date + "   " + time);
    set(GpsField::lblFilLat, "Latitude  = " + latitudeText(s.filtered.latitudeDeg));
    set(GpsField::lblFilLon, "Longitude = " + longitudeText(s.filtered.longitudeDeg));
    set(GpsField::lblLat, "Latitude  = " + latitudeText(s.unfiltered.latitudeDeg));
    set(GpsField::lblLon, "Longitude = " + longitudeText(s.unfiltered.longitudeDeg));
    set(GpsField::lblFilGPSHeight, "GPS Height = " + heightText(s.filtered.gpsHeightCm));
    set(GpsField::lblGPSHeight, "GPS Height = " + heightText(s.unfiltered.gpsHeightCm));
    set(GpsField::lblFilMSLHeight, "MSL Height = " + heightText(s.filtered.mslHeightCm));
    set(GpsField::lblMSLHeight, "MSL Height = " + heightText(s.unfiltered.mslHeightCm));
    set(GpsField::lbl3DSpeed, "3D Speed = " + speed3d);
    set(GpsField::lbl2DSpeed, "2D Speed = " + speedText(s.speed2dCmPerS));
    set(GpsField::lblHeading, headingText);
    set(GpsField::lblClockBias, formatText("Clock Bias = %d ns", s.clockBiasNs));
    set(GpsField::lblOscOffset,
        formatText("Osc. Offset = %ld Hz", static_cast<long>(s.oscillatorOffsetHz)));
    set(GpsField::lblTemperature, formatText("Temperature = %.1f C", s.temperatureC));
    set(GpsField::lblSatData,
        formatText("%u Visible, %u Tracked", s.satellitesVisible, s.satellitesTracked));
    set(GpsField::lblUTCMode, formatText("Mode = %s", s.utcModeEnabled ? "ENABLED" : "DISABLED"));
    set(GpsField::lblUTCOffset,
        formatText("Offset = %s", s.utcOffsetDecoded ? "DECODED" : "NOT DECODED"));
    set(GpsField::lblUTCValue, formatText("Offset Value = %d", s.utcOffsetValue));
    set(GpsField::lblGMT, formatText("%c%02d:%02d", s.gmtOffsetNegative ? '-' : ' ',
                                     s.gmtOffsetHours, s.gmtOffsetMinutes));
    set(GpsField::lblID, s.idTag);
    receiverStatusTexts(s.receiver, t);
    set(GpsField::lblChannelHdr, kChannelHeaderText);
    for (int n = 1; n <= kGpsChannelCount; ++n)
        set(channelField(n), channelText(n, s.channels[n - 1]));
    set(GpsField::lblGeometry, formatText("%.1f DOP", s.geometryTenths * kGeometryPerUnit));
    return t;
}

const char* fixModeText(int fixMode)
{
    return fixMode >= 0 && fixMode < kFixModeCount ? kFixModeTexts[fixMode] : kNoText;
}

const char* antennaText(int antennaSense)
{
    return antennaSense >= 0 && antennaSense < kAntennaSenseCount ? kAntennaTexts[antennaSense]
                                                                  : kNoText;
}

const char* compassPointText(int headingTenthsDeg)
{
    if (headingTenthsDeg < 0 || headingTenthsDeg >= kHeadingLimitTenthsDeg)
        return kNoText;
    return kCompassPointTexts[headingTenthsDeg / kHeadingSectorTenthsDeg];
}

} // namespace zentor
