#include "ProtocolDoubles.h"
#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "link/TCom_Router.h"
#include "link/TReceiverLink.h"
#include "platform/D2xx.h"
#include "platform/SerialPort.h"
#include "support/PtyInstrument.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::packetRecord;
using test::waitUntil;

const Bytes kIdentify = {0xAA, 0x02, 0x00, 0x1C, 0x1C};
const Bytes kConfigurationRequest = {0xAA, 0x02, 0x00, 0x01, 0x01};

Bytes onWire(const Bytes& record)
{
    Bytes frame{kSyncByte};
    frame.insert(frame.end(), record.begin(), record.end());
    return frame;
}

TEST(TCom_Router, ConnectsOverComIdentifiesAndDecodesFramesAcrossReads)
{
    test::PtyInstrument instrument;
    ASSERT_FALSE(instrument.device().empty());
    ::setenv("ZENTOR_COM3", instrument.device().c_str(), 1);
    TReceiverLink link;
    test::RecordingLog log;
    link.setLogSink(&log);
    TCom_Router router(link, {LinkSelection::kRs232, 3});

    EXPECT_EQ(instrument.receive(kIdentify.size()), kIdentify);
    EXPECT_EQ(link.state().statusText(), "Connected via COM");

    instrument.send(onWire(packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '0', '4', '2'})));

    // Two frames in one write are handled in order; a frame split across writes is completed.
    const Bytes clock = packetRecord(0x04, {1, 2, 3, 4, 5, 26, 9});
    const Bytes other = packetRecord(0x42, {7, 7});
    const Bytes gps = packetRecord(0x00, Bytes(152, 0x31));
    instrument.send(test::cat({{0x13, 0x11}, onWire(clock), onWire(other)}));
    const Bytes split = onWire(gps);
    instrument.send(Bytes(split.begin(), split.begin() + 60));
    ASSERT_TRUE(waitUntil([&] { return log.taken().size() == 3; }));
    EXPECT_FALSE(link.state().gpsEvent().isSet());
    instrument.send(Bytes(split.begin() + 60, split.end()));
    ASSERT_TRUE(waitUntil([&] { return link.state().gpsEvent().isSet(); }));
    EXPECT_EQ(log.taken(),
              (std::vector<Bytes>{packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '0', '4', '2'}),
                                  clock, other, gps}));
    EXPECT_EQ(link.state().instrumentClock().marker, 9);
    // Published after each read: four frames, and the two bytes before one of them.
    const FramingCounts counts = link.state().linkQuality().framing;
    EXPECT_EQ(counts.framesGood, 4u);
    EXPECT_EQ(counts.bytesSkipped, 2u);
    EXPECT_EQ(counts.badChecksum + counts.badLength, 0u);
    link.setLogSink(nullptr);
}

TEST(TCom_Router, WaitsForAPortThatAnotherProgramHoldsWithoutTouchingIt)
{
    test::PtyInstrument instrument;
    ASSERT_FALSE(instrument.device().empty());
    ::setenv("ZENTOR_COM2", instrument.device().c_str(), 1);
    SerialPort holder; // the other program
    ASSERT_TRUE(holder.open(instrument.device(), SerialSettings{})) << holder.lastError();
    TReceiverLink link;
    TCom_Router router(link, {LinkSelection::kRs232, 2});

    ASSERT_TRUE(waitUntil([&] {
        return link.state().statusText() == "COM2: in use by another program - retrying...";
    })) << link.state().statusText();
    const Bytes identity = onWire(packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '0', '4', '2'}));
    instrument.send(identity);
    EXPECT_TRUE(instrument.quietFor(1500ms)) << "nothing is written to a port another holds";
    std::uint8_t got[32] = {};
    EXPECT_EQ(holder.readWaiting(got, sizeof got), static_cast<long>(identity.size()));
    EXPECT_EQ(link.state().identification(), "");
    EXPECT_EQ(link.state().statusText(), "COM2: in use by another program - retrying...");

    holder.close();
    EXPECT_EQ(instrument.receive(kIdentify.size()), kIdentify);
    EXPECT_EQ(link.state().statusText(), "Connected via COM");
}

// Points `link` at `device`, replacing what it pointed at in one step, as a USB serial adapter
// that comes back under the same port name.
void pointLink(const std::string& link, const std::string& device)
{
    const std::string temporary = link + ".new";
    ::unlink(temporary.c_str());
    ASSERT_EQ(::symlink(device.c_str(), temporary.c_str()), 0);
    ASSERT_EQ(::rename(temporary.c_str(), link.c_str()), 0);
}

