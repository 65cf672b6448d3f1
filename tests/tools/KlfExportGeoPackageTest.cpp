// klf-export --format gpkg, read back with GDAL (ogr2ogr, ogrinfo) as QGIS would read it: two
// drives added to one GeoPackage, each a point per row of its CSV at that row's place, in WGS 84
// with the spatial index, the drives table naming both, and the same drive a second time adding
// nothing; files that are not GeoPackages refused and left as they are; and a drive cut off
// halfway (the program killed) leaving the GeoPackage as it was.
#if defined(ZENTOR_KLF_EXPORT_GEOPACKAGE) && !defined(_WIN32)

#include "KlfExportRun.h"
#include "support/Spawn.h"
#include "support/WaitUntil.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace zentor {
namespace {

using namespace std::chrono_literals;
using logtest::Bytes;
using test::klfExport;
using test::runCommand;
using test::ToolRun;

// The readings of one drive as GDAL reads them, in the CSV's columns and number formats, each
// place taken from the point's geometry.
std::string readingsAsCsv(const std::string& gpkg, int drive)
{
    const std::string sql =
        "SELECT time, printf('%.6f', ST_MinY(geom)) AS latitude, printf('%.6f', ST_MinX(geom)) "
        "AS longitude, receiver, mode, channel, CASE WHEN frequency_mhz IS NULL THEN NULL ELSE "
        "printf('%.5f', frequency_mhz) END AS frequency_mhz, rssi_dbm, position_source, fix "
        "FROM readings WHERE drive = " +
        std::to_string(drive) + " ORDER BY fid";
    return runCommand("ogr2ogr -f CSV -lco LINEFORMAT=CRLF -lco STRING_QUOTING=IF_NEEDED "
                      "/vsistdout/ '" +
                      gpkg + "' -sql \"" + sql + "\"")
        .out;
}

std::string summaryOf(const std::string& gpkg)
{
    return runCommand("ogrinfo -ro -so '" + gpkg + "' readings").out;
}

class KlfExportGeoPackage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!test::hasCommand("ogr2ogr") || !test::hasCommand("ogrinfo"))
            GTEST_SKIP() << "GDAL's ogr2ogr and ogrinfo are missing (scripts/bootstrap installs "
                            "gdal-bin): the GeoPackage could not be read";
    }

    const logtest::ScratchDir dir;
    const std::string gpkg = dir.file("campaign.gpkg");
};

TEST_F(KlfExportGeoPackage, DrivesAddUpInOneGeoPackageThatGdalReadsAsTheirCsv)
{
    const std::string logs[] = {dir.file("north.KLF"), dir.file("south.KLF")};
    test::writeDrive(logs[0], 30, 20, 1);
    test::writeDrive(logs[1], 20, 10, 0, 3);
    std::size_t points = 0;
    for (int drive = 1; drive <= 2; ++drive) {
        SCOPED_TRACE(logs[drive - 1]);
        const ToolRun csv = klfExport("'" + logs[drive - 1] + "'");
        const ToolRun added =
            klfExport("'" + logs[drive - 1] + "' --format gpkg --out '" + gpkg + "'");
        EXPECT_EQ(added.status, 0) << added.err;
        EXPECT_EQ(added.err.rfind("klf-export: added to " + gpkg + " as drive " +
                                      std::to_string(drive) + "\n",
                                  0),
                  0u)
            << added.err;
        ASSERT_GT(csv.out.size(), 1000u);
        EXPECT_EQ(readingsAsCsv(gpkg, drive), csv.out);
        points += test::csvRows(csv.out).size() - 1;
    }
    const std::string summary = summaryOf(gpkg);
    EXPECT_NE(summary.find("Feature Count: " + std::to_string(points) + "\n"), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("ID[\"EPSG\",4326]"), std::string::npos) << summary;
    const ToolRun index = runCommand("ogrinfo -ro '" + gpkg +
                                     "' -sql \"SELECT HasSpatialIndex('readings', 'geom')\"");
    EXPECT_NE(index.out.find("= 1\n"), std::string::npos) << index.out << index.err;
    const ToolRun drives = runCommand(
        "ogr2ogr -f CSV -lco STRING_QUOTING=IF_NEEDED /vsistdout/ '" + gpkg +
        "' -sql \"SELECT file_name, readings, positions, first_time, last_time FROM drives ORDER "
        "BY fid\"");
    EXPECT_EQ(drives.out, "file_name,readings,positions,first_time,last_time\n"
                          "north.KLF,3000,30,2026-03-12T14:00:00Z,2026-03-12T14:00:29Z\n"
                          "south.KLF,1000,20,2026-03-12T14:00:00Z,2026-03-12T14:00:19Z\n");

    const ToolRun again = klfExport("'" + logs[0] + "' --format gpkg --out '" + gpkg + "'");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "klf-export: " + logs[0] + " is already in " + gpkg +
                             " as drive 1 (from north.KLF): nothing added\n");
    EXPECT_EQ(summaryOf(gpkg), summary);
}

