#pragma once

#include "gps/GpsRecordDecoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Everything the GPS panel update shows, formatted from a GPS status, so that the window side
// only copies texts and colours into its widgets.
namespace zentor {

// The controls that show the GPS status in words, named as the main window names them: first the
// fields of the "GPS Data" group, then the labels of the GPS screen, in the order an update
// fills them. Each indexes one text of GpsPanelTexts and one widget of the window (GpsPanel.h).
// edGPSStatus is not among them: an update changes its colours, never its text.
enum class GpsField : std::size_t
{
    // "GPS Data" group.
    edGPSDate,
    edGPSTime,
    edGPSLatitude,
    edGPSLongitude,
    edGPSAltitude,
    edGPSSpeed,
    edGPSHeading,
    edGPSSats,
    // GPS screen.
    lblDateTime,
    lblFilLat,
    lblFilLon,
    lblLat,
    lblLon,
    lblFilGPSHeight,
    lblGPSHeight,
    lblFilMSLHeight,
    lblMSLHeight,
    lbl3DSpeed,
    lbl2DSpeed,
    lblHeading,
    lblClockBias,
    lblOscOffset,
    lblTemperature,
    lblSatData,
    lblUTCMode,
    lblUTCOffset,
    lblUTCValue,
    lblGMT,
    lblID,
    lblRecStat1, // ... lblRecStat7: the receiver status lines
    lblChannelHdr = lblRecStat1 + 7,
    lblChannel1, // ... lblChannel12
    lblGeometry = lblChannel1 + kGpsChannelCount,
};
constexpr std::size_t kGpsFieldCount = static_cast<std::size_t>(GpsField::lblGeometry) + 1;
constexpr std::size_t kGpsDataFieldCount = static_cast<std::size_t>(GpsField::lblDateTime);
constexpr int kRecStatCount = 7;

// Receiver status line 1-7, channel row 1-12.
GpsField recStatField(int line);
GpsField channelField(int channel);
// The field at a position of the enumeration (0 to kGpsFieldCount - 1).
GpsField gpsFieldAt(std::size_t index);
// The control's object name: "edGPSDate", "lblChannel12".
const char* gpsFieldName(GpsField field);
// True for the fields of the "GPS Data" group.
bool inGpsDataGroup(GpsField field);

struct Rgb
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb& o) const
    {
        return red == o.red && green == o.green && blue == o.blue;
    }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// The colours of the status field, which tell the fix at a glance; its text stays as it is.
struct StatusColours
{
    Rgb background;
    Rgb text;
};

// One panel update: a text for every field, and the status field's colours.
struct GpsPanelTexts
{
    std::array<std::string, kGpsFieldCount> texts;
    StatusColours status; // edGPSStatus

    const std::string& text(GpsField field) const { return texts[static_cast<std::size_t>(field)]; }
    std::string& text(GpsField field) { return texts[static_cast<std::size_t>(field)]; }
};

// The channel table's header line, also shown before the first record.
extern const char* const kChannelHeaderText;

// The status field's colours for a fix mode: "2D Fix" yellow with black text, "3D Fix" green with
// white text, every other mode red with white text.
StatusColours statusColours(int fixMode);

// Formats every text of the panel update. Pure function: any thread.
GpsPanelTexts formatGpsPanel(const GpsStatus& status);

// The GPS receiver's coded values in words, as the GPS panel shows them.
constexpr int kFixModeCount = 8;
constexpr int kAntennaSenseCount = 4;
constexpr int kCompassPointCount = 16;
constexpr int kHeadingSectorTenthsDeg = 225; // 22.5 degrees per compass point
constexpr int kHeadingLimitTenthsDeg = kCompassPointCount * kHeadingSectorTenthsDeg; // 3600

// Receiver status byte 1 bits 7-5: "Reserved" ... "3D Fix". An index outside 0-7 gives "".
const char* fixModeText(int fixMode);

// Receiver status byte 2 bits 2-1: "OK", "Overcurrent", "Undercurrent", "NV". Outside 0-3: "".
const char* antennaText(int antennaSense);

// The compass point whose 22.5-degree sector, starting at the point, holds the heading: 0-224
// tenths of a degree is "N", 225-449 "NNE", ..., 3375-3599 "NNW". A heading outside 0-3599 is not
// a direction the receiver can report and has no compass point: "".
const char* compassPointText(int headingTenthsDeg);

} // namespace zentor
