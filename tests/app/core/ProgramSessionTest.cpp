// The program session without real threads (workers recorded by a test factory): the order in
// which workers start and are told to end, the one-second tick and the main router's refreshes of
// the status fields. Its real threads meet the simulator in UnattendedProgramTest.cpp.
#include "app/ProgramSession.h"

#include "app/core/RecordingWorkers.h"
#include "link/ProtocolDoubles.h"
#include "link/TReceiverLink.h"
#include "support/RecordingMessages.h"
#include "support/ThreadWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;
using test::RecordingFactory;
using ::testing::ElementsAre;

class RecordingView : public StatusView
{
public:
    void showFileSize(const std::string& text) override { calls.push_back("size " + text); }
    void showSerialNumber(const std::string& text) override { calls.push_back("SN " + text); }
    void showLinkStatus(const std::string& text) override { calls.push_back("link " + text); }
    void showLinkQuality(const std::string& text) override { calls.push_back("quality " + text); }
    void showRange(int receiver, const RangeTexts& t) override
    {
        calls.push_back("range" + std::to_string(receiver + 1) + " " + t.minimumMHz + " " +
                        t.maximumMHz + " " + t.stepKHz);
    }
    void showClock(const ClockTexts& t) override
    {
        calls.push_back("clock " + t.date + " " + t.time + " " + t.marker);
    }
    std::vector<std::string> calls;
};

class Session : public ::testing::Test
{
protected:
    void feed(std::uint8_t type, const Bytes& data)
    {
        const Bytes record = packetRecord(type, data);
        ASSERT_TRUE(session.link().HandlePacket(record.data(), record.size()));
    }
    // Connects as the dialog's OK does, with both receiver routers running.
    void connect(int portChoice, int navChoice)
    {
        session.startReceiverRouters({});
        session.connect(portChoice, navChoice);
        started = made.log.size();
    }

    test::ThreadWindow window;
    test::RecordingMessages messages;
    RecordingFactory made;
    ProgramSession session{window, messages, nullptr, made.factory()};
    std::size_t started = 0;
};

TEST_F(Session, ComOneWithZentorGpsStartsReceiversThenLinkMainThenGps)
{
    connect(0, 0);
    EXPECT_THAT(made.log, ElementsAre("start Receiver1", "start Receiver2", "start Link",
                                      "start Main", "start Gps"));
    EXPECT_EQ(made.linkSelection.transport, 1);
    EXPECT_EQ(made.linkSelection.portNumber, 1);
    EXPECT_EQ(session.selections().navigationMode, Selections::kInstrumentGps);
}

TEST_F(Session, UsbWithTravelPilotComFiveStartsLinkMainThenNavOnComFive)
{
    connect(kPortChoiceUsb, 5);
    EXPECT_THAT(made.since(2), ElementsAre("start Link", "start Main", "start Nav"));
    EXPECT_EQ(made.linkSelection.transport, 2);
    EXPECT_EQ(made.linkSelection.portNumber, 0);
    EXPECT_EQ(made.navComPort, 5);
}

TEST_F(Session, Rs232LinkIsToldFirstWhenTheMainWindowCloses)
{
    connect(2, 0);
    session.endOnFormClose();
    EXPECT_THAT(made.since(started),
                ElementsAre("terminate Link", "terminate Receiver1", "terminate Receiver2",
                            "terminate Gps", "terminate Main"));
    const std::size_t closed = made.log.size();
    session.endOnDialogDestroy();
    EXPECT_THAT(made.since(closed), ElementsAre("terminate Link"));
}

TEST_F(Session, UsbLinkIsToldOnlyWhenTheDialogIsDestroyed)
{
    connect(kPortChoiceUsb, 3);
    session.endOnFormClose();
    EXPECT_THAT(made.since(started), ElementsAre("terminate Receiver1", "terminate Receiver2",
                                                 "terminate Nav", "terminate Main"));
    const std::size_t closed = made.log.size();
    session.endOnDialogDestroy();
    EXPECT_THAT(made.since(closed), ElementsAre("terminate Nav", "terminate Link"));
}

