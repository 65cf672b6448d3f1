// Throughput of the frame assembler over a stream shaped like a recorded instrument session:
// list-mode data packets, single-mode levels, clock packets and a GPS record once in a while.
#include "link/Frame.h"
#include "link/FrameAssembler.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::uint8_t> recordedLikeStream(std::size_t targetBytes)
{
    std::vector<std::uint8_t> stream;
    std::uint32_t seed = 1;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(seed >> 24);
    };
    auto append = [&stream](std::uint8_t type, const std::vector<std::uint8_t>& data) {
        const zentor::OutboundFrame f = zentor::buildFrame(type, data.data(), data.size());
        stream.insert(stream.end(), f.bytes.begin(), f.bytes.begin() + f.size);
    };
    for (unsigned n = 0; stream.size() < targetBytes; ++n) {
        std::vector<std::uint8_t> scan(15);
        for (auto& b : scan)
            b = next();
        append(0x07, scan);
        if (n % 4 == 0)
            append(0x02, {next(), next(), next(), next()});
        if (n % 20 == 0)
            append(0x04, {0, 1, 2, 3, 4, 26, 7});
        if (n % 20 == 10)
            append(0x00, std::vector<std::uint8_t>(152, next()));
    }
    return stream;
}

void BM_PushByte(benchmark::State& state)
{
    const std::vector<std::uint8_t> stream = recordedLikeStream(16u << 20);
    zentor::TFrameAssembler assembler;
    std::int64_t frames = 0;
    for (auto _ : state) {
        for (std::uint8_t b : stream)
            frames += assembler.PushByte(b) == 0;
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
    state.SetItemsProcessed(frames);
}
BENCHMARK(BM_PushByte)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
