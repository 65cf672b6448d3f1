// Framing plus the receiver protocol over a simulator stream of each measurement mode: what the
// link thread does with every byte the instrument sends (no display, GPS or log behind it).
#include "link/FrameAssembler.h"
#include "link/TReceiverLink.h"
#include "zentor-sim/SimInstrument.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

using zentor::MeasurementMode;

// About `seconds` of the simulated instrument at a high packet rate, as bytes on the wire.
std::vector<std::uint8_t> simulatorStream(MeasurementMode mode, int seconds)
{
    zentor::sim::InstrumentSettings settings;
    settings.mode = mode;
    settings.packetsPerSecond = 1000;
    zentor::sim::SimInstrument instrument(settings, 1796000000, 7);
    std::vector<std::uint8_t> stream;
    auto append = [&stream](const std::vector<zentor::sim::Packet>& packets) {
        for (const zentor::sim::Packet& p : packets) {
            const auto bytes = zentor::sim::frameBytes(p);
            stream.insert(stream.end(), bytes.begin(), bytes.end());
        }
    };
    append(instrument.answer(zentor::kCmdConfiguration));
    append(instrument.startMeasurement(0));
    for (std::int64_t ms = 0; ms < seconds * 1000; ms += 10)
        append(instrument.packetsDue(ms));
    return stream;
}

void BM_FrameAndDecode(benchmark::State& state, MeasurementMode mode)
{
    const std::vector<std::uint8_t> stream = simulatorStream(mode, 60);
    zentor::TReceiverLink link;
    zentor::TFrameAssembler assembler;
    std::int64_t packets = 0;
    for (auto _ : state) {
        for (std::uint8_t b : stream) {
            if (assembler.PushByte(b) == 0) {
                const zentor::ByteView record = assembler.record();
                link.HandlePacket(record.data, record.size);
                ++packets;
            }
        }
        // The displays take the readings once a second; here after every pass.
        for (int r = 0; r < zentor::kReceiverCount; ++r)
            link.state().receiverDataEvent(r).reset();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
    state.SetItemsProcessed(packets);
}
BENCHMARK_CAPTURE(BM_FrameAndDecode, single, MeasurementMode::Single)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameAndDecode, list, MeasurementMode::List)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameAndDecode, table, MeasurementMode::Table)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
