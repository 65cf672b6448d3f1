#include "display/ReceiverDisplay.h"

#include "RenderedDisplay.h"
#include "link/ByteOrder.h"
#include "link/ProtocolDoubles.h"
#include "link/TReceiverLink.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

using test::Bytes;
using test::countColor;
using test::countInk;
using test::rendered;

void appendLe32(Bytes& b, std::uint32_t v)
{
    b.resize(b.size() + 4);
    writeLe32(b.data() + b.size() - 4, v);
}

std::uint8_t dbm(int level)
{
    return static_cast<std::uint8_t>(level);
}

// The receiver state after the instrument described its set-up: receiver 1 on the 900 MHz band
// in 200 kHz steps with wrapped channel numbers, receiver 2 on 390-395 MHz in 25 kHz steps.
class ReceiverDisplayUpdate : public ::testing::Test
{
protected:
    ReceiverDisplayUpdate()
    {
        Bytes config = {0x07}; // both present, receiver 1 numbering flag
        for (std::uint32_t v : {4642u, 4799u, 200u * 256, 15600u, 15800u, 25u * 256})
            appendLe32(config, v);
        handle(0x01, config);
        Bytes status;
        for (std::uint32_t c :
             {4687u,  4720u,  4698u,  4742u,  4680u,  4763u,  4709u,  4776u,  4647u,  4785u,
              15610u, 15634u, 15652u, 15671u, 15689u, 15705u, 15723u, 15740u, 15762u, 15781u})
            appendLe32(status, c);
        handle(0x06, status);
        for (DBar* d : {&display1, &display2}) {
            d->resize(534, 475);
            setUpReceiverDisplay(*d);
        }
    }
    void handle(std::uint8_t type, const Bytes& data)
    {
        const Bytes record = test::packetRecord(type, data);
        ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
    }
    // Scan entries of one receiver, five to a packet.
    void scan(int r, const std::vector<int>& levels)
    {
        for (std::size_t first = 0; first < levels.size(); first += 5) {
            Bytes data;
            for (std::size_t k = first; k < first + 5 && k < levels.size(); ++k)
                data.insert(data.end(), {std::uint8_t(r), std::uint8_t(k), dbm(levels[k])});
            handle(0x07, data);
        }
    }
    void table(int r, const std::vector<std::pair<int, int>>& indexLevels)
    {
        for (const auto& [index, level] : indexLevels)
            handle(0x09, {std::uint8_t(r), std::uint8_t(index & 0xFF), std::uint8_t(index >> 8),
                          dbm(level)});
    }
    // A bar of the frame: columns px - 15 ... px + 14 of the plot dark red from row py down,
    // the row above it clear (its label starts 20 rows higher).
    static bool barStandsAt(const QImage& image, int px, int py)
    {
        return countColor(image, {80 + px - 15, 71 + py, 80 + px + 15, 403}, kDarkRed) ==
                   30 * (332 - py) &&
               countColor(image, {80 + px - 15, 70 + py, 80 + px + 15, 71 + py}, kDarkRed) == 0;
    }

    QApplication& app = test::testApplication(); // before any widget
    TReceiverLink link;
    DBar display1, display2;
};

constexpr DisplayChoices kSingleFrequency{MeasurementMode::Single, true};
constexpr DisplayChoices kListChannel{MeasurementMode::List, false};
constexpr DisplayChoices kTableFrequency{MeasurementMode::Table, true};

TEST_F(ReceiverDisplayUpdate, TitleFollowsTheRangesOnlyWhenTheyChanged)
{
    updateReceiverDisplay(display1, link.state(), 0, kSingleFrequency);
    EXPECT_EQ(display1.model().Title, "R1 (928.40000-959.80000)MHz 200.00 KHz Step");
    updateReceiverDisplay(display2, link.state(), 1, kSingleFrequency);
    EXPECT_EQ(display2.model().Title, "R2 (390.00000-395.00000)MHz 25.00 KHz Step");
    EXPECT_FALSE(link.state().takeRangesChanged(0)); // the display took its mark

    display1.SetTitle("kept");
    updateReceiverDisplay(display1, link.state(), 0, kSingleFrequency);
    EXPECT_EQ(display1.model().Title, "kept");
}

