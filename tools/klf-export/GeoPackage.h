#pragma once

#include "ExportFormats.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct sqlite3;

namespace zentor::klfexport {

// The log file a drive comes from, as the drives table keeps it.
struct LogIdentity
{
    std::string fileName; // without its folder
    std::string serialNumber;
    std::uint64_t bytes = 0;
    std::string sha256; // of all its bytes, in hex
};

// A drive the GeoPackage already holds.
struct KnownDrive
{
    std::int64_t id = 0;
    std::string fileName;
};

// An OGC GeoPackage (SQLite) that collects a campaign's drives, each added as one transaction:
//   readings  points, WGS 84, with the R-tree spatial index: a row per reading with the CSV's
//             columns and the drive it belongs to
//   routes    multi-line strings, WGS 84: a drive's route, a line per stretch without a gap
//   drives    a row per drive: log file name, serial number, first and last position time,
//             counts of positions, of readings and of readings left out, and the log's size and
//             SHA-256, by which a drive already there is known
class GeoPackage
{
public:
    // An existing GeoPackage to add to, or a new one made at `path` (built beside it under
    // another name and put in place once its first drive is in). A file that is not a
    // GeoPackage, or holds tables of these names that klf-export did not make, is refused and
    // left as it is: none, and `error` says why.
    static std::unique_ptr<GeoPackage> open(const std::string& path, std::string& error);
    ~GeoPackage();
    GeoPackage(const GeoPackage&) = delete;
    GeoPackage& operator=(const GeoPackage&) = delete;

    // The drive of a log with the same bytes, when the GeoPackage holds one.
    std::optional<KnownDrive> find(const LogIdentity& log);

    // Starts adding a drive. The writer inserts the readings (of the receivers `settings`
    // names) as the walk hands them on, and the route and the drive's counts when it finishes;
    // nothing is in the file until commit().
    std::unique_ptr<DriveWriter> addDrive(const LogIdentity& log, const ExportSettings& settings);

    // Ends the drive's transaction and returns the drive's id; none, with `error` saying why,
    // when it could not be written, and then the file is as it was.
    std::optional<std::int64_t> commit(std::string& error);

    // Running SQL, for the writer: false once anything has failed, and then nothing more runs.
    bool run(const char* sql);
    bool ok() const { return failure_.empty(); }
    void fail(const std::string& what);
    sqlite3* db() const { return db_; }

private:
    enum class Tables
    {
        None,
        Ours,
        Foreign, // tables of these names that klf-export did not make, or only some of its own
    };

    GeoPackage(sqlite3* db, std::string path, std::string buildPath);
    Tables ourTables();

    sqlite3* db_;
    const std::string path_;
    const std::string buildPath_; // where a new GeoPackage is made; empty for an existing one
    bool inTransaction_ = false;
    bool committed_ = false;
    std::int64_t driveId_ = 0;
    std::string failure_;
};

} // namespace zentor::klfexport
