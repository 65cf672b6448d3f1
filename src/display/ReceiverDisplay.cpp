#include "display/ReceiverDisplay.h"

namespace zentor {

namespace {
constexpr double kLevelScaleBottomDbm = -120.0;
constexpr double kLevelScaleTopDbm = -30.0;
constexpr double kZoomLimitMax = 11.0;
constexpr double kZoomMinSpan = 2.0;
constexpr double kFirstXMax = 2.0;
} // namespace

void setUpReceiverDisplay(DBar& display)
{
    BarModel model = display.model();
    model.ShowRightAxis = false;
    model.ShowBottomNumbers = false;
    model.ShowBottomSecondary = false;
    model.BarColor = kDarkRed;
    model.LeftCaption = "RSSI (dBm)";
    model.Title.clear();
    model.BottomCaption.clear();
    model.BottomPrecision = 0;
    model.SecondaryPrecision = 0;
    model.XMin = 0.0;
    model.XMax = kFirstXMax;
    model.YBottom = kLevelScaleBottomDbm;
    model.YTop = kLevelScaleTopDbm;
    model.ZoomLimitMin = 0.0;
    model.ZoomLimitMax = kZoomLimitMax;
    model.ZoomMinSpan = kZoomMinSpan;
    model.ZoomEnabled = false;
    for (VerticalReferenceLine& line : model.VerticalLines)
        line.enabled = false;
    for (HorizontalReferenceLine& line : model.HorizontalLines)
        line.enabled = false;
    display.setModel(model);
}

void drawReceiverFrame(DBar& display, const ReceiverFrame& frame)
{
    display.SetXMax(frame.xMax);
    display.SetVerticalBarLabels(frame.verticalLabels);
    display.SetBottomCaption(frame.bottomCaption);
    display.BeginFrame();
    for (const FrameBar& bar : frame.bars)
        display.DrawBar(bar.position, bar.label, bar.levelDbm);
    display.EndFrame(std::string());
}

void updateReceiverDisplay(DBar& display, ReceiverState& state, int r,
                           const DisplayChoices& choices)
{
    // The mark first: the copy taken after it is at least as new as the change it reports. The
    // copy clears the receiver's data event: what arrives while this frame is drawn is stored
    // and drawn in the next.
    const bool rangesChanged = state.takeRangesChanged(r);
    const ReceiverSnapshot receiver = state.takeReceiver(r);
    if (rangesChanged)
        display.SetTitle(receiverTitle(r, receiver.range));
    drawReceiverFrame(display, composeReceiverFrame(receiver, choices));
}

} // namespace zentor