TEST_F(ReceiverDisplayUpdate, SingleModeShowsTheCurrentReading)
{
    handle(0x02, {dbm(-67)});
    updateReceiverDisplay(display1, link.state(), 0, kSingleFrequency);
    EXPECT_EQ(display1.model().XMax, 2.0);
    EXPECT_FALSE(display1.model().VerticalBarLabels);
    EXPECT_EQ(display1.model().BottomCaption, "937.40000 MHz");
    const QImage image = rendered(display1);
    // One bar in the middle, 2 x 62 wide, from -67 dBm (row 136.5 of the plot) down.
    EXPECT_EQ(countColor(image, {80 + 186 - 62, 71 + 136, 80 + 186 + 62, 403}, kDarkRed),
              124 * (332 - 136));
    EXPECT_EQ(countColor(image, {80, 71 + 135, 453, 71 + 136}, kDarkRed), 0);
}

TEST_F(ReceiverDisplayUpdate, ListModeDrawsTenBarsAndMakesEntryZeroTheSingleReading)
{
    scan(1, {-45, -60, -119, -120, -105, -66, -81, -96, -111, -58});
    updateReceiverDisplay(display2, link.state(), 1, kListChannel);
    EXPECT_EQ(display2.model().XMax, 11.0);
    EXPECT_TRUE(display2.model().VerticalBarLabels);
    EXPECT_EQ(display2.model().BottomCaption, "Channel");
    EXPECT_EQ(link.state().receiver(1).singleRssi, dbm(-45));
    const QImage image = rendered(display2);
    const int levels[10] = {-45, -60, -119, -120, -105, -66, -81, -96, -111, -58};
    for (int k = 0; k < 10; ++k) {
        const int px = (k + 1) * 373 / 11;
        const int py = static_cast<int>((levels[k] + 30) / (-90.0 / 332));
        EXPECT_TRUE(barStandsAt(image, px, py)) << k;
    }
    // -119 dBm is labelled above its bar, -120 dBm is not.
    const int px3 = 3 * 373 / 11, px4 = 4 * 373 / 11;
    EXPECT_GT(countInk(image, {80 + px3 - 8, 71, 80 + px3 + 8, 403 - 20}), 20);
    EXPECT_EQ(countInk(image, {80 + px4 - 8, 71, 80 + px4 + 8, 403}), 0);
}

// A display that already shows a frame's range and caption draws the next frame exactly as one
// that had to draw them anew: every mode, also after the mode changes back and forth.
TEST_F(ReceiverDisplayUpdate, ARepeatedFrameLooksTheSameAsOneDrawnAfresh)
{
    scan(0, {-45, -60, -119, -120, -105, -66, -81, -96, -111, -58});
    table(0, {{990, -50}, {0, -60}, {1023, -70}});
    for (const DisplayChoices& choices :
         {kSingleFrequency, kListChannel, kTableFrequency, kListChannel, kSingleFrequency}) {
        SCOPED_TRACE(static_cast<int>(choices.mode));
        const ReceiverFrame frame = composeReceiverFrame(link.state().receiver(0), choices);
        drawReceiverFrame(display1, frame);
        drawReceiverFrame(display1, frame);
        display2.SetXMax(frame.xMax + 7.0);
        display2.SetBottomCaption("Elsewhere");
        drawReceiverFrame(display2, frame);
        const QImage repeated = rendered(display1);
        ASSERT_FALSE(repeated.isNull());
        EXPECT_TRUE(repeated == rendered(display2));
    }
}

TEST_F(ReceiverDisplayUpdate, TableModeShowsTheStrongestTen)
{
    table(0, {{990, -50}, {0, -60}, {1023, -70}, {5, -120}});
    updateReceiverDisplay(display1, link.state(), 0, kTableFrequency);
    EXPECT_EQ(display1.model().BottomCaption, "Frequency");
    const QImage image = rendered(display1);
    const int levels[3] = {-50, -60, -70};
    for (int k = 0; k < 3; ++k) {
        const int px = (k + 1) * 373 / 11;
        const int py = static_cast<int>((levels[k] + 30) / (-90.0 / 332));
        EXPECT_TRUE(barStandsAt(image, px, py)) << k;
    }
    // The seven empty slots: no bars, no labels.
    const int px4 = 4 * 373 / 11;
    EXPECT_EQ(countInk(image, {80 + px4 - 15, 71, 453, 403}), 0);
}

} // namespace
} // namespace zentor
