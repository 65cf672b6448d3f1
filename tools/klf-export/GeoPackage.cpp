#include "GeoPackage.h"

#include "GeoPackageSql.h"

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>

namespace zentor::klfexport {

namespace {

// "GPKG", and the ids of the GeoPackages made before it (1.0 "GP10", 1.1 "GP11").
constexpr int kApplicationIds[] = {0x47504B47, 0x47503130, 0x47503131};
constexpr int kUserVersion = 10300; // GeoPackage 1.3.0
constexpr int kBusyTimeoutMs = 5000;
// The pages SQLite keeps in memory: enough for the spatial index's upper levels.
constexpr char kCacheSize[] = "PRAGMA cache_size = -16384"; // KiB

} // namespace

GeoPackage::GeoPackage(sqlite3* db, std::string path, std::string buildPath)
    : db_(db), path_(std::move(path)), buildPath_(std::move(buildPath))
{}

GeoPackage::~GeoPackage()
{
    if (inTransaction_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
    if (!buildPath_.empty() && !committed_) {
        std::error_code ignored;
        std::filesystem::remove(buildPath_, ignored);
        std::filesystem::remove(buildPath_ + "-journal", ignored);
    }
}

void GeoPackage::fail(const std::string& what)
{
    if (failure_.empty())
        failure_ = what;
}

bool GeoPackage::run(const char* sql)
{
    if (ok() && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sqliteMessage(db_));
    return ok();
}

std::unique_ptr<GeoPackage> GeoPackage::open(const std::string& path, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code status;
    const fs::file_status file = fs::status(path, status);
    const bool exists = fs::exists(file);
    if (exists && !fs::is_regular_file(file)) {
        error = path + " is not a GeoPackage but a folder or a device: it was left as it is";
        return nullptr;
    }
    // A new GeoPackage is made under another name, so that one that does not get its first
    // drive in, even when the program is stopped, leaves nothing at `path`.
    const std::string buildPath = exists ? "" : path + ".part";
    if (!exists) {
        std::error_code ignored;
        fs::remove(buildPath, ignored);
        fs::remove(buildPath + "-journal", ignored);
    }
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE);
    const int opened =
        sqlite3_open_v2(exists ? path.c_str() : buildPath.c_str(), &db, flags, nullptr);
    std::unique_ptr<GeoPackage> gp(new GeoPackage(db, path, buildPath));
    if (opened != SQLITE_OK || !registerBlobFunctions(db)) {
        error = "cannot write " + path + ": " + sqliteMessage(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    gp->run(kCacheSize);

    if (exists) {
        Statement id(*gp, "PRAGMA application_id");
        const bool read = id.step();
        const std::int64_t applicationId = read ? id.integer(0) : 0;
        if (!gp->ok()) {
            // Only a file that is no database is no GeoPackage: a lock held too long or a read
            // that failed says nothing of the file.
            error = sqlite3_errcode(db) == SQLITE_NOTADB
                        ? path + " is not a GeoPackage (" + gp->failure_ + "): it was left as it is"
                        : "cannot read " + path + ": " + gp->failure_;
            return nullptr;
        }
        bool known = false;
        for (int k : kApplicationIds)
            known = known || applicationId == k;
        if (!known) {
            error = path + " is not a GeoPackage (an SQLite file without the GeoPackage's "
                           "application id): it was left as it is";
            return nullptr;
        }
    } else if (!gp->run(("PRAGMA application_id = " + std::to_string(kApplicationIds[0]) +
                         "; PRAGMA user_version = " + std::to_string(kUserVersion) +
                         // Nothing to roll back to in a file that is not in place yet.
                         "; PRAGMA journal_mode = OFF")
                            .c_str())) {
        error = "cannot write " + path + ": " + gp->failure_;
        return nullptr;
    }

    // The drive goes in as one transaction, taken now, so that what is read below still holds
    // when it is written.
    gp->inTransaction_ = gp->run("BEGIN IMMEDIATE");
    const Tables tables = gp->ourTables();
    if (tables == Tables::Foreign) {
        error = path + " holds tables named drives, readings or routes that klf-export did not "
                       "make: it was left as it is";
        return nullptr;
    }
    if (tables == Tables::None && gp->run(kBaseSchema) && gp->run(kDriveSchema)) {
        for (const char* table : {"readings", "routes"})
            gp->run(spatialIndexSql(table).c_str());
    }
    if (!gp->ok()) {
        error = "cannot write " + path + ": " + gp->failure_;
        return nullptr;
    }
    return gp;
}

// Whether klf-export's tables are there as it makes them, all or none.
GeoPackage::Tables GeoPackage::ourTables()
{
    std::size_t found = 0;
    for (const auto& t : kOurTables) {
        Statement info(*this, ("PRAGMA table_info(" + std::string(t.table) + ")").c_str());
        std::string columns;
        while (info.step())
            columns += (columns.empty() ? "" : ",") + info.text(1);
        if (columns.empty())
            continue;
        if (columns != t.columns)
            return Tables::Foreign;
        ++found;
    }
    if (found == 0)
        return Tables::None;
    return found == std::size(kOurTables) ? Tables::Ours : Tables::Foreign;
}

std::optional<KnownDrive> GeoPackage::find(const LogIdentity& log)
{
    Statement drive(*this, "SELECT fid, file_name FROM drives WHERE log_sha256 = ?1 AND "
                           "log_bytes = ?2 ORDER BY fid LIMIT 1");
    drive.bind(1, log.sha256);
    drive.bind(2, static_cast<std::int64_t>(log.bytes));
    if (!drive.step())
        return std::nullopt;
    return KnownDrive{drive.integer(0), drive.text(1)};
}

std::unique_ptr<DriveWriter> GeoPackage::addDrive(const LogIdentity& log,
                                                  const ExportSettings& settings)
{
    Statement drive(*this, "INSERT INTO drives (file_name, serial_number, positions, readings, "
                           "readings_left_out, log_bytes, log_sha256) "
                           "VALUES (?1, ?2, 0, 0, 0, ?3, ?4)");
    drive.bind(1, log.fileName);
    drive.bind(2, log.serialNumber);
    drive.bind(3, static_cast<std::int64_t>(log.bytes));
    drive.bind(4, log.sha256);
    drive.step();
    driveId_ = sqlite3_last_insert_rowid(db_);
    return driveRows(*this, driveId_, settings);
}

std::optional<std::int64_t> GeoPackage::commit(std::string& error)
{
    if (run("COMMIT")) {
        inTransaction_ = false;
        if (!buildPath_.empty()) {
            // Closed first: Windows renames no file that is open.
            if (sqlite3_close(db_) != SQLITE_OK) {
                fail(sqliteMessage(db_));
            } else {
                db_ = nullptr;
                std::error_code renamed;
                std::filesystem::rename(buildPath_, path_, renamed);
                if (renamed)
                    fail(renamed.message());
            }
        }
    }
    if (!ok()) {
        error = "cannot write " + path_ + ": " + failure_;
        return std::nullopt;
    }
    committed_ = true;
    return driveId_;
}

} // namespace zentor::klfexport