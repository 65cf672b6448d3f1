// klf-export run as a program. A drive: the simulator streams list mode over a pseudo-terminal to
// the program's own link thread with log mode on; the CSV of that log must hold every list entry
// the simulator sent after its first GPS record, with its level, at a position on the simulated
// route and at the band plan's frequency, and the GPX, KML and SVG must agree with the CSV
// (check_klf_export.py reads them). Then the reference log, cut-short and damaged copies of the
// drive, and bad command lines.
#if defined(ZENTOR_SIM_PATH) && !defined(_WIN32)

#include "KlfExportRun.h"
#include "link/TCom_Router.h"
#include "link/TReceiverLink.h"
#include "logging/KlfReader.h"
#include "logging/LogSession.h"
#include "logging/LogTestSupport.h"
#include "support/SimulatorProcess.h"
#include "zentor-sim/BandPlan.h"
#include "zentor-sim/Route.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using logtest::Bytes;
using test::csvRows;
using test::klfExport;
using test::ToolRun;

const sim::GeoPoint kTown = {52.0116, 4.3571}; // the simulator's default
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;
constexpr double kMetresPerDegree = 111195.0;

// A list-mode drive of a few seconds, logged by the program, with the simulator's record of what
// it sent; made once for all tests.
struct RecordedDrive
{
    logtest::ScratchDir dir;
    std::string log;
    Bytes record;
    std::string trouble; // empty when the drive was recorded
};

const RecordedDrive& drive()
{
    static RecordedDrive d;
    static bool done = false;
    if (done)
        return d;
    done = true;
    test::SimulatorProcess sim;
    if (!sim.start({"--link", sim.path("port"), "--record", sim.path("record.bin"), "--mode",
                    "list", "--rate", "50", "--seconds", "4", "--seed", "19"}) ||
        !sim.waitForLink(sim.path("port"))) {
        d.trouble = "the simulator did not start";
        return d;
    }
    TReceiverLink link;
    LogSession session(link.state(), nullptr);
    link.setLogSink(&session);
    d.log = session.start(d.dir.file("drive"));
    ::setenv("ZENTOR_COM3", sim.path("port").c_str(), 1);
    TCom_Router router(link, {LinkSelection::kRs232, 3});
    if (sim.waitExit(20000) != 0)
        d.trouble = "the simulator failed: " + sim.output("err.txt");
    test::waitUntil([&] { return router.hungUp(); }, 10000ms);
    router.requestTerminate();
    router.waitFinished(5000ms);
    session.stop();
    d.record = test::readFile(sim.path("record.bin"));
    return d;
}

// The list entries the simulator sent after its first GPS record: receiver, entry 1-10, level.
std::vector<std::array<int, 3>> entriesSent(const Bytes& record)
{
    std::vector<std::array<int, 3>> entries;
    KlfReader reader(record.data(), record.size());
    bool positioned = false;
    for (KlfRecord r; reader.next(r);) {
        positioned = positioned || r.type == 0x00;
        for (std::size_t e = 0; positioned && r.type == 0x07 && e + 3 <= r.data.size; e += 3)
            entries.push_back({r.data.data[e] == 0 ? 1 : 2, r.data.data[e + 1] + 1,
                               static_cast<std::int8_t>(r.data.data[e + 2])});
    }
    return entries;
}

double metresFromRoute(double latitudeDeg, double longitudeDeg)
{
    static const sim::Route route(kTown);
    double nearest = 1e9;
    for (double s = 0; s < 900; s += 0.5) {
        const sim::GeoPoint p = route.at(s).geo;
        const double east =
            (longitudeDeg - p.longitudeDeg) * std::cos(p.latitudeDeg * kRadiansPerDegree);
        nearest =
            std::min(nearest, std::hypot(east, latitudeDeg - p.latitudeDeg) * kMetresPerDegree);
    }
    return nearest;
}

