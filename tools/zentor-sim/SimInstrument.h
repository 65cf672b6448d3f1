#pragma once

#include "BandPlan.h"
#include "InstrumentStream.h"
#include "RadioField.h"
#include "Route.h"
#include "SimPacket.h"
#include "SimRandom.h"
#include "link/MeasurementMode.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zentor::sim {

struct InstrumentSettings
{
    MeasurementMode mode = MeasurementMode::List;
    int packetsPerSecond = 20; // measurement packets; 1 or more
    bool gps = true;
    std::string serial = "ZT012345";
    int markerEverySeconds = 0; // 0: the marker number stays 0
    int infoEverySeconds = 10;  // 0: channel information only when the PC asks for it
    GeoPoint townCentre = {52.0116, 4.3571};
};

// The simulated two-receiver instrument with GPS: what it answers to the PC's commands and what
// it streams by itself, on a simulated clock in milliseconds. Time 0 is the UTC second
// `startUnixSeconds`. Once a second it sends the clock/marker packet and (with GPS) the GPS
// record; measurement packets follow at the configured rate; channel information goes out when
// a measurement starts, every `infoEverySeconds` after that (type 5 in single mode, type 6 in
// list mode) and whenever the PC asks. Not thread-safe: one thread drives it.
class SimInstrument
{
public:
    SimInstrument(const InstrumentSettings& settings, std::int64_t startUnixSeconds,
                  std::uint32_t seed);

    // A client opened the port at `nowMs`: the measurement starts again from there. Returns what
    // the instrument sends first: the channel information (types 5 and 6), or nothing when it is
    // sent on request only.
    std::vector<Packet> startMeasurement(std::int64_t nowMs);

    // The answer to one command from the PC: 0x1C the identification, 0x01 the configuration,
    // 0x30 the channel information. Any other command gets no answer (an empty list).
    std::vector<Packet> answer(std::uint8_t command) const;

    // Every packet due at or before `nowMs`, in the order the instrument sends them: the second's
    // clock and GPS packets first, then channel information, then measurement data. A packet more
    // than a second overdue (a reader that fell behind) is skipped, as the instrument does not
    // queue its measurements.
    std::vector<Packet> packetsDue(std::int64_t nowMs);

    // The time of the next scheduled packet.
    std::int64_t nextDueMs() const;

    // The PC's clock read at `nowMs`, in Unix milliseconds. The clock and GPS packets carry the
    // PC's time to the second, also when the PC's clock is set while the simulator runs (a clock
    // synchronised some time after the machine started): the schedule keeps its steady pace,
    // only the times it stamps follow the PC.
    void followPcClock(std::int64_t nowMs, std::int64_t pcUnixMs);

    const BandPlan& bandPlan() const { return plan_; }

private:
    std::int64_t dataSlotMs() const;
    void skipOverdue(std::int64_t nowMs);
    void appendSecond(std::vector<Packet>& out);
    void appendInfo(std::vector<Packet>& out) const;
    Packet measurementPacket();
    Packet singlePacket(const LocalPoint& at);
    Packet listSlicePacket(const LocalPoint& at);
    Packet tableSlicePacket(const LocalPoint& at);

    InstrumentSettings settings_;
    std::int64_t startUnixSeconds_;
    BandPlan plan_;
    Route route_;
    RadioField field_;
    SimRandom levelNoise_;
    SimRandom gpsNoise_;
    std::vector<std::pair<int, std::int32_t>> tableSweep_; // (receiver, count) of every step

    std::int64_t pcAheadSeconds_ = 0; // of the schedule's own second count
    std::int64_t nextSecondMs_ = 0;
    std::int64_t nextInfoMs_ = 0;
    std::int64_t dataStartMs_ = 0;
    std::int64_t dataSlot_ = 0;
    std::size_t cursor_ = 0; // next receiver, list slice or table sweep position
};

// The simulated instrument as the session's stream: its packets, framed, the times they carry
// following the PC's clock. It never ends.
class SimulatedStream : public InstrumentStream
{
public:
    // `instrument` must outlive the stream.
    explicit SimulatedStream(SimInstrument& instrument) : instrument_(instrument) {}

    std::vector<Bytes> start(std::int64_t nowMs) override;
    std::vector<Bytes> answer(std::uint8_t command) const override;
    std::vector<Bytes> due(std::int64_t nowMs) override;
    std::int64_t nextDueMs() const override { return instrument_.nextDueMs(); }
    bool ended() const override { return false; }
    const char* activity() const override { return "measurement"; }

private:
    SimInstrument& instrument_;
};

} // namespace zentor::sim
