#pragma once

#include "display/BarGeometry.h"
#include "display/BarModel.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zentor {

// How many bars each pixel column of the plot has taken in the current frame, so that bars
// landing on the same column are drawn side by side. Cleared at the start of every frame.
class ColumnUse
{
public:
    static constexpr int kColumns = 2048;
    static constexpr int kShiftPixels = 5;

    void clear() { counters_.fill(0); }
    // The column a bar aimed at `column` is drawn at: the first bar on a column stays there,
    // the second moves kShiftPixels right, every later one kShiftPixels left. Columns outside
    // [0, kColumns) are not counted and keep their place.
    int place(int column);
    std::uint16_t count(int column) const;

private:
    std::array<std::uint16_t, kColumns> counters_{};
};

// Half the width of a bar: the plot width shared among XMax + 1 positions, each split by
// BarWidthDivisor, truncated; at least 1.
int barHalfWidth(int plotWidth, int barWidthDivisor, double xMax);

// Where one bar goes in plot coordinates ((0, 0) is the plot's top-left pixel).
struct BarPlacement
{
    int px = 0;   // the bar's middle column, after collision shifts
    int py = 0;   // its top
    IntRect rect; // the filled area: px - hw .. px + hw, from py down to the plot's bottom
};

// Places a bar at horizontal `position` reaching up to `value`, and counts its column in
// `columns`. Nothing when the plot is empty or the position's pixel lies outside the plot's
// [left, right]; a value beyond the vertical range is held at the plot's bottom or top.
std::optional<BarPlacement> placeBar(const BarModel& model, const BarGeometry& geometry,
                                     ColumnUse& columns, double position, double value);

// Where a bar label of the given text size goes: the top-left corner of its cell (a vertical
// label reads upward from there, its cell right of x) and whether it lies on the bar.
struct LabelPlacement
{
    int x = 0;
    int y = 0;
    bool onBar = false; // drawn in a colour that stands out from the bar, with no cell behind it
};

// Centred on the bar (a vertical label on its middle column), 20 pixels above the bar's top.
// A label that would leave the plot at its top there (a strong reading) goes on the bar instead,
// kLabelInset below its top, when the bar is long and wide enough to hold it; otherwise it keeps
// to the plot's top, over the bar.
constexpr int kLabelInset = 4;
LabelPlacement placeBarLabel(const BarPlacement& bar, int textWidth, int textHeight, bool vertical);

} // namespace zentor
