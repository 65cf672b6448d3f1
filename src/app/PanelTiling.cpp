#include "app/PanelTiling.h"

namespace zentor {

namespace {

constexpr int kOverlapWidth = 2;
constexpr int kOverlapHeight = 1;

PanelRect withOverlap(PanelRect share)
{
    share.width += kOverlapWidth;
    share.height += kOverlapHeight;
    return share;
}

} // namespace

PanelRect receiverArea(const PanelRect& statusPanel, int infoPanelLeft)
{
    return {statusPanel.left + statusPanel.width, statusPanel.top,
            infoPanelLeft - statusPanel.width, statusPanel.height};
}

std::array<std::optional<PanelRect>, 2> tileReceiverPanels(const PanelRect& area,
                                                           bool receiver1Visible,
                                                           bool receiver2Visible, Tiling tiling)
{
    std::array<std::optional<PanelRect>, 2> places;
    if (receiver1Visible && receiver2Visible) {
        PanelRect first = area;
        PanelRect second = area;
        if (tiling == Tiling::Vertical) {
            first.height = area.height / 2;
            second.height = area.height / 2;
            second.top = area.top + first.height;
        } else {
            first.width = area.width / 2;
            second.width = area.width / 2;
            second.left = area.left + first.width;
        }
        places[0] = withOverlap(first);
        places[1] = withOverlap(second);
    } else if (receiver1Visible) {
        places[0] = withOverlap(area);
    } else if (receiver2Visible) {
        places[1] = withOverlap(area);
    }
    return places;
}

} // namespace zentor
