#include "FixTime.h"
#include "GeoPackageBlob.h"
#include "GeoPackageSql.h"
#include "PositionRecords.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zentor::klfexport {

namespace {

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
        insert_.close();
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

std::unique_ptr<DriveWriter> driveRows(GeoPackage& gp, std::int64_t drive,
                                       const ExportSettings& settings)
{
    return std::make_unique<DriveRows>(gp, drive, settings);
}

} // namespace zentor::klfexport
