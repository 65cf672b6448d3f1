#pragma once

// The parts of the GeoPackage (GeoPackage.h) that deal in SQL: prepared statements, the tables
// and the spatial index as klf-export makes them, the functions the index's triggers call, and
// the writer of a drive's rows.
#include "GeoPackage.h"
#include "GeoPackageBlob.h"

#include <cstdint>
#include <memory>
#include <sqlite3.h>
#include <string>

namespace zentor::klfexport {

inline std::string sqliteMessage(sqlite3* db)
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
            gp_.fail(sqliteMessage(gp_.db()));
    }
    ~Statement() { close(); }
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

    // Done with it before its end: a GeoPackage closes only once its statements are.
    void close()
    {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }

    // Runs it to its next row: true when there is one. It is ready to run again after the last.
    bool step()
    {
        if (!gp_.ok())
            return false;
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            gp_.fail(sqliteMessage(gp_.db()));
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

// The tables every GeoPackage has (made where missing), with WGS 84 and the two undefined
// systems the standard asks for; klf-export's own tables; and the spatial index of a table's
// geometry column with its triggers.
extern const char kBaseSchema[];
extern const char kDriveSchema[];
std::string spatialIndexSql(const std::string& table);

// klf-export's tables, with their columns as a GeoPackage that holds them must have them.
struct OurTable
{
    const char* table;
    const char* columns; // in order, comma-separated
};
extern const OurTable kOurTables[3];

// ST_MinX, ST_MaxX, ST_MinY, ST_MaxY and ST_IsEmpty, which the spatial index's triggers call, on
// the blobs of GeoPackageBlob.h.
bool registerBlobFunctions(sqlite3* db);

// Inserts a drive's readings into the GeoPackage as the walk hands them on, and its route, its
// counts and the layers' extents when it finishes.
std::unique_ptr<DriveWriter> driveRows(GeoPackage& gp, std::int64_t drive,
                                       const ExportSettings& settings);

} // namespace zentor::klfexport
