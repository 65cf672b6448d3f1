#pragma once

#include <array>
#include <optional>

namespace zentor {

// A panel's place in its parent, in pixels.
struct PanelRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PanelRect& o) const
    {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

enum class Tiling
{
    Horizontal, // side by side
    Vertical,   // one above the other
};

// The receiver area lies between the status panel and the information panel: the status
// panel's top and height, from its right edge, as wide as the information panel's left edge
// less the status panel's width.
PanelRect receiverArea(const PanelRect& statusPanel, int infoPanelLeft);

// Where the two receiver panels go (index 0 = receiver 1). A panel that is not visible gets no
// place. One visible panel takes the whole area; two share it in halves (rounded toward zero),
// receiver 1 on the left or on top. Every placed panel is made 2 pixels wider and 1 pixel
// taller than its share, so that neighbouring borders overlap.
std::array<std::optional<PanelRect>, 2> tileReceiverPanels(const PanelRect& area,
                                                           bool receiver1Visible,
                                                           bool receiver2Visible, Tiling tiling);

} // namespace zentor