TEST(TCom_Router, ReconnectsToTheSamePortAfterAHangUpAndIdentifiesAgain)
{
    const std::string port =
        ::testing::TempDir() + "zentor-reconnect-" + std::to_string(::getpid());
    auto first = std::make_unique<test::PtyInstrument>();
    pointLink(port, first->device());
    ::setenv("ZENTOR_COM1", port.c_str(), 1);
    TReceiverLink link;
    test::RecordingLog log;
    link.setLogSink(&log);
    TCom_Router router(link, {LinkSelection::kRs232, 1});
    ASSERT_EQ(first->receive(kIdentify.size()), kIdentify);
    EXPECT_FALSE(router.hungUp());

    // The line goes in the middle of a frame.
    const Bytes other = packetRecord(0x42, {7});
    first->send(onWire(other));
    ASSERT_TRUE(waitUntil([&] { return log.taken().size() == 1; }));
    const Bytes clock = onWire(packetRecord(0x04, {1, 2, 3, 4, 5, 26, 9}));
    first->send(Bytes(clock.begin(), clock.begin() + 6));
    first->hangUp();
    ASSERT_TRUE(waitUntil([&] { return router.hungUp(); }));
    EXPECT_EQ(link.state().statusText(), "Connection lost - reconnecting...");
    EXPECT_FALSE(link.SendCommand(kCmdIdentify)) << "nothing is written while the line is gone";
    EXPECT_FALSE(router.waitFinished(300ms)) << "the link thread stays alive and keeps trying";

    // The instrument is back under the same name: the link thread finds it within its retries.
    test::PtyInstrument second;
    pointLink(port, second.device());
    ASSERT_EQ(second.receive(kIdentify.size(), 5000ms), kIdentify);
    EXPECT_EQ(link.state().statusText(), "Connected via COM");
    EXPECT_FALSE(router.hungUp());

    // The half frame from before the loss is dropped, uncounted; the first frame on the new line
    // is whole, and the counts go on.
    second.send(clock);
    ASSERT_TRUE(waitUntil([&] { return log.taken().size() == 2; }));
    EXPECT_EQ(log.taken(), (std::vector<Bytes>{other, packetRecord(0x04, {1, 2, 3, 4, 5, 26, 9})}));
    const FramingCounts counts = link.state().linkQuality().framing;
    EXPECT_EQ(counts.framesGood, 2u);
    EXPECT_EQ(counts.badChecksum + counts.badLength + counts.bytesSkipped, 0u);
    EXPECT_TRUE(link.SendCommand(kCmdIdentify));
    EXPECT_EQ(second.receive(kIdentify.size()), kIdentify);

    // A terminate request cuts the wait between retries short.
    second.hangUp();
    ASSERT_TRUE(waitUntil([&] { return router.hungUp(); }));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(500ms));
    link.setLogSink(nullptr);
    ::unlink(port.c_str());
}

TEST(TCom_Router, ConnectsOverUsbThroughTheD2xxLibrary)
{
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    FakeFtd2xx_Reset();
    TReceiverLink link;
    TCom_Router router(link, {LinkSelection::kUsb, 0}, library.api());

    auto written = [] {
        Bytes out(64);
        out.resize(std::min<unsigned>(FakeFtd2xx_Written(out.data(), 64), 64));
        return out;
    };
    ASSERT_TRUE(waitUntil([&] { return written() == kIdentify; }));
    EXPECT_EQ(link.state().statusText(), "Connected via USB");
    EXPECT_EQ(FakeFtd2xx_BaudRate(), 38400u);

    // Ten bytes and more arrive four at a time; the frame is still completed.
    const Bytes ident = onWire(packetRecord(0x1C, {'U', 'S', 'B', '0', '0', '0', '0', '1'}));
    FakeFtd2xx_Queue(ident.data(), static_cast<unsigned>(ident.size()));
    ASSERT_TRUE(waitUntil([&] { return link.state().identification() == "USB00001"; }));
    ASSERT_TRUE(waitUntil([&] {
        return written() == test::cat({kIdentify, kConfigurationRequest});
    }));
    router.requestTerminate();
    EXPECT_TRUE(router.waitFinished(2000ms));
}

} // namespace
} // namespace zentor
