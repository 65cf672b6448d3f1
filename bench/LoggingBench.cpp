// Throughput of the log router from hand-over to file: a stream of records shaped like an
// instrument session (scan packets, single-mode levels, clock packets, a GPS record now and then,
// TravelPilot position and speed records), handed over as fast as the link thread could, with
// the router's once-a-second sync running as it does in the program. The log file lives in a
// fresh folder under the system's temporary folder.
#include "link/Frame.h"
#include "logging/TLog_Router.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Record = std::vector<std::uint8_t>;

constexpr std::size_t kStreamBytes = 4u << 20; // handed over per iteration, well inside the queue

Record packetRecord(std::uint8_t type, const std::vector<std::uint8_t>& data)
{
    const zentor::OutboundFrame f = zentor::buildFrame(type, data.data(), data.size());
    return Record(f.bytes.begin() + 1, f.bytes.begin() + static_cast<long>(f.size));
}

std::vector<Record> sessionLikeRecords(std::size_t targetBytes)
{
    std::vector<Record> records;
    std::uint32_t seed = 1;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(seed >> 24);
    };
    std::size_t bytes = 0;
    auto add = [&](Record r) {
        bytes += r.size();
        records.push_back(std::move(r));
    };
    for (unsigned n = 0; bytes < targetBytes; ++n) {
        std::vector<std::uint8_t> scan(15);
        for (auto& b : scan)
            b = next();
        add(packetRecord(0x07, scan));
        if (n % 4 == 0)
            add(packetRecord(0x02, {next(), next(), next(), next()}));
        if (n % 20 == 0)
            add(packetRecord(0x04, {0, 1, 2, 3, 4, 26, 7}));
        if (n % 20 == 10) {
            add(packetRecord(0x00, std::vector<std::uint8_t>(152, next())));
            add(Record{0x15, 0x00, 0xC0, 9, 5,   14, 12, 3,    107,  'N', 52, 0,
                       0x67, 0x12, 0,    0, 'E', 13, 0,  0xE4, 0x0E, 0,   0});
            add(Record{0x05, 0x00, 0xC1, 48, 0, 0x0E, 0x01});
        }
    }
    return records;
}

// A fresh folder under the system's temporary folder.
std::filesystem::path scratchFolder()
{
    const auto base = std::filesystem::temp_directory_path();
    for (unsigned n = 0;; ++n) {
        const auto folder = base / ("zentor-bench-" + std::to_string(n));
        if (std::filesystem::create_directory(folder))
            return folder;
    }
}

void BM_HandOverToFile(benchmark::State& state)
{
    static const std::vector<Record> records = sessionLikeRecords(kStreamBytes);
    const std::filesystem::path folder = scratchFolder();
    const std::string name = (folder / "bench.KLF").string();
    auto router = std::make_unique<zentor::TLog_Router>(name, std::vector<std::uint8_t>{}, nullptr);
    router->start();

    std::size_t bytesPerPass = 0;
    for (const Record& r : records)
        bytesPerPass += r.size();
    for (auto _ : state) {
        for (const Record& r : records)
            router->handOver(r.data(), static_cast<std::uint16_t>(r.size()));
        if (!router->waitUntilWritten(std::chrono::seconds(60))) {
            state.SkipWithError("the log router did not write the records within a minute");
            break;
        }
    }
    router->stop();
    const zentor::TLog_Router::Counts counts = router->counts();
    router.reset();
    std::filesystem::remove_all(folder);
    if (counts.lost != 0 || counts.written != counts.accepted)
        state.SkipWithError("records were lost");

    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerPass));
}
BENCHMARK(BM_HandOverToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
