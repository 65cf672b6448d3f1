// An unattended run in this process against the simulator, with a map block of its own: the
// map feed carries the strongest list reading of receiver 1 as the receiver state held it when
// the block was written, although nothing is drawn in such a run.
#include "app/UnattendedRun.h"
#include "link/ByteOrder.h"
#include "logging/KlfReader.h"
#include "map/MapTestNames.h"
#include "support/FileBytes.h"
#include "support/SimulatorProcess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kGpsUnfilteredLatitude = 31; // in the GPS record, milliarcseconds BE
constexpr double kMilliarcsecondsPerDegree = 3600000.0;

// For each GPS record of a recording: its unfiltered latitude, and every strongest list reading
// of receiver 1 the receiver state could hold while the record was being published, that is from
// the record until the next one.
std::vector<std::pair<double, std::set<int>>> listReadingsAtEachFix(const Bytes& record)
{
    std::array<int, 10> list{};
    list.fill(-120);
    std::vector<std::pair<double, std::set<int>>> fixes;
    KlfReader reader(record.data(), record.size());
    for (KlfRecord r; reader.next(r);) {
        const std::uint8_t* data = r.data.data;
        if (r.type == 0x00 && r.data.size >= kGpsUnfilteredLatitude + 4) {
            const auto mas = static_cast<std::int32_t>(readBe32(data + kGpsUnfilteredLatitude));
            fixes.push_back({mas / kMilliarcsecondsPerDegree, {}});
        } else if (r.type == 0x06) {
            list.fill(-120); // a new list restarts the readings
        } else if (r.type == 0x07) {
            for (std::size_t e = 0; e + 3 <= r.data.size; e += 3) {
                if (data[e] == 0 && data[e + 1] < 10)
                    list[data[e + 1]] = static_cast<std::int8_t>(data[e + 2]);
            }
        }
        if (!fixes.empty())
            fixes.back().second.insert(*std::max_element(list.begin(), list.end()));
    }
    return fixes;
}

TEST(UnattendedMapFeed, CarriesTheStrongestListReadingOfReceiverOne)
{
    test::SimulatorProcess sim;
    ASSERT_TRUE(sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"), "--mode",
                           "list", "--rate", "50", "--seed", "3"}));
    ASSERT_TRUE(sim.waitForLink(sim.path("port")));
    ::setenv("ZENTOR_COM1", sim.path("port").c_str(), 1);
    test::TestMapNames names;
    std::FILE* quiet = std::fopen("/dev/null", "w");
    ASSERT_NE(quiet, nullptr);
    UnattendedRun run(
        parseProgramOptions({"--port", "COM1", "--seconds", "4"}, Program::UnattendedLogger), quiet,
        quiet, {}, names.names());
    ASSERT_EQ(run.exec([] { return false; }), 0);
    ASSERT_TRUE(run.workersEnded());
    std::vector<std::uint8_t> block(kMapBlockBytes);
    ASSERT_TRUE(readMapBlock(names.names(), block.data()));
    std::fclose(quiet);
    sim.signal(SIGTERM);
    ASSERT_EQ(sim.waitExit(10000), 0);

    double latitudeDeg = 0;
    std::memcpy(&latitudeDeg, &block[16], sizeof latitudeDeg);
    const int rssiDbm = static_cast<std::int16_t>(readLe16(&block[34]));
    EXPECT_GT(rssiDbm, -120) << "a run without windows feeds the map a real reading";
    const auto fixes = listReadingsAtEachFix(test::readFile(sim.path("record.bin")));
    const auto published = std::find_if(fixes.begin(), fixes.end(), [&](const auto& fix) {
        return std::fabs(fix.first - latitudeDeg) < 1e-9;
    });
    ASSERT_NE(published, fixes.end()) << "the block's position is one the simulator sent";
    std::string possible;
    for (const int reading : published->second)
        possible += " " + std::to_string(reading);
    EXPECT_EQ(published->second.count(rssiDbm), 1u) << rssiDbm << " is none of" << possible;
}

} // namespace
} // namespace zentor
