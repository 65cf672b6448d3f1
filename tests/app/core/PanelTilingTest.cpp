#include "app/PanelTiling.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

// The main window's areas: status panel 150 wide below the 32-pixel command bar, information
// panel from x = 682, both 474 high.
const PanelRect kStatusPanel{0, 32, 150, 474};
constexpr int kInfoPanelLeft = 682;

TEST(PanelTiling, ReceiverAreaLiesBetweenStatusAndInformationPanels)
{
    EXPECT_EQ(receiverArea(kStatusPanel, kInfoPanelLeft), (PanelRect{150, 32, 532, 474}));
    // The width is the information panel's left less the status panel's width, as such.
    EXPECT_EQ(receiverArea({10, 40, 100, 300}, 500), (PanelRect{110, 40, 400, 300}));
}

TEST(PanelTiling, EveryCombinationOfVisiblePanelsAndBothTilings)
{
    const PanelRect area{150, 32, 532, 474};
    struct Case
    {
        const char* legend;
        bool visible1, visible2;
        Tiling tiling;
        std::optional<PanelRect> place1, place2;
    };
    const Case cases[] = {
        {"both, side by side", true, true, Tiling::Horizontal, PanelRect{150, 32, 268, 475},
         PanelRect{416, 32, 268, 475}},
        {"both, one above the other", true, true, Tiling::Vertical, PanelRect{150, 32, 534, 238},
         PanelRect{150, 269, 534, 238}},
        {"receiver 1 alone, horizontal", true, false, Tiling::Horizontal,
         PanelRect{150, 32, 534, 475}, std::nullopt},
        {"receiver 1 alone, vertical", true, false, Tiling::Vertical, PanelRect{150, 32, 534, 475},
         std::nullopt},
        {"receiver 2 alone, horizontal", false, true, Tiling::Horizontal, std::nullopt,
         PanelRect{150, 32, 534, 475}},
        {"receiver 2 alone, vertical", false, true, Tiling::Vertical, std::nullopt,
         PanelRect{150, 32, 534, 475}},
        {"none, horizontal", false, false, Tiling::Horizontal, std::nullopt, std::nullopt},
        {"none, vertical", false, false, Tiling::Vertical, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto places = tileReceiverPanels(area, c.visible1, c.visible2, c.tiling);
        EXPECT_EQ(places[0], c.place1) << c.legend;
        EXPECT_EQ(places[1], c.place2) << c.legend;
    }
}

TEST(PanelTiling, HalvesOfAnOddAreaRoundTowardZero)
{
    const PanelRect odd{0, 0, 101, 51};
    const auto sideBySide = tileReceiverPanels(odd, true, true, Tiling::Horizontal);
    EXPECT_EQ(sideBySide[0], (PanelRect{0, 0, 52, 52}));
    EXPECT_EQ(sideBySide[1], (PanelRect{50, 0, 52, 52}));
    const auto stacked = tileReceiverPanels(odd, true, true, Tiling::Vertical);
    EXPECT_EQ(stacked[0], (PanelRect{0, 0, 103, 26}));
    EXPECT_EQ(stacked[1], (PanelRect{0, 25, 103, 26}));
}

} // namespace
} // namespace zentor
