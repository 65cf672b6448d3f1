#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zentor {

// A colour as the instrument software stores it: 0x00BBGGRR (0xFF0000 is blue, 0x0000FF red).
using WinColor = std::uint32_t;

constexpr WinColor kBlue = 0xFF0000;
constexpr WinColor kRed = 0x0000FF;
constexpr WinColor kDarkRed = 0x000080;
constexpr WinColor kGrey = 0x808080;
constexpr WinColor kWhite = 0xFFFFFF;
constexpr WinColor kBlack = 0x000000;

constexpr int kTracePoints = 100;
constexpr int kReferenceLines = 2; // of each direction

// A dashed line across the plot at a horizontal value, with its caption above the plot.
struct VerticalReferenceLine
{
    bool enabled = false;
    WinColor color = kBlack;
    double x = 0.0;
    std::string caption;
};

// A dashed line across the plot at a vertical value, with its caption right of the plot.
struct HorizontalReferenceLine
{
    bool enabled = false;
    WinColor color = kBlack;
    double y = 0.0;
    std::string caption;
};

struct TracePoint
{
    double x = 0.0;
    double y = 0.0;
};

// What a bar display shows and how: ranges, captions, switches, colours, zoom limits,
// reference lines and trace. The fields keep the names the display's owners use.
struct BarModel
{
    // Values at the plot's left and right edges and at its bottom and top edges.
    double XMin = 0.0;
    double XMax = 0.0;
    double YBottom = 0.0;
    double YTop = 10.0;
    // Values per pixel, recomputed from the ranges and the plot size (1.0 for an empty plot).
    double XPerPixel = 1.0;
    double YPerPixel = 1.0;
    // The optional right-hand axis.
    double Y2Bottom = 0.0;
    double Y2Top = 10.0;
    std::uint16_t GridDivisions = 0; // horizontal grid intervals; 0 means 10

    std::string Title;
    std::string LeftCaption;
    std::string RightCaption;
    std::string BottomCaption;
    std::string CornerCaption;

    bool ShowRightAxis = false;
    bool ShowBottomNumbers = false;
    bool ShowBottomSecondary = false;
    bool BottomNumbersMode = true; // the bottom strip carries numbers, not the frame caption
    std::uint16_t BottomPrecision = 0;
    std::uint16_t SecondaryPrecision = 0;
    bool VerticalBarLabels = false;
    bool LabelsAlways = true; // false: only the bar under the mouse is labelled
    bool ShowReadout = false;
    bool ZoomEnabled = true;
    bool ShowTrace = false;

    WinColor BarColor = kBlue;
    std::uint16_t BarWidthDivisor = 1;

    // Zoom: the horizontal range never leaves [ZoomLimitMin, ZoomLimitMax] and never gets
    // narrower than ZoomMinSpan; ZoomFactor is the total magnification so far.
    double ZoomLimitMin = -1.0e300;
    double ZoomLimitMax = 1.0e300;
    double ZoomMinSpan = 0.0;
    double ZoomFactor = 1.0;

    std::array<VerticalReferenceLine, kReferenceLines> VerticalLines{};
    std::array<HorizontalReferenceLine, kReferenceLines> HorizontalLines{};

    std::array<TracePoint, kTracePoints> Trace{};
    int TraceCount = 0; // points of Trace in use, 0..kTracePoints

    WinColor GridColor = kGrey; // the background's pen
};

// GridDivisions as drawn: 0 stands for 10.
inline int effectiveGridDivisions(const BarModel& model)
{
    constexpr int kDefaultGridDivisions = 10;
    return model.GridDivisions == 0 ? kDefaultGridDivisions : model.GridDivisions;
}

} // namespace zentor
