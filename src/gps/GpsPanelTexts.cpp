#include "gps/GpsPanelTexts.h"

#include "core/TextFormat.h"
#include "gps/GpsControlNames.h"
#include "gps/GpsTextTables.h"

#include <cmath>
#include <initializer_list>

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

void receiverStatusTexts(const GpsReceiverStatus& r, std::vector<ControlText>& out)
{
    const std::string lines[gpsctl::kRecStatCount] = {
        fixModeText(r.fixMode),
        flagText(
            {{r.fastAcquisitionPosition, "(Fast Acq. Pos.)"}, {r.filterReset, "(Filter Reset)"}}),
        flagText({{r.coldStart, "(Cold Start)"}, {r.differentialFix, "(Diff. Fix)"}}),
        flagText({{r.positionLock, "(Pos. Lock)"}, {r.autosurvey, "(Autosurvey)"}}),
        flagText({{r.insufficientVisibleSatellites, "(Insuff. Visible Sat's)"}}),
        std::string("Antenna: ") + antennaText(r.antennaSense),
        std::string("Code Location: ") + (r.codeLocationInternal ? "INTERNAL" : "EXTERNAL"),
    };
    for (int i = 0; i < gpsctl::kRecStatCount; ++i)
        out.push_back({gpsctl::recStatName(i + 1), lines[i]});
}

} // namespace

const char* const kChannelHeaderText = "CHANNEL  SVID  MODE  SIGNAL  IODE  ACCURACY  STATUS";

const std::string* GpsPanelTexts::textOf(const std::string& control) const
{
    for (const auto* list : {&groupTexts, &panelTexts}) {
        for (const ControlText& t : *list) {
            if (t.control == control)
                return &t.text;
        }
    }
    return nullptr;
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
    t.groupTexts = {
        {gpsctl::kDate, date},
        {gpsctl::kTime, time},
        {gpsctl::kLatitude, latitudeText(s.filtered.latitudeDeg)},
        {gpsctl::kLongitude, longitudeText(s.filtered.longitudeDeg)},
        {gpsctl::kAltitude, formatText("%.0f meters", s.filtered.gpsHeightCm * kMetresPerCm)},
        {gpsctl::kSpeed, speed3d},
        {gpsctl::kHeading, headingText},
        {gpsctl::kSats, "Sats = " + std::to_string(s.satellitesTracked)},
    };
    t.status = statusColours(s.receiver.fixMode);

    std::vector<ControlText>& p = t.panelTexts;
    p = {
        {gpsctl::kDateTime, date + "   " + time},
        {gpsctl::kFilLat, "Latitude  = " + latitudeText(s.filtered.latitudeDeg)},
        {gpsctl::kFilLon, "Longitude = " + longitudeText(s.filtered.longitudeDeg)},
        {gpsctl::kLat, "Latitude  = " + latitudeText(s.unfiltered.latitudeDeg)},
        {gpsctl::kLon, "Longitude = " + longitudeText(s.unfiltered.longitudeDeg)},
        {gpsctl::kFilGPSHeight, "GPS Height = " + heightText(s.filtered.gpsHeightCm)},
        {gpsctl::kGPSHeight, "GPS Height = " + heightText(s.unfiltered.gpsHeightCm)},
        {gpsctl::kFilMSLHeight, "MSL Height = " + heightText(s.filtered.mslHeightCm)},
        {gpsctl::kMSLHeight, "MSL Height = " + heightText(s.unfiltered.mslHeightCm)},
        {gpsctl::k3DSpeed, "3D Speed = " + speed3d},
        {gpsctl::k2DSpeed, "2D Speed = " + speedText(s.speed2dCmPerS)},
        {gpsctl::kPanelHeading, headingText},
        {gpsctl::kClockBias, formatText("Clock Bias = %d ns", s.clockBiasNs)},
        {gpsctl::kOscOffset,
         formatText("Osc. Offset = %ld Hz", static_cast<long>(s.oscillatorOffsetHz))},
        {gpsctl::kTemperature, formatText("Temperature = %.1f C", s.temperatureC)},
        {gpsctl::kSatData,
         formatText("%u Visible, %u Tracked", s.satellitesVisible, s.satellitesTracked)},
        {gpsctl::kUTCMode, formatText("Mode = %s", s.utcModeEnabled ? "ENABLED" : "DISABLED")},
        {gpsctl::kUTCOffset,
         formatText("Offset = %s", s.utcOffsetDecoded ? "DECODED" : "NOT DECODED")},
        {gpsctl::kUTCValue, formatText("Offset Value = %d", s.utcOffsetValue)},
        {gpsctl::kGMT, formatText("%c%02d:%02d", s.gmtOffsetNegative ? '-' : ' ', s.gmtOffsetHours,
                                  s.gmtOffsetMinutes)},
        {gpsctl::kID, s.idTag},
    };
    receiverStatusTexts(s.receiver, p);
    p.push_back({gpsctl::kChannelHdr, kChannelHeaderText});
    for (int n = 1; n <= kGpsChannelCount; ++n)
        p.push_back({gpsctl::channelName(n), channelText(n, s.channels[n - 1])});
    p.push_back({gpsctl::kGeometry, formatText("%.1f DOP", s.geometryTenths * kGeometryPerUnit)});
    return t;
}

} // namespace zentor
