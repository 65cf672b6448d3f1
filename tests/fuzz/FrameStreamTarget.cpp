// The instrument's byte stream as the link thread reads it: each byte into the frame assembler,
// each whole record into the receiver protocol, which has the program's hooks attached (the write
// path to the instrument, the scan channel warning with the message box routine in front of the
// log router, the mode listener). The
// records the assembler completes must be those the framing rules find in the whole stream.
// Every third record the display's part runs: a receiver whose data event is set has its
// snapshot read and the event cleared, so that later readings are stored too; each clock packet
// stands for the main router's once-a-second tick. At the end every piece of receiver state is
// read.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "app/ScanInformationWarning.h"
#include "link/ByteOrder.h"
#include "link/FrameAssembler.h"
#include "link/ReceiverRange.h"
#include "link/TReceiverLink.h"

#include <algorithm>
#include <vector>

namespace zentor::fuzz {
namespace {

constexpr std::uint8_t kClockPacketType = 0x04;
// The display is slower than the link: it draws after every third record, so that readings also
// arrive while the last ones are not drawn yet.
constexpr std::size_t kRecordsPerDraw = 3;
constexpr std::size_t kCommandFrameBytes = 5; // sync, L = 2, command, checksum: no data

// The instrument's write path: the protocol sends only commands without data.
class CommandWriter : public FrameWriter
{
public:
    bool Write(const std::uint8_t* frame, std::size_t n) override
    {
        fuzzCheck(n == kCommandFrameBytes && frame[0] == kSyncByte && readLe16(frame + 1) == 2 &&
                      frame[3] == frame[4],
                  "a command frame is sync, L = 2, the command and its checksum");
        ++frames;
        return true;
    }
    unsigned long frames = 0;
};

// The log router: takes every record whole, as the assembler handed it over.
class RecordLog : public LogSink
{
public:
    void handOver(const std::uint8_t* data, std::uint16_t count) override
    {
        fuzzCheck(data == expected.data && count == expected.size,
                  "the log gets the record as the assembler handed it over");
        ++records;
    }
    ByteView expected;
    std::size_t records = 0;
};

// The message box routine with a user who presses OK at the second clock packet after the box
// appeared, one to two seconds later, so that a warning may arrive while the box is still open.
class MessageBoxes : public MessageSink
{
public:
    void postMessage(MessageKind kind, std::string text, std::function<void()> closed) override
    {
        fuzzCheck(kind == MessageKind::Error && text == kScanInformationMissingText,
                  "the only message is the scan channel information error");
        fuzzCheck(!open, "no box is stacked on one still open");
        open = std::move(closed);
        fuzzCheck(static_cast<bool>(open), "the box says when it was closed");
        clocksSeen = 0;
        ++boxes;
    }
    void onClockPacket()
    {
        if (!open || ++clocksSeen < kClocksUntilOk)
            return;
        std::function<void()> closed = std::move(open);
        open = nullptr;
        closed();
    }
    static constexpr int kClocksUntilOk = 2;
    std::function<void()> open;
    int clocksSeen = 0;
    unsigned long boxes = 0;
};

// The records in `data` as the framing rules read on the whole stream at once: a sync byte, L
// (1..2047, else the three bytes are dropped), L body bytes whose last is the XOR of the others.
// Hunting goes on after a frame whatever its checksum. The assembler must find the same records.
std::vector<ByteView> recordsByTheRules(const std::uint8_t* data, std::size_t size)
{
    std::vector<ByteView> records;
    std::size_t at = 0;
    while (at + 3 <= size) {
        if (data[at] != kSyncByte) {
            ++at;
            continue;
        }
        const auto length = static_cast<std::int16_t>(readLe16(data + at + 1));
        if (length < 1 || length > kMaxBodyLength) {
            at += 3;
            continue;
        }
        const std::size_t end = at + 3 + static_cast<std::size_t>(length);
        if (end > size)
            break;
        std::uint8_t x = 0;
        for (std::size_t i = at + 3; i + 1 < end; ++i)
            x ^= data[i];
        if (x == data[end - 1])
            records.push_back({data + at + 1, static_cast<std::size_t>(length) + 2});
        at = end;
    }
    return records;
}

bool sameBytes(const ByteView& a, const ByteView& b)
{
    return a.size == b.size && std::equal(a.data, a.data + a.size, b.data);
}

void touchRange(const ReceiverRange& range)
{
    touch(static_cast<unsigned long>(channelOfCount(range, range.currentCount)));
    touch(static_cast<unsigned long>(countOfChannel(range, range.stopCount)));
    touch(static_cast<unsigned long>(frequencyMHz(range, range.startCount) != 0.0));
    for (const std::int32_t count : range.listCounts)
        touch(static_cast<unsigned long>(channelOfCount(range, count)));
}

void touchReceiver(const ReceiverSnapshot& rx)
{
    fuzzCheck(rx.present <= rx.everPresent, "a present receiver has been present");
    fuzzCheck(rx.lastTableIndex < kTableEntries, "the last table index is inside the table");
    touchRange(rx.range);
    touch(static_cast<unsigned long>(rx.averageLevelDbm) + rx.singleRssi);
    for (const std::uint8_t rssi : rx.listRssi)
        touch(rssi);
    touch(rx.tableRssi[rx.lastTableIndex]);
}

// The main router's once-a-second tick: new single-mode data wakes the receiver's display.
void tickRouters(TReceiverLink& link)
{
    for (int r = 0; r < kReceiverCount; ++r) {
        if (link.state().takeNewData(r))
            link.state().receiverDataEvent(r).set();
    }
}

// What the display does once a receiver's data event is set: takes its copy, which clears the
// event.
void drawReceivers(TReceiverLink& link)
{
    for (int r = 0; r < kReceiverCount; ++r) {
        link.state().takeRangesChanged(r);
        if (!link.state().receiverDataEvent(r).isSet())
            continue;
        const ReceiverSnapshot rx = link.state().takeReceiver(r);
        touchReceiver(rx);
    }
}

void touchEverything(TReceiverLink& link)
{
    for (int r = 0; r < kReceiverCount; ++r)
        touchReceiver(link.state().receiver(r));
    const std::string identification = link.state().identification();
    fuzzCheck(identification.size() <= 8 && identification.find('\0') == std::string::npos,
              "the identification is at most 8 characters and holds no NUL");
    const InstrumentClock clock = link.state().instrumentClock();
    touch(clock.second + clock.minute + clock.hour + clock.day + clock.month + clock.yearSince2000 +
          clock.marker);
    for (const std::uint8_t b : link.state().gpsRecord())
        touch(b);
    const std::vector<std::uint8_t> info = link.state().channelInformation();
    if (!info.empty()) {
        fuzzCheck(info.size() >= 3 && readLe16(info.data()) + 2u == info.size() &&
                      (info[2] == 0x05 || info[2] == 0x06),
                  "the channel information copy is one whole type 5 or 6 record");
    }
}

} // namespace

void fuzzFrameStream(const std::uint8_t* data, std::size_t size)
{
    CommandWriter writer;
    RecordLog log;
    MessageBoxes messages;
    unsigned long modes = 0;
    TReceiverLink link;
    // Log mode is on throughout, so the warning counts every packet without channel information.
    ScanInformationWarning warning(
        log, messages, [] { return true; },
        [&link] { return link.state().channelInformationCaptured(); });
    link.setFrameWriter(&writer);
    link.setLogSink(&warning);
    link.setModeListener([&modes](MeasurementMode) { ++modes; });

    const std::vector<ByteView> expected = recordsByTheRules(data, size);
    TFrameAssembler assembler;
    std::size_t records = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const int state = assembler.PushByte(data[i]);
        if (state != 0) {
            fuzzCheck(state == TFrameAssembler::Hunting || state == TFrameAssembler::LengthLow ||
                          state == TFrameAssembler::LengthHigh || state == TFrameAssembler::Body,
                      "the assembler is in one of its four states");
            continue;
        }
        const ByteView record = assembler.record();
        fuzzCheck(assembler.length() >= 1 && assembler.length() <= kMaxBodyLength &&
                      record.size == static_cast<std::size_t>(assembler.length()) + 2 &&
                      readLe16(record.data) == assembler.length(),
                  "a record is L, then L body bytes, with L in 1..2047");
        fuzzCheck(records < expected.size() && sameBytes(record, expected[records]),
                  "the assembler finds the records the framing rules find, in order");
        log.expected = record;
        fuzzCheck(link.HandlePacket(record.data, record.size),
                  "the protocol takes every record the assembler completes");
        ++records;
        fuzzCheck(log.records == records, "every record goes to the log");
        // A clock packet comes once a second, as the main router's tick does.
        if (record.data[2] == kClockPacketType) {
            messages.onClockPacket();
            tickRouters(link);
        }
        if (records % kRecordsPerDraw == 0)
            drawReceivers(link);
    }
    fuzzCheck(records == expected.size(), "the assembler finds every record of the stream");
    fuzzCheck(assembler.counts().framesGood == records, "every good frame is counted once");
    fuzzCheck(link.state().linkQuality().packetsNotDecoded <= records,
              "only packets that were handled are counted as not decoded");
    touchEverything(link);
    touch(writer.frames + messages.boxes + modes + warning.count());
}

} // namespace zentor::fuzz
