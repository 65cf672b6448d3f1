// A drive from a real GPS receiver, end to end: the ten Oncore M12 messages of the shared test
// data (a receiver in Position Hold), each followed by a clock packet and a list packet of levels
// chosen here, sent by this test as the instrument over a pseudo-terminal to the program's own
// link thread with log mode on. The CSV, GPX, KML and GeoPackage of that log must place each
// reading where another decoder (gpsd, ha_expected.json's "independent") put the receiver at that
// second, as closely as each format writes it, with the levels sent and the fix "hold". gpsd gave
// no position for the first message (it had not yet learnt the receiver's mode); that one is
// counted, not compared.
#if !defined(_WIN32)

#include "KlfExportRun.h"
#include "gps/GpsTestRecords.h"
#include "gps/JsonValue.h"
#include "link/TCom_Router.h"
#include "link/TReceiverLink.h"
#include "logging/LogSession.h"
#include "support/PtyInstrument.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using logtest::Bytes;
using test::JsonValue;
using test::klfExport;

constexpr std::size_t kMessages = 10;
constexpr std::size_t kEntries = 5; // per list packet: list entries 1-3 of receiver 1, 1-2 of 2

// The level sent for message m's entry e: distinct for every reading.
int levelSent(std::size_t m, std::size_t e)
{
    return -40 - static_cast<int>(7 * e + m);
}

// Where gpsd put the receiver at one second.
struct Fix
{
    double latitudeDeg = 0;
    double longitudeDeg = 0;
};

class KlfExportRealCapture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::optional<std::vector<Bytes>> captures = test::loadRealCaptures();
        std::ifstream in(test::sharedDataDir() + "/testdata/oncore-m12/ha_expected.json");
        if (!captures || !in)
            GTEST_SKIP() << "the real GPS captures are not at hand (" << test::sharedDataDir()
                         << "/testdata/oncore-m12, or ZENTOR_SHARED_DIR)";
        std::stringstream text;
        text << in.rdbuf();
        const std::optional<JsonValue> expected = JsonValue::parse(text.str());
        ASSERT_TRUE(expected) << "ha_expected.json is not well formed";
        const JsonValue& messages = (*expected)["messages"];
        ASSERT_EQ(captures->size(), kMessages);
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const JsonValue& tpv = messages[i]["independent"]["gpsd_TPV"];
            if (tpv.has("lat"))
                gpsd[tpv["time"].string().substr(0, 19) + "Z"] = {tpv["lat"].number(),
                                                                  tpv["lon"].number()};
        }
        ASSERT_EQ(gpsd.size(), kMessages - 1);
        log = logDrive(*captures);
    }

    // Sends the drive as the instrument and returns the log the program wrote of it.
    std::string logDrive(const std::vector<Bytes>& captures)
    {
        test::PtyInstrument instrument;
        TReceiverLink link;
        LogSession session(link.state(), nullptr);
        link.setLogSink(&session);
        const std::string name = session.start(dir.file("real"));
        ::setenv("ZENTOR_COM2", instrument.device().c_str(), 1);
        TCom_Router router(link, {LinkSelection::kRs232, 2});
        // The program asks for the identification once the port is open and set up.
        EXPECT_FALSE(instrument.receive(4).empty()) << "the program did not open the port";
        std::size_t expectedBytes = logtest::kHeaderWithoutChannelInformation;
        for (std::size_t m = 0; m < kMessages; ++m) {
            Bytes entries;
            for (std::size_t e = 0; e < kEntries; ++e)
                entries.insert(entries.end(),
                               {std::uint8_t(e < 3 ? 0 : 1), std::uint8_t(e < 3 ? e : e - 3),
                                std::uint8_t(levelSent(m, e))});
            for (const Bytes& frame :
                 {test::frameOf(0x00, captures[m]),
                  test::frameOf(0x04, {std::uint8_t(30 + m), 33, 7, 21, 1, 26, 0}),
                  test::frameOf(0x07, entries)}) {
                instrument.send(frame);
                expectedBytes += frame.size() - 1; // the log keeps the record, not the sync byte
            }
        }
        EXPECT_TRUE(
            test::waitUntil([&] { return test::readFile(name).size() >= expectedBytes; }, 10000ms))
            << "the log did not get every packet";
        router.requestTerminate();
        router.waitFinished(5000ms);
        EXPECT_TRUE(session.closeAll(5000ms));
        return name;
    }

    // Within half the last digit a format writes, and the rounding of gpsd's nine decimals.
    void expectPlace(const std::string& time, double latitudeDeg, double longitudeDeg, double digit)
    {
        if (gpsd.count(time) == 0)
            return;
        EXPECT_NEAR(latitudeDeg, gpsd[time].latitudeDeg, digit / 2 + 1e-9) << time;
        EXPECT_NEAR(longitudeDeg, gpsd[time].longitudeDeg, digit / 2 + 1e-9) << time;
    }

    // The message a time belongs to, 0-9: the captures run from 07:33:29 a second apart.
    static std::size_t messageAt(const std::string& time)
    {
        return static_cast<std::size_t>(std::stoi(time.substr(17, 2)) - 29);
    }

    const logtest::ScratchDir dir;
    std::map<std::string, Fix> gpsd; // by time, "2026-01-21T07:33:30Z"
    std::string log;
};