TEST(KlfExport, ASimulatedDriveAsCsvHoldsEveryEntrySentWithItsPlaceAndFrequency)
{
    const RecordedDrive& d = drive();
    ASSERT_EQ(d.trouble, "");
    const ToolRun run = klfExport("'" + d.log + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    const auto rows = csvRows(run.out);
    const auto sent = entriesSent(d.record);
    ASSERT_GT(sent.size(), 500u);
    ASSERT_EQ(rows.size(), sent.size() + 1) << run.err;
    EXPECT_EQ(rows[0], (std::vector<std::string>{"time", "latitude", "longitude", "receiver",
                                                 "mode", "channel", "frequency_mhz", "rssi_dbm",
                                                 "position_source", "fix"}));
    const sim::BandPlan plan = sim::defaultBandPlan();
    bool frequencies = false;
    std::string lastPlace;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const auto& row = rows[i + 1];
        const auto [receiver, entry, level] = sent[i];
        ASSERT_EQ(row.size(), 10u) << i;
        EXPECT_EQ(row[3] + " " + row[5] + " " + row[7], std::to_string(receiver) + " " +
                                                            std::to_string(entry) + " " +
                                                            std::to_string(level))
            << i;
        EXPECT_EQ(row[4] + " " + row[8], "list gps");
        EXPECT_TRUE(row[9] == "3d" || row[9] == "2d") << row[9];
        EXPECT_EQ(row[0].size(), 20u) << "UTC time ending in Z: " << row[0];
        char frequency[32];
        const sim::ReceiverPlan& r = plan[receiver - 1];
        std::snprintf(frequency, sizeof frequency, "%.5f", r.frequencyMHz(r.listCounts[entry - 1]));
        // Entries that came before the configuration packet have no frequency.
        frequencies = frequencies || !row[6].empty();
        EXPECT_EQ(row[6], frequencies ? frequency : "") << i;
        if (row[1] + row[2] != lastPlace) {
            EXPECT_LT(metresFromRoute(std::stod(row[1]), std::stod(row[2])), 25.0) << i;
        }
        lastPlace = row[1] + row[2];
    }
    EXPECT_TRUE(frequencies);
}

TEST(KlfExport, GpxKmlAndSvgOfTheSimulatedDriveAgreeWithItsCsv)
{
    const RecordedDrive& d = drive();
    ASSERT_EQ(d.trouble, "");
    if (!test::hasCommand("python3"))
        GTEST_SKIP() << "python3 is missing (scripts/bootstrap installs it): the GPX, KML and SVG "
                        "outputs were not read";
    for (const char* receiver : {"1", "2"}) {
        std::string files;
        for (const char* format : {"csv", "gpx", "kml", "svg"}) {
            const std::string out = d.dir.file(std::string("drive.") + format);
            const ToolRun run =
                klfExport("'" + d.log + "' --receiver " + receiver + " --range -100,-44 --format " +
                          format + " --out '" + out + "'");
            EXPECT_EQ(run.status, 0) << format << ": " << run.err;
            files += " '" + out + "'";
        }
        const ToolRun check =
            test::runCommand("python3 '" ZENTOR_TEST_SOURCES "/check_klf_export.py'" + files + " " +
                             receiver + " -100 -44");
        EXPECT_EQ(check.status, 0) << "receiver " << receiver << ":\n" << check.out << check.err;
    }
}

TEST(KlfExport, ExportsTheReferenceLogWhosePositionComesAfterItsReadings)
{
    const std::string reference = "'" ZENTOR_TEST_DATA "/reference.KLF'";
    const ToolRun csv = klfExport(reference);
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, "time,latitude,longitude,receiver,mode,channel,frequency_mhz,rssi_dbm,"
                       "position_source,fix\r\n");
    EXPECT_EQ(csv.err, "klf-export: 1 position from the TravelPilot records, 0 readings with a "
                       "position\nklf-export: 26 readings left out: no position before them\n");
    const ToolRun gpx = klfExport(reference + " --format gpx");
    EXPECT_NE(gpx.out.find("<trkpt lat=\"52.004711\" lon=\"13.003812\"><time>2007-04-12T14:05:09"
                           "</time><extensions><zentor:fix>travelpilot</zentor:fix></extensions>"
                           "</trkpt>"),
              std::string::npos)
        << gpx.out;
}