TEST_F(KlfExportGeoPackage, RefusesAFileThatIsNotOneAndLeavesItAsItIs)
{
    const std::string log = dir.file("drive.KLF");
    test::writeDrive(log, 3, 2, 0);
    const auto sqlite = [&](const char* name, const char* sql) {
        const std::string path = dir.file(name);
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << name;
        sqlite3_close(db);
        return path;
    };
    const std::string text = dir.file("notes.gpkg");
    logtest::writeFile(text, Bytes{'d', 'r', 'i', 'v', 'e', '\n'});
    const std::pair<std::string, std::string> files[] = {
        {text, "is not a GeoPackage (file is not a database)"},
        {sqlite("plain.gpkg", "CREATE TABLE t (a)"),
         "is not a GeoPackage (an SQLite file without the GeoPackage's application id)"},
        {sqlite("other.gpkg", "PRAGMA application_id = 1196444487; CREATE TABLE gpkg_contents "
                              "(table_name TEXT); CREATE TABLE readings (level REAL)"),
         "holds tables named drives, readings or routes that klf-export did not make"},
    };
    for (const auto& [path, why] : files) {
        SCOPED_TRACE(path);
        const Bytes before = test::readFile(path);
        const ToolRun run = klfExport("'" + log + "' --format gpkg --out '" + path + "'");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "klf-export: " + path + " " + why + ": it was left as it is\n");
        EXPECT_TRUE(test::readFile(path) == before);
    }
}

TEST_F(KlfExportGeoPackage, ADriveCutOffHalfwayLeavesTheGeoPackageAsItWas)
{
    const std::string small = dir.file("small.KLF"), large = dir.file("large.KLF");
    test::writeDrive(small, 5, 4, 0);
    test::writeDrive(large, 600, 1000, 0, 1);
    ASSERT_EQ(klfExport("'" + small + "' --format gpkg --out '" + gpkg + "'").status, 0);
    const std::string before = summaryOf(gpkg);
    const auto size = [&] { return std::filesystem::file_size(gpkg); };
    const std::uintmax_t smallSize = size();

    // Killed once the drive's rows have begun to reach the file itself.
    pid_t pid = 0;
    ASSERT_TRUE(test::spawnProgram({ZENTOR_KLF_EXPORT, large, "--format", "gpkg", "--out", gpkg},
                                   dir.file("out.txt"), dir.file("err.txt"), pid));
    const bool grew = test::waitUntil([&] { return size() > smallSize + (1 << 20); }, 60000ms);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(grew) << "the large drive did not reach the file";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the large drive was in before the program was killed";

    // The next program to open it finds the small drive only.
    const ToolRun again = klfExport("'" + small + "' --format gpkg --out '" + gpkg + "'");
    EXPECT_NE(again.err.find("as drive 1 (from small.KLF): nothing added"), std::string::npos)
        << again.err;
    EXPECT_EQ(summaryOf(gpkg), before);
}

} // namespace
} // namespace zentor

#endif
