#include "display/BarGeometry.h"

namespace zentor {

namespace {
constexpr double kMarginShare = 0.15;     // of the outer box on each side of the plot
constexpr int kStripOverhangDivisor = 20; // the axis strips reach 1/20 of the plot beyond it
constexpr int kBottomStripOverhangDivisor = 10;
constexpr int kBottomStripGap = 8;     // between the plot and the bottom numbers
constexpr int kBottomStripExtra = 3;   // below the middle of the bottom margin
constexpr int kTopMarginOverhang = 10; // the top margin strip reaches past the plot's sides
} // namespace

BarGeometry computeBarGeometry(int left, int top, int width, int height)
{
    BarGeometry g;
    g.OuterLeft = left;
    g.OuterTop = top;
    g.OuterRight = width - left;
    g.OuterBottom = height - top;
    g.OuterWidth = g.OuterRight - g.OuterLeft;
    g.OuterHeight = g.OuterBottom - g.OuterTop;

    IntRect& p = g.PlotRect;
    p.left = static_cast<int>(g.OuterLeft + kMarginShare * g.OuterWidth);
    p.top = static_cast<int>(g.OuterTop + kMarginShare * g.OuterHeight);
    p.right = static_cast<int>(g.OuterRight - kMarginShare * g.OuterWidth);
    p.bottom = static_cast<int>(g.OuterBottom - kMarginShare * g.OuterHeight);
    g.PlotWidth = p.right - p.left;
    g.PlotHeight = p.bottom - p.top;

    const int overhang = g.PlotHeight / kStripOverhangDivisor;
    g.LeftAxisStrip = {(g.OuterLeft + p.left) / 2, p.top - overhang, p.left - 1,
                       p.bottom + overhang};
    g.RightAxisStrip = {p.right + 1, p.top - overhang, (g.OuterRight + p.right) / 2,
                        p.bottom + overhang};
    const int sideways = g.PlotWidth / kBottomStripOverhangDivisor;
    g.BottomAxisStrip = {p.left - sideways, p.bottom + kBottomStripGap, p.right + sideways,
                         (p.bottom + g.OuterBottom) / 2 + kBottomStripExtra};
    g.ReadoutStrip = {p.left, p.top - (p.top - g.OuterTop) / 4 + 1, p.right, p.top - 1};
    g.TopMarginStrip = {p.left - kTopMarginOverhang, p.top - overhang, p.right + kTopMarginOverhang,
                        p.top - 1};
    g.RightMarginStrip = {p.right + 1, p.top - 1, g.OuterRight, p.bottom + 1};
    return g;
}

IntRect leftCaptionCell(const BarGeometry& g, int textWidth)
{
    const int left = (g.PlotRect.left - g.OuterLeft) / 4 + g.OuterLeft - kLeftCaptionHeight / 2;
    const int bottom = textWidth / 2 + g.OuterHeight / 2;
    return {left, bottom - textWidth, left + kLeftCaptionHeight, bottom};
}

} // namespace zentor
