#include "GeoPackage.h"

#include "FixTime.h"
#include "GeoPackageBlob.h"
#include "PositionRecords.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <sqlite3.h>
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

// The tables every GeoPackage has (made where missing), and WGS 84 with the two undefined
// systems the standard asks for.
constexpr char kBaseSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS gpkg_spatial_ref_sys (
  srs_name TEXT NOT NULL, srs_id INTEGER NOT NULL PRIMARY KEY, organization TEXT NOT NULL,
  organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT NULL, description TEXT);
INSERT OR IGNORE INTO gpkg_spatial_ref_sys VALUES
  ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined',
   'undefined cartesian coordinate reference system'),
  ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined',
   'undefined geographic coordinate reference system'),
  ('WGS 84 geodetic', 4326, 'EPSG', 4326,
   'GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AXIS["Latitude",NORTH],AXIS["Longitude",EAST],AUTHORITY["EPSG","4326"]]',
   'longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid');
CREATE TABLE IF NOT EXISTS gpkg_contents (
  table_name TEXT NOT NULL PRIMARY KEY, data_type TEXT NOT NULL, identifier TEXT UNIQUE,
  description TEXT DEFAULT '',
  last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER,
  CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys(srs_id));
CREATE TABLE IF NOT EXISTS gpkg_geometry_columns (
  table_name TEXT NOT NULL, column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL,
  srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL,
  CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
  CONSTRAINT uk_gc_table_name UNIQUE (table_name),
  CONSTRAINT fk_gc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name),
  CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id));
CREATE TABLE IF NOT EXISTS gpkg_extensions (
  table_name TEXT, column_name TEXT, extension_name TEXT NOT NULL, definition TEXT NOT NULL,
  scope TEXT NOT NULL, CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name));
)sql";

// klf-export's own tables, and their columns as a GeoPackage that holds them must have them.
constexpr char kDriveSchema[] = R"sql(
CREATE TABLE drives (
  fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, file_name TEXT NOT NULL, serial_number TEXT,
  first_time TEXT, last_time TEXT, positions INTEGER NOT NULL, readings INTEGER NOT NULL,
  readings_left_out INTEGER NOT NULL, log_bytes INTEGER NOT NULL, log_sha256 TEXT NOT NULL);
CREATE TABLE readings (
  fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, geom POINT,
  drive INTEGER NOT NULL REFERENCES drives(fid), time TEXT, latitude DOUBLE, longitude DOUBLE,
  receiver INTEGER, mode TEXT, channel INTEGER, frequency_mhz DOUBLE, rssi_dbm INTEGER,
  position_source TEXT, fix TEXT);
CREATE TABLE routes (
  fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, geom MULTILINESTRING,
  drive INTEGER NOT NULL REFERENCES drives(fid));
INSERT INTO gpkg_contents (table_name, data_type, identifier, description, srs_id) VALUES
  ('readings', 'features', 'readings', 'klf-export: a point per reading', 4326),
  ('routes', 'features', 'routes', 'klf-export: the route of each drive', 4326),
  ('drives', 'attributes', 'drives', 'klf-export: a row per drive', NULL);
INSERT INTO gpkg_geometry_columns VALUES
  ('readings', 'geom', 'POINT', 4326, 0, 0), ('routes', 'geom', 'MULTILINESTRING', 4326, 0, 0);
)sql";
const struct
{
    const char* table;
    const char* columns;
} kOurTables[] = {
    {"drives", "fid,file_name,serial_number,first_time,last_time,positions,readings,"
               "readings_left_out,log_bytes,log_sha256"},
    {"readings", "fid,geom,drive,time,latitude,longitude,receiver,mode,channel,frequency_mhz,"
                 "rssi_dbm,position_source,fix"},
    {"routes", "fid,geom,drive"},
};

// The R-tree spatial index of a geometry column and the triggers that keep it, as the
// GeoPackage's extension defines them; {t} stands for the table.
constexpr char kSpatialIndex[] = R"sql(
CREATE VIRTUAL TABLE rtree_{t}_geom USING rtree(id, minx, maxx, miny, maxy);
CREATE TRIGGER rtree_{t}_geom_insert AFTER INSERT ON {t}
WHEN (new.geom NOT NULL AND NOT ST_IsEmpty(NEW.geom)) BEGIN
  INSERT OR REPLACE INTO rtree_{t}_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_{t}_geom_update1 AFTER UPDATE OF geom ON {t}
WHEN OLD.fid = NEW.fid AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom)) BEGIN
  INSERT OR REPLACE INTO rtree_{t}_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_{t}_geom_update2 AFTER UPDATE OF geom ON {t}
WHEN OLD.fid = NEW.fid AND (NEW.geom ISNULL OR ST_IsEmpty(NEW.geom)) BEGIN
  DELETE FROM rtree_{t}_geom WHERE id = OLD.fid;
