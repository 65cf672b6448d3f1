#include "GeoPackageBlob.h"
#include "GeoPackageSql.h"

#include <cstdint>
#include <utility>

namespace zentor::klfexport {

// The tables every GeoPackage has (made where missing), and WGS 84 with the two undefined
// systems the standard asks for.
const char kBaseSchema[] = R"sql(
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
const char kDriveSchema[] = R"sql(
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
const OurTable kOurTables[3] = {
    {"drives", "fid,file_name,serial_number,first_time,last_time,positions,readings,"
               "readings_left_out,log_bytes,log_sha256"},
    {"readings", "fid,geom,drive,time,latitude,longitude,receiver,mode,channel,frequency_mhz,"
                 "rssi_dbm,position_source,fix"},
    {"routes", "fid,geom,drive"},
};

// The R-tree spatial index of a geometry column and the triggers that keep it, as the
// GeoPackage's extension defines them; {t} stands for the table.
namespace {

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

} // namespace

std::string spatialIndexSql(const std::string& table)
{
    std::string sql = kSpatialIndex;
    for (std::size_t at; (at = sql.find("{t}")) != std::string::npos;)
        sql.replace(at, 3, table);
    return sql;
}

namespace {

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

} // namespace

bool registerBlobFunctions(sqlite3* db)
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

} // namespace zentor::klfexport