TEST(KlfExport, ExportsADamagedDriveAsFarAsItsWholeRecordsGo)
{
    const RecordedDrive& d = drive();
    ASSERT_EQ(d.trouble, "");
    const Bytes log = test::readFile(d.log);
    const std::string whole = klfExport("'" + d.log + "'").out;
    // A list packet halfway through the file: the recorded drive may end with any packet.
    KlfReader reader(log.data(), log.size());
    KlfRecord list;
    while (reader.next(list) && (list.type != 0x07 || list.offset < log.size() / 2)) {
    }
    ASSERT_EQ(list.type, 0x07);
    const std::string at = std::to_string(list.offset);
    const std::string damaged = d.dir.file("damaged.KLF");
    struct Case
    {
        const char* legend;
        Bytes bytes;
        std::string warning;
        std::size_t rowsLeftOut; // 0: the rows are those of the whole file up to where it ends
    };
    Bytes badLength = log, badChecksum = log;
    badLength[list.offset] = badLength[list.offset + 1] = 0;
    badChecksum[list.offset + 5] ^= 0x01; // the first entry's level
    const Case cases[] = {
        {"cut inside a record", Bytes(log.begin(), log.begin() + list.offset + 3),
         "is truncated at byte " + at, 0},
        {"a length of 0", badLength,
         "is damaged at byte " + at + " (length 0): exported up to byte " + at, 0},
        {"a bad checksum", badChecksum,
         "1 record left out: bad checksum\nklf-export: warning: " + damaged +
             " is damaged at byte " + at + " (checksum): its damaged records were left out",
         5},
    };
    const std::size_t wholeRows = csvRows(whole).size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        logtest::writeFile(damaged, c.bytes);
        const ToolRun run = klfExport("'" + damaged + "'");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.warning), std::string::npos) << run.err;
        if (c.rowsLeftOut == 0) {
            EXPECT_LT(csvRows(run.out).size(), wholeRows);
            EXPECT_EQ(whole.compare(0, run.out.size(), run.out), 0);
        } else {
            EXPECT_EQ(csvRows(run.out).size() + c.rowsLeftOut, wholeRows);
        }
    }
}

// The log is never held whole, nor its readings: a log of 72 MB, most of it large packets the
// program does not decode, with a drive of 1.2 million list readings among them, exports with
// at most 64 MB of address space.
TEST(KlfExport, ExportsALogLargerThanItsMemoryLimit)
{
    if (test::kSanitized)
        GTEST_SKIP() << "the sanitizers reserve far more address space than the limit allows";
    const logtest::ScratchDir dir;
    const std::string log = dir.file("long.KLF");
    test::writeDrive(log, 240, 1000, 150);
    const ToolRun run = klfExport("'" + log + "' --out /dev/null", "ulimit -v 65536; ");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.rfind("klf-export: 240 positions from the GPS records, 1200000 readings with "
                            "a position\n",
                            0),
              0u)
        << run.err;
}

TEST(KlfExport, SaysHowItIsUsed)
{
    const ToolRun help = klfExport("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: klf-export FILE.KLF [--format csv|gpx|kml|svg|gpkg]", 0), 0u);
    const std::pair<const char*, const char*> bad[] = {
        {"", "no log file given"},
        {"a.KLF --format pdf", "--format takes csv, gpx, kml, svg or gpkg, not 'pdf'"},
        {"a.KLF --format gpkg", "--format gpkg adds to a file: name it with --out FILE"},
        {"a.KLF --receiver 3", "--receiver takes 1 or 2, not '3'"},
        {"a.KLF --range -50,-120", "--range takes MIN,MAX"},
        {"missing.KLF", "cannot read missing.KLF: No such file or directory"},
        {"'" ZENTOR_TEST_DATA "/reference.KLF' --out /nonexistent/x.csv",
         "cannot write /nonexistent/x.csv: No such file or directory"},
    };
    for (const auto& [args, error] : bad) {
        const ToolRun run = klfExport(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err.rfind(std::string("klf-export: ") + error, 0), 0u) << run.err;
    }
    // The log is read again once the output is open, so it must not be the output.
    const logtest::ScratchDir dir;
    const Bytes log = test::readFile(ZENTOR_TEST_DATA "/reference.KLF");
    logtest::writeFile(dir.file("drive.KLF"), log);
    const ToolRun over =
        klfExport("'" + dir.file("drive.KLF") + "' --out '" + dir.path() + "/./drive.KLF'");
    EXPECT_EQ(over.status, 2);
    EXPECT_NE(over.err.find("it is the log being exported"), std::string::npos) << over.err;
    EXPECT_TRUE(test::readFile(dir.file("drive.KLF")) == log);
}

} // namespace
} // namespace zentor

#endif