END;
CREATE TRIGGER rtree_{t}_geom_update3 AFTER UPDATE ON {t}
WHEN OLD.fid != NEW.fid AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom)) BEGIN
  DELETE FROM rtree_{t}_geom WHERE id = OLD.fid;
  INSERT OR REPLACE INTO rtree_{t}_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_{t}_geom_update4 AFTER UPDATE ON {t}
WHEN OLD.fid != NEW.fid AND (NEW.geom ISNULL OR ST_IsEmpty(NEW.geom)) BEGIN
  DELETE FROM rtree_{t}_geom WHERE id IN (OLD.fid, NEW.fid);
END;
CREATE TRIGGER rtree_{t}_geom_delete AFTER DELETE ON {t} WHEN old.geom NOT NULL BEGIN
  DELETE FROM rtree_{t}_geom WHERE id = OLD.fid;
END;
INSERT INTO gpkg_extensions VALUES ('{t}', 'geom', 'gpkg_rtree_index',
  'http://www.geopackage.org/spec120/#extension_rtree', 'write-only');
)sql";

// The functions the spatial index's triggers call, on the blobs of GeoPackageBlob.h; the
// function's user data says which.
enum class BlobFunction : std::intptr_t
{
    MinX,
    MaxX,
    MinY,
    MaxY,
    IsEmpty,
};

void blobFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto* blob = static_cast<const std::uint8_t*>(sqlite3_value_blob(arguments[0]));
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(arguments[0]));
    const std::optional<BlobBounds> b = blobBounds(blob, size);
    const auto which =
        static_cast<BlobFunction>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(context)));
    if (which == BlobFunction::IsEmpty) {
        sqlite3_result_int(context, b ? 0 : 1);
        return;
    }
    if (!b) {
        sqlite3_result_null(context);
        return;
    }
    const double values[] = {b->minX, b->maxX, b->minY, b->maxY};
    sqlite3_result_double(context, values[static_cast<std::size_t>(which)]);
}

bool registerFunctions(sqlite3* db)
{
    const std::pair<const char*, BlobFunction> kFunctions[] = {
        {"ST_MinX", BlobFunction::MinX},
        {"ST_MaxX", BlobFunction::MaxX},
        {"ST_MinY", BlobFunction::MinY},
        {"ST_MaxY", BlobFunction::MaxY},
        {"ST_IsEmpty", BlobFunction::IsEmpty}};
    for (const auto& [name, which] : kFunctions) {
        void* data = reinterpret_cast<void*>(static_cast<std::intptr_t>(which));
        if (sqlite3_create_function(db, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, data,
                                    blobFunction, nullptr, nullptr) != SQLITE_OK)
            return false;
    }
    return true;
}

std::string message(sqlite3* db)
{
    return db != nullptr ? sqlite3_errmsg(db) : "out of memory";
}