TEST_F(Session, BeforeOkOnlyTheReceiverRoutersAreToldToEnd)
{
    session.startReceiverRouters({});
    session.endOnFormClose();
    session.endOnDialogDestroy();
    EXPECT_THAT(made.log, ElementsAre("start Receiver1", "start Receiver2", "terminate Receiver1",
                                      "terminate Receiver2"));
}

TEST_F(Session, TickWakesTheRoutersOfReceiversWithNewSingleModeDataOnly)
{
    connect(0, 0);
    feed(0x03, {0xB5, 0xB3}); // single-mode levels of receiver 2: -75, -77 dBm
    EXPECT_EQ(session.tick(), std::nullopt) << "no TravelPilot, no watchdog";
    EXPECT_FALSE(session.link().state().receiverDataEvent(0).isSet());
    EXPECT_TRUE(session.link().state().receiverDataEvent(1).isSet());

    // The mark was cleared: after the display has reset the event, no new data, no event.
    session.link().state().receiverDataEvent(1).reset();
    session.tick();
    EXPECT_FALSE(session.link().state().receiverDataEvent(1).isSet());
}

// Configuration: both present; receiver 1 counts 32000..32400 at 25 kHz (6400 / 256),
// receiver 2 counts 1000..1100 at 12.5 kHz (3200 / 256).
const Bytes kConfiguration{0x03,                                           //
                           0x00, 0x7D, 0x00, 0x00, 0x90, 0x7E, 0x00, 0x00, // 32000, 32400
                           0x00, 0x19, 0x00, 0x00,                         // 6400
                           0xE8, 0x03, 0x00, 0x00, 0x4C, 0x04, 0x00, 0x00, // 1000, 1100
                           0x80, 0x0C, 0x00, 0x00};                        // 3200

TEST_F(Session, StatusRefreshWritesTheRangesOnlyWhileTheirMarkIsSet)
{
    RecordingView view;
    session.setViews({&view, {}, {}, {}});
    session.refreshStatus();
    const std::string noFrames =
        "quality frames 0 good, 0 bad checksum, 0 bad length; 0 bytes skipped\n"
        "packets not decoded: 0";
    EXPECT_THAT(view.calls, ElementsAre("SN SN: ", "link ", noFrames)) << "before the link opens";

    session.state().setStatusText("Connected via COM");
    session.state().publishFraming({2, 1, 3, 17});
    feed(0x1C, {'Z', 'E', 'N', '0', '0', '0', '4', '2'});
    feed(0x01, kConfiguration);
    feed(0x42, {});
    view.calls.clear();
    session.refreshStatus();
    const std::string quality =
        "quality frames 2 good, 1 bad checksum, 3 bad length; 17 bytes skipped\n"
        "packets not decoded: 1";
    EXPECT_THAT(view.calls,
                ElementsAre("SN SN: ZEN00042", "link Connected via COM", quality,
                            "range1 800.00000 810.00000 25.00", "range2 12.50000 13.75000 12.50"));

    view.calls.clear();
    session.refreshStatus();
    EXPECT_THAT(view.calls, ElementsAre("SN SN: ZEN00042", "link Connected via COM", quality));

    // A level value packet changes the ranges again.
    view.calls.clear();
    feed(0x05, {0x10, 0x7D, 0x00, 0x00, 0xF0, 0x03, 0x00, 0x00});
    session.refreshStatus();
    EXPECT_EQ(view.calls.size(), 5u);
}

TEST_F(Session, ClockRefreshShowsTheLastClockPacket)
{
    RecordingView view;
    session.setViews({&view, {}, {}, {}});
    // second, minute, hour, day, month, year - 2000, marker
    feed(0x04, {56, 34, 12, 31, 12, 7, 123});
    session.refreshClock();
    EXPECT_THAT(view.calls, ElementsAre("clock 12/31/2007 12:34:56 Mrkr #23"));
}

} // namespace
} // namespace zentor
