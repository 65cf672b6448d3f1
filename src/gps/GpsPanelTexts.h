#pragma once

#include "gps/GpsStatus.h"

#include <cstdint>
#include <string>
#include <vector>

// Everything the GPS panel update shows, formatted from a GPS status, so that the window side
// only copies texts and colours into its widgets.
namespace zentor {

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

// The new text of one control, named by its object name (gps/GpsControlNames.h).
struct ControlText
{
    std::string control;
    std::string text;
};

// One panel update, in the order it is applied: the "GPS Data" group fields, then the status
// field's colours, then the GPS panel labels.
struct GpsPanelTexts
{
    std::vector<ControlText> groupTexts; // edGPSDate ... edGPSSats
    StatusColours status;                // edGPSStatus
    std::vector<ControlText> panelTexts; // lblDateTime ... lblChannel12, lblGeometry

    // The text the update gives `control`, or nullptr when it does not set that control.
    const std::string* textOf(const std::string& control) const;
};

// The channel table's header line, also shown before the first record.
extern const char* const kChannelHeaderText;

// The status field's colours for a fix mode: "2D Fix" yellow with black text, "3D Fix" green with
// white text, every other mode red with white text.
StatusColours statusColours(int fixMode);

// Formats every text of the panel update. Pure function: any thread.
GpsPanelTexts formatGpsPanel(const GpsStatus& status);

} // namespace zentor
