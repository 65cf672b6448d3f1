#include "display/DBar.h"

#include "RenderedDisplay.h"
#include "display/BarScale.h"
#include "display/ReceiverDisplay.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPointF>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::countColor;
using test::countInk;
using test::countOtherThan;
using test::hasColor;
using test::inkBounds;
using test::rendered;

// A receiver display filling a panel of the main window with one receiver shown: plot
// 373 x 332 pixels at (80, 71), right edge 453, bottom 403; levels -120 ... -30 dBm.
class ReceiverPanelDisplay : public ::testing::Test
{
protected:
    ReceiverPanelDisplay()
    {
        display.resize(534, 475);
        setUpReceiverDisplay(display);
        display.SetXMax(11.0);
    }
    void sendMouse(QEvent::Type type, int x, int y, Qt::MouseButton button)
    {
        const QPointF at(x, y);
        QMouseEvent event(type, at, display.mapToGlobal(at), button,
                          type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
        QCoreApplication::sendEvent(&display, &event);
    }
    QApplication& app = test::testApplication(); // before any widget
    DBar display;
};

TEST(DBarDefaults, AsConstructed)
{
    test::testApplication();
    DBar display;
    const BarModel& m = display.model();
    EXPECT_EQ(m.XMin, 0.0);
    EXPECT_EQ(m.XMax, 0.0);
    EXPECT_TRUE(m.BottomNumbersMode);
    EXPECT_TRUE(m.LabelsAlways);
    EXPECT_TRUE(m.ZoomEnabled);
    EXPECT_FALSE(m.ShowRightAxis);
    EXPECT_FALSE(m.ShowBottomNumbers);
    EXPECT_FALSE(m.ShowBottomSecondary);
    EXPECT_FALSE(m.VerticalBarLabels);
    EXPECT_FALSE(m.ShowReadout);
    EXPECT_FALSE(m.ShowTrace);
    EXPECT_EQ(m.TraceCount, 0);
    EXPECT_EQ(m.BarColor, 0xFF0000u); // blue
    EXPECT_EQ(m.BarWidthDivisor, 1);
    EXPECT_EQ(m.GridColor, 0x808080u);
    EXPECT_EQ(m.GridDivisions, 0);
    for (const auto& line : m.VerticalLines)
        EXPECT_FALSE(line.enabled);
    for (const auto& line : m.HorizontalLines)
        EXPECT_FALSE(line.enabled);
    // "Arial Bold", which this machine has as its metric twin.
    EXPECT_TRUE(display.font().bold());
    EXPECT_EQ(QFontInfo(display.font()).family(), QStringLiteral("Liberation Sans"));
}

TEST_F(ReceiverPanelDisplay, ReceiverSettings)
{
    const BarModel& m = display.model();
    EXPECT_FALSE(m.ShowRightAxis);
    EXPECT_FALSE(m.ShowBottomNumbers);
    EXPECT_FALSE(m.ShowBottomSecondary);
    EXPECT_EQ(m.BarColor, 0x000080u); // dark red
    EXPECT_EQ(m.LeftCaption, "RSSI (dBm)");
    EXPECT_EQ(m.Title, "");
    EXPECT_EQ(m.BottomCaption, "");
    EXPECT_EQ(m.BottomPrecision, 0);
    EXPECT_EQ(m.SecondaryPrecision, 0);
    EXPECT_EQ(m.XMin, 0.0);
    EXPECT_EQ(m.YBottom, -120.0);
    EXPECT_EQ(m.YTop, -30.0);
    EXPECT_EQ(m.ZoomLimitMin, 0.0);
    EXPECT_EQ(m.ZoomLimitMax, 11.0);
    EXPECT_EQ(m.ZoomMinSpan, 2.0);
    EXPECT_FALSE(m.ZoomEnabled);

    DBar fresh;
    setUpReceiverDisplay(fresh);
    EXPECT_EQ(fresh.model().XMax, 2.0);
}

TEST_F(ReceiverPanelDisplay, PaintsGridPlotAndSurround)
{
    const QImage image = rendered(display);
    ASSERT_EQ(image.size(), QSize(534, 475));
    EXPECT_EQ(display.barGeometry().PlotRect, (IntRect{80, 71, 453, 403}));
    EXPECT_TRUE(hasColor(image, 5, 5, kGrey));
    EXPECT_TRUE(hasColor(image, 200, 90, kWhite));
    // Ten grid intervals: lines at rows 0, 33, 66 ... 298 of the plot, each all across.
    for (int row : {0, 33, 66, 99, 132, 166, 199, 232, 265, 298}) {
        EXPECT_EQ(countColor(image, {80, 71 + row, 453, 72 + row}, kGrey), 373) << row;
        EXPECT_EQ(countColor(image, {80, 72 + row, 453, 73 + row}, kWhite), 373) << row;
    }
    EXPECT_EQ(display.model().XPerPixel, 11.0 / 373);
}

TEST_F(ReceiverPanelDisplay, AxisNumbersSitOnTheirGridLines)
{
    const QImage image = rendered(display);
    const IntRect& strip = display.barGeometry().LeftAxisStrip;
    // Each of the 11 numbers -30 ... -120 is drawn across its grid line's row, and nothing lies
    // between two numbers' bands.
    for (int s = 0; s <= 10; ++s) {
        const int y = 71 + s * 332 / 10;
        EXPECT_GT(countOtherThan(image, {strip.left, y - 6, strip.right, y + 6}, kGrey), 20) << s;
    }
    EXPECT_EQ(countOtherThan(image, {strip.left, 71 + 10, strip.right, 71 + 23}, kGrey), 0);
    // Left of the strip only the left caption, centred on the control's middle rows.
    EXPECT_GT(countOtherThan(image, {0, 200, strip.left, 275}, kGrey), 100);
    EXPECT_EQ(countOtherThan(image, {0, 0, strip.left, 190}, kGrey), 0);
    EXPECT_EQ(countOtherThan(image, {0, 285, strip.left, 475}, kGrey), 0);
    EXPECT_EQ(countColor(image, {80, 71, 453, 403}, kBlack), 0);
}

TEST_F(ReceiverPanelDisplay, BarsFillFromTheirLevelToTheBottom)
{
    display.BeginFrame();
    display.DrawBar(1.0, "", -75.0); // px 33, hw 15: columns 98 ... 127, rows 237 ... 402
    display.EndFrame("");
    const QImage image = rendered(display);
    EXPECT_EQ(countColor(image, {98, 237, 128, 403}, kDarkRed), 30 * 166);
    EXPECT_EQ(countColor(image, {97, 237, 98, 403}, kDarkRed), 0);
    EXPECT_EQ(countColor(image, {128, 237, 129, 403}, kDarkRed), 0);
    EXPECT_EQ(countColor(image, {98, 236, 128, 237}, kDarkRed), 0);
    EXPECT_EQ(countColor(image, {80, 71, 453, 403}, kDarkRed), 30 * 166);
}

TEST_F(ReceiverPanelDisplay, BarsOnOneColumnAreShiftedRightThenLeft)
{
    display.BeginFrame();
    display.DrawBar(5.0, "", -93.0); // px 169: 154 ... 183
    display.DrawBar(5.0, "", -93.0); // px 174: 159 ... 188
    display.DrawBar(5.0, "", -93.0); // px 164: 149 ... 178
    display.EndFrame("");
    const QImage image = rendered(display);
    const int row = 400;
    EXPECT_EQ(countColor(image, {80 + 149, row, 80 + 189, row + 1}, kDarkRed), 40);
    EXPECT_TRUE(hasColor(image, 80 + 148, row, kWhite));
    EXPECT_TRUE(hasColor(image, 80 + 189, row, kWhite));
}

TEST_F(ReceiverPanelDisplay, LevelsBeyondTheScaleAndPositionsBeyondTheRange)
{
    display.BeginFrame();
    display.DrawBar(3.0, "weak", -150.0); // no height, and its label above the bottom
    display.DrawBar(6.0, "", 0.0);        // to the top
    display.DrawBar(12.0, "gone", -50.0); // right of the range: nothing, label neither
    display.DrawBar(-1.0, "gone", -50.0); // left of it
    display.EndFrame("");
    const QImage image = rendered(display);
    const int strongX = 80 + 6 * 373 / 11; // 283
    EXPECT_EQ(countColor(image, {strongX - 15, 71, strongX + 15, 403}, kDarkRed), 30 * 332);
    const int weakX = 80 + 3 * 373 / 11; // 181
    // No bar above or below its label, which is drawn in the bar's colour (whole pixels of it
    // where the font is drawn without smoothing, as on Windows).
    EXPECT_EQ(countColor(image, {weakX - 15, 71, weakX + 15, 403 - 20}, kDarkRed), 0);
    EXPECT_EQ(countColor(image, {weakX - 15, 403 - 8, weakX + 15, 403}, kDarkRed), 0);
    EXPECT_GT(countInk(image, {weakX - 30, 403 - 20, weakX + 30, 403 - 8}), 0);
    EXPECT_EQ(countInk(image, {80, 71, 80 + 20, 403}), 0);
    EXPECT_EQ(countInk(image, {453 - 20, 71, 453, 403}), 0);
}

TEST_F(ReceiverPanelDisplay, LabelsAcrossInSingleModeUpwardInListMode)
{
    display.SetXMax(2.0);
    display.BeginFrame();
    display.DrawBar(1.0, "-67 dBm", -67.0); // px 186, top row 136 of the plot (207)
    display.EndFrame("");
    QImage image = rendered(display);
    const QRect across = inkBounds(image, {80, 71, 453, 207});
    ASSERT_FALSE(across.isEmpty());
    EXPECT_GT(across.width(), 2 * across.height());
    EXPECT_NEAR(across.center().x(), 80 + 186, 3);
    EXPECT_GE(across.top(), 207 - 20); // the label's cell: 12 rows from 20 above the bar
    EXPECT_LT(across.bottom(), 207 - 20 + 12);

    display.SetXMax(11.0);
    display.SetVerticalBarLabels(true);
    display.BeginFrame();
    display.DrawBar(1.0, "937.4000", -90.0); // px 33, top row 221 of the plot (292)
    display.EndFrame("");
    image = rendered(display);
    const QRect upward = inkBounds(image, {80, 71, 453, 292});
    ASSERT_FALSE(upward.isEmpty());
    EXPECT_GT(upward.height(), 2 * upward.width());
    EXPECT_NEAR(upward.center().x(), 80 + 33, 3);
    EXPECT_LE(upward.bottom(), 292 - 20);
}

TEST_F(ReceiverPanelDisplay, WithoutLabelsAlwaysOnlyTheBarUnderTheMouseIsLabelled)
{
    BarModel model = display.model();
    model.LabelsAlways = false;
    display.setModel(model);
    sendMouse(QEvent::MouseMove, 113, 350, Qt::NoButton); // inside the bar at position 1
    display.BeginFrame();
    display.DrawBar(1.0, "here", -75.0);
    display.DrawBar(5.0, "there", -75.0);
    display.EndFrame("");
    const QImage image = rendered(display);
    EXPECT_GT(countInk(image, {80, 71 + 166 - 20, 80 + 60, 71 + 166 - 8}), 0);
    EXPECT_EQ(countInk(image, {80 + 130, 71, 80 + 210, 71 + 166}), 0);
}

TEST_F(ReceiverPanelDisplay, NewFrameStartsFromTheBareGrid)
{
    display.BeginFrame();
    display.DrawBar(1.0, "", -75.0);
    display.EndFrame("");
    display.BeginFrame();
    display.DrawBar(10.0, "", -75.0);
    display.EndFrame("");
    const QImage image = rendered(display);
    EXPECT_EQ(countColor(image, {80, 71, 80 + 100, 403}, kDarkRed), 0);
    EXPECT_EQ(countColor(image, {80, 71, 453, 403}, kDarkRed), 30 * 166);
}

TEST_F(ReceiverPanelDisplay, EmptyCaptionKeepsTheStoredOne)
{
    display.SetTitle("R1 (928.40000-959.80000)MHz 200.00 KHz Step");
    display.SetTitle("");
    EXPECT_EQ(display.model().Title, "R1 (928.40000-959.80000)MHz 200.00 KHz Step");
    display.SetBottomCaption("Frequency");
    display.SetBottomCaption("");
    EXPECT_EQ(display.model().BottomCaption, "Frequency");
    display.SetLeftCaption("");
    EXPECT_EQ(display.model().LeftCaption, "RSSI (dBm)");
    const QImage image = rendered(display);
    EXPECT_GT(countColor(image, {80, 17, 453, 53}, kBlack), 50);   // the title band
    EXPECT_GT(countColor(image, {80, 419, 453, 454}, kBlack), 50); // the bottom band
    EXPECT_EQ(countColor(image, {0, 0, 80, 17}, kBlack), 0);

    display.SetTitle("R1");
    EXPECT_EQ(display.model().Title, "R1");
}

// Side by side with the other receiver's display a title is wider than the plot and reaches over
// the margins: the range change's shorter title must look as if it had been the only one.
TEST_F(ReceiverPanelDisplay, AShorterTitleLeavesNothingOfALongerOne)
{
    DBar fresh;
    for (DBar* d : {&display, &fresh}) {
        d->resize(268, 475);
        setUpReceiverDisplay(*d);
    }
    display.SetTitle("R1 (928.40000-959.80000)MHz 200.00 KHz Step");
    display.SetTitle("R1 (928.40000-929.20000)MHz 25.00 KHz Step");
    fresh.SetTitle("R1 (928.40000-929.20000)MHz 25.00 KHz Step");
    EXPECT_TRUE(rendered(display) == rendered(fresh));
}

// A strong reading's label would run off the plot's top above its bar: it reads whole on the
// bar, light on dark red, from below the bar's top (row 82).
TEST_F(ReceiverPanelDisplay, AStrongBarCarriesItsLabelWhole)
{
    display.SetVerticalBarLabels(true);
    display.BeginFrame();
    display.DrawBar(1.0, "937.4000", -33.0); // columns 98 ... 127
    display.EndFrame("");
    const QImage image = rendered(display);
    QRect light;
    for (int y = 82; y < 403; ++y)
        for (int x = 98; x < 128; ++x)
            if (qGray(image.pixel(x, y)) > 160)
                light |= QRect(x, y, 1, 1);
    EXPECT_GT(light.height(), 40); // the whole text, turned
    EXPECT_GT(light.top(), 82 + 2);
}

TEST_F(ReceiverPanelDisplay, ResizeLaysOutAgain)
{
    display.resize(268, 475);
    const QImage image = rendered(display);
    EXPECT_EQ(image.size(), QSize(268, 475));
    EXPECT_EQ(display.barGeometry().PlotRect, (IntRect{40, 71, 227, 403}));
    EXPECT_DOUBLE_EQ(display.model().XPerPixel, 11.0 / 187);
    display.BeginFrame();
    display.DrawBar(1.0, "", -75.0); // px 17, hw 187 / 24 = 7
    display.EndFrame("");
    EXPECT_EQ(countColor(rendered(display), {40 + 10, 237, 40 + 24, 403}, kDarkRed), 14 * 166);
}

TEST(DBarEmptyPlot, DrawsNothingAndDividesByNothing)
{
    test::testApplication();
    for (const QSize size : {QSize(1, 1), QSize(1, 300), QSize(300, 1)}) {
        DBar display;
        display.resize(size);
        setUpReceiverDisplay(display);
        display.SetXMax(11.0);
        const BarGeometry& g = display.barGeometry();
        if (g.PlotWidth == 0) {
            EXPECT_DOUBLE_EQ(display.model().XPerPixel, 1.0);
        }
        if (g.PlotHeight == 0) {
            EXPECT_DOUBLE_EQ(display.model().YPerPixel, 1.0);
        }
        EXPECT_TRUE(g.plotEmpty());
        display.BeginFrame();
        display.DrawBar(1.0, "-60 dBm", -60.0);
        display.EndFrame("");
        const QImage image = rendered(display);
        EXPECT_EQ(test::countColor(image, {0, 0, image.width(), image.height()}, kDarkRed), 0);
    }
}

TEST_F(ReceiverPanelDisplay, ZoomOnButtonRelease)
{
    BarModel model = display.model();
    model.ZoomEnabled = true;
    display.setModel(model);
    const int x = valueToPixel(display.model(), display.barGeometry(), kHorizontalAxis,
                               5.5); // 266: value 5.4853
    const double centre = display.PixelToValue(kHorizontalAxis, x);
    sendMouse(QEvent::MouseButtonRelease, x, 200, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(display.model().XMin, centre - 2.75);
    EXPECT_DOUBLE_EQ(display.model().XMax, centre + 2.75);
    EXPECT_DOUBLE_EQ(display.model().ZoomFactor, 2.0);
    EXPECT_DOUBLE_EQ(display.model().XPerPixel, 5.5 / 373);

    // Out again: held inside 0 ... 11.
    sendMouse(QEvent::MouseButtonRelease, 100, 200, Qt::RightButton);
    EXPECT_DOUBLE_EQ(display.model().XMin, 0.0);
    EXPECT_LT(display.model().XMax, 11.0);

    // Outside the plot nothing happens.
    const BarModel before = display.model();
    sendMouse(QEvent::MouseButtonRelease, 20, 200, Qt::LeftButton);
    EXPECT_EQ(display.model().XMin, before.XMin);
    EXPECT_EQ(display.model().XMax, before.XMax);
}

TEST_F(ReceiverPanelDisplay, NoZoomOnReceiverDisplays)
{
    sendMouse(QEvent::MouseButtonRelease, 266, 200, Qt::LeftButton);
    EXPECT_EQ(display.model().XMin, 0.0);
    EXPECT_EQ(display.model().XMax, 11.0);
    EXPECT_EQ(display.model().ZoomFactor, 1.0);
}

TEST_F(ReceiverPanelDisplay, MouseReadoutAboveThePlot)
{
    BarModel model = display.model();
    model.ShowReadout = true;
    display.setModel(model);
    EXPECT_EQ(countColor(rendered(display), display.barGeometry().ReadoutStrip, kRed), 0);
    sendMouse(QEvent::MouseMove, 266, 237, Qt::NoButton);
    const QImage image = rendered(display);
    const IntRect& strip = display.barGeometry().ReadoutStrip;
    EXPECT_GT(countColor(image, {strip.left, strip.top - 4, strip.right, strip.bottom}, kRed), 20);
}

TEST_F(ReceiverPanelDisplay, ReferenceLinesAndTraceOnTheBackground)
{
    BarModel model = display.model();
    model.HorizontalLines[0] = {true, kBlue, -75.0, "limit"};
    model.VerticalLines[1] = {true, kRed, 5.5, "mid"};
    model.ShowTrace = true;
    model.TraceCount = 2;
    model.Trace[0] = {0.0, -100.0};
    model.Trace[1] = {11.0, -100.0};
    display.setModel(model);
    display.BeginFrame();
    display.EndFrame("");
    const QImage image = rendered(display);
    const int lineY = 71 + 166;
    EXPECT_GT(countColor(image, {80, lineY, 453, lineY + 1}, kBlue), 100); // dashed
    EXPECT_LT(countColor(image, {80, lineY, 453, lineY + 1}, kBlue), 373);
    const int lineX = 80 + 186;
    EXPECT_GT(countColor(image, {lineX, 71, lineX + 1, 403}, kRed), 100);
    const int traceY = valueToPixel(display.model(), display.barGeometry(), kVerticalAxis, -100.0);
    EXPECT_GT(countColor(image, {80, traceY, 453, traceY + 1}, kDarkRed), 300);
    // The captions beside and above the plot.
    EXPECT_GT(countColor(image, {453, lineY - 10, 534, lineY + 10}, kBlue), 5);
}

} // namespace
} // namespace zentor