TEST_F(KlfExportRealCapture, EveryFormatPlacesTheReadingsWhereTheReceiverWasWithTheLevelsSent)
{
    const test::ToolRun csv = klfExport("'" + log + "'");
    EXPECT_EQ(csv.status, 0) << csv.err;
    const auto rows = test::csvRows(csv.out);
    ASSERT_EQ(rows.size(), 1 + kMessages * kEntries) << csv.out << csv.err;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& r = rows[i];
        const std::size_t m = messageAt(r[0]), e = (i - 1) % kEntries;
        expectPlace(r[0], std::stod(r[1]), std::stod(r[2]), 1e-6);
        EXPECT_EQ(r[3] + " " + r[5] + " " + r[7] + " " + r[9],
                  (e < 3 ? "1 " : "2 ") + std::to_string(e < 3 ? e + 1 : e - 2) + " " +
                      std::to_string(levelSent(m, e)) + " hold");
    }

    // GPX and KML carry each position once, with receiver 1's strongest reading there.
    const std::string gpx = klfExport("'" + log + "' --format gpx").out;
    const std::regex point("<trkpt lat=\"([^\"]+)\" lon=\"([^\"]+)\"><time>([^<]+)</time>"
                           "<extensions><zentor:fix>hold</zentor:fix><zentor:rssi_dbm>([^<]+)<");
    std::size_t points = 0;
    for (auto p = std::sregex_iterator(gpx.begin(), gpx.end(), point); p != std::sregex_iterator();
         ++p, ++points) {
        expectPlace((*p)[3], std::stod((*p)[1]), std::stod((*p)[2]), 1e-6);
        EXPECT_EQ(std::stoi((*p)[4]), levelSent(messageAt((*p)[3]), 0));
    }
    EXPECT_EQ(points, kMessages) << gpx;
    const std::string kml = klfExport("'" + log + "' --format kml").out;
    const std::regex placemark("<name>([-0-9]+) dBm</name><TimeStamp><when>([^<]+)</when>.*?"
                               "<value>hold</value>.*?<coordinates>([^,]+),([^<]+)<");
    std::size_t placemarks = 0;
    for (auto p = std::sregex_iterator(kml.begin(), kml.end(), placemark);
         p != std::sregex_iterator(); ++p, ++placemarks) {
        expectPlace((*p)[2], std::stod((*p)[4]), std::stod((*p)[3]), 1e-6);
        EXPECT_EQ(std::stoi((*p)[1]), levelSent(messageAt((*p)[2]), 0));
    }
    EXPECT_EQ(placemarks, kMessages) << kml;

#if defined(ZENTOR_KLF_EXPORT_GEOPACKAGE)
    if (!test::hasCommand("ogr2ogr"))
        GTEST_SKIP() << "GDAL's ogr2ogr is missing (scripts/bootstrap installs gdal-bin): the "
                        "GeoPackage was not read";
    const std::string gpkg = dir.file("real.gpkg");
    EXPECT_EQ(klfExport("'" + log + "' --format gpkg --out '" + gpkg + "'").status, 0);
    const auto read = test::csvRows(
        test::runCommand("ogr2ogr -f CSV -lco LINEFORMAT=CRLF -lco STRING_QUOTING=IF_NEEDED "
                         "/vsistdout/ '" +
                         gpkg +
                         "' -sql \"SELECT time, printf('%.12f', ST_MinY(geom)), printf('%.12f', "
                         "ST_MinX(geom)), rssi_dbm, fix FROM readings ORDER BY fid\"")
            .out);
    ASSERT_EQ(read.size(), rows.size());
    for (std::size_t i = 1; i < read.size(); ++i) {
        const auto& r = read[i];
        expectPlace(r[0], std::stod(r[1]), std::stod(r[2]), 0);
        EXPECT_EQ(r[3] + " " + r[4], rows[i][7] + " hold");
    }
#endif
}

} // namespace
} // namespace zentor

#endif