// A prepared statement of the GeoPackage; a failure to prepare or run it fails the GeoPackage.
class Statement
{
public:
    Statement(GeoPackage& gp, const char* sql) : gp_(gp)
    {
        if (gp_.ok() && sqlite3_prepare_v2(gp_.db(), sql, -1, &statement_, nullptr) != SQLITE_OK)
            gp_.fail(message(gp_.db()));
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Values for the parameters ?1, ?2, ...; the text must last until step().
    void bind(int i, const std::string& text)
    {
        sqlite3_bind_text(statement_, i, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
    void bind(int i, const char* text)
    {
        sqlite3_bind_text(statement_, i, text, -1, SQLITE_STATIC);
    }
    void bind(int i, const Blob& blob)
    {
        sqlite3_bind_blob(statement_, i, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    }
    void bind(int i, double v) { sqlite3_bind_double(statement_, i, v); }
    void bind(int i, std::int64_t v) { sqlite3_bind_int64(statement_, i, v); }
    void bindNull(int i) { sqlite3_bind_null(statement_, i); }

    // Runs it to its next row: true when there is one. It is ready to run again after the last.
    bool step()
    {
        if (!gp_.ok())
            return false;
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            gp_.fail(message(gp_.db()));
        sqlite3_reset(statement_);
        return false;
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) const
    {
        const unsigned char* t = sqlite3_column_text(statement_, column);
        return t != nullptr ? reinterpret_cast<const char*>(t) : "";
    }

private:
    GeoPackage& gp_;
    sqlite3_stmt* statement_ = nullptr;
};

// The extent of what a drive put in a layer, for the layer's row of gpkg_contents.
struct Extent
{
    double minX = HUGE_VAL, maxX = -HUGE_VAL, minY = HUGE_VAL, maxY = -HUGE_VAL;

    void take(double x, double y)
    {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    bool empty() const { return minX > maxX; }
};

// Inserts a drive's readings as the walk hands them on, and its route and counts at the end.
class DriveRows final : public DriveWriter
{
public:
    DriveRows(GeoPackage& gp, std::int64_t drive, const ExportSettings& settings)
        : gp_(gp), drive_(drive), settings_(settings),
          insert_(gp, "INSERT INTO readings (geom, drive, time, latitude, longitude, receiver, "
                      "mode, channel, frequency_mhz, rssi_dbm, position_source, fix) "
                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)")
    {}

    void position(const Position& p) override
    {
        point_ = pointBlob(p.longitudeDeg, p.latitudeDeg);
        time_ = isoTime(p.time);
        if (p.startsSegment)
            route_.startLine();
        route_.add(p.longitudeDeg, p.latitudeDeg);
        routeExtent_.take(p.longitudeDeg, p.latitudeDeg);
    }

    void reading(const Reading& r, const Position& at) override
    {
        if (!settings_.allReceivers && r.receiver != settings_.receiver)
            return;
        insert_.bind(1, point_);
        insert_.bind(2, drive_);
        insert_.bind(3, time_);
        insert_.bind(4, at.latitudeDeg);
        insert_.bind(5, at.longitudeDeg);
        insert_.bind(6, std::int64_t{r.receiver});
        insert_.bind(7, measurementModeName(r.mode));
        if (r.channel)
            insert_.bind(8, std::int64_t{*r.channel});
        else
            insert_.bindNull(8);
        if (r.frequencyMHz)
            insert_.bind(9, *r.frequencyMHz);
        else
            insert_.bindNull(9);
        insert_.bind(10, std::int64_t{r.rssiDbm});
        insert_.bind(11, sourceWord(sourceOf(at)));
        insert_.bind(12, fixWord(at.fix));
        insert_.step();
        ++rows_;
        pointExtent_.take(at.longitudeDeg, at.latitudeDeg);
    }

    void finish(const DriveSummary& summary) override
    {
        Statement counts(gp_, "UPDATE drives SET first_time = ?1, last_time = ?2, positions = ?3, "
                              "readings = ?4, readings_left_out = ?5 WHERE fid = ?6");
        const std::string first = summary.firstTime ? isoTime(*summary.firstTime) : "";
        const std::string last = summary.lastTime ? isoTime(*summary.lastTime) : "";
        for (const auto& [i, time] : {std::pair<int, const std::string*>{1, &first}, {2, &last}}) {
            if (time->empty())
                counts.bindNull(i);
            else
                counts.bind(i, *time);
        }
        counts.bind(3, static_cast<std::int64_t>(summary.positions));
        counts.bind(4, static_cast<std::int64_t>(rows_));
        counts.bind(5, static_cast<std::int64_t>(summary.readingsLeftOut()));
        counts.bind(6, drive_);
        counts.step();
        if (const std::optional<Blob> line = route_.blob()) {
            Statement route(gp_, "INSERT INTO routes (geom, drive) VALUES (?1, ?2)");
            route.bind(1, *line);
            route.bind(2, drive_);
            route.step();
            widen("routes", routeExtent_);
        }
        if (rows_ > 0)
            widen("readings", pointExtent_);
    }

private:
    void widen(const char* table, const Extent& e)
    {
        Statement contents(
            gp_, "UPDATE gpkg_contents SET min_x = min(coalesce(min_x, ?1), ?1), "
                 "max_x = max(coalesce(max_x, ?2), ?2), min_y = min(coalesce(min_y, ?3), ?3), "
                 "max_y = max(coalesce(max_y, ?4), ?4), "
                 "last_change = strftime('%Y-%m-%dT%H:%M:%fZ', 'now') WHERE table_name = ?5");
        contents.bind(1, e.minX);
        contents.bind(2, e.maxX);
        contents.bind(3, e.minY);
        contents.bind(4, e.maxY);
        contents.bind(5, table);
        contents.step();
    }

    GeoPackage& gp_;
    const std::int64_t drive_;
    const ExportSettings settings_;
    Statement insert_;
    Blob point_;       // of the last position
    std::string time_; // of the last position
    MultiLineBlob route_;
    Extent pointExtent_, routeExtent_;
    std::size_t rows_ = 0;
};

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
        fail(message(db_));
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
    if (opened != SQLITE_OK || !registerFunctions(db)) {
        error = "cannot write " + path + ": " + message(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    gp->run(kCacheSize);

    if (exists) {
        Statement id(*gp, "PRAGMA application_id");
        const bool read = id.step();
        const std::int64_t applicationId = read ? id.integer(0) : 0;
        if (!gp->ok()) {
            error = path + " is not a GeoPackage (" + gp->failure_ + "): it was left as it is";
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
        for (const char* table : {"readings", "routes"}) {
            std::string sql = kSpatialIndex;
            for (std::size_t at; (at = sql.find("{t}")) != std::string::npos;)
                sql.replace(at, 3, table);
            gp->run(sql.c_str());
        }
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
    return std::make_unique<DriveRows>(*this, driveId_, settings);
}

std::optional<std::int64_t> GeoPackage::commit(std::string& error)
{
    if (run("COMMIT")) {
        inTransaction_ = false;
        if (!buildPath_.empty()) {
            sqlite3_close(db_);
            db_ = nullptr;
            std::error_code renamed;
            std::filesystem::rename(buildPath_, path_, renamed);
            if (renamed)
                fail(renamed.message());
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
