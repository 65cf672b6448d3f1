#include "ExportFormats.h"
#include "FixTime.h"
#include "PositionRecords.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <optional>

namespace zentor::klfexport {

namespace {

// Our own namespace for the reading in a track point's extensions.
constexpr char kExtensionNamespace[] = "urn:zentor:klf-export:1";

std::string trackPointStart(const Position& p)
{
    // GPX longitudes run from -180 up to but not including 180.
    const double longitude = p.longitudeDeg >= 180.0 ? p.longitudeDeg - 360.0 : p.longitudeDeg;
    return formatText("<trkpt lat=\"%.6f\" lon=\"%.6f\">", p.latitudeDeg, longitude);
}

// A point's strongest reading is known once the next position comes, so the writer holds one
// point at a time.
class GpxWriter final : public DriveWriter
{
public:
    GpxWriter(std::ostream& out, const ExportSettings& settings)
        : out_(out), receiver_(settings.receiver)
    {
        const std::string title = xmlText(settings.title);
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<gpx version=\"1.1\" creator=\"klf-export\" "
                "xmlns=\"http://www.topografix.com/GPX/1/1\" "
                "xmlns:zentor=\""
             << kExtensionNamespace << "\">\n"
             << "  <metadata><name>" << title << "</name></metadata>\n"
             << "  <trk>\n    <name>" << title << ", receiver " << receiver_ << "</name>\n"
             << "    <desc>zentor:fix is what the position is (2d, 3d, hold, propagated or "
                "travelpilot); zentor:rssi_dbm is the strongest reading of receiver "
             << receiver_ << " at the point, in dBm</desc>\n";
    }

    void position(const Position& p) override
    {
        writePoint();
        point_ = p;
        strongestDbm_.reset();
    }

    void reading(const Reading& r, const Position&) override
    {
        if (r.receiver == receiver_)
            strongestDbm_ = std::max(strongestDbm_.value_or(r.rssiDbm), r.rssiDbm);
    }

    void finish(const DriveSummary&) override
    {
        writePoint();
        out_ << (open_ ? "    </trkseg>\n" : "") << "  </trk>\n</gpx>\n";
    }

private:
    void writePoint()
    {
        if (!point_)
            return;
        if (point_->startsSegment) {
            out_ << (open_ ? "    </trkseg>\n" : "") << "    <trkseg>\n";
            open_ = true;
        }
        const char* fix = fixWord(point_->fix);
        out_ << "      " << trackPointStart(*point_) << "<time>" << isoTime(point_->time)
             << "</time>";
        if (point_->fix == PositionFix::TwoD || point_->fix == PositionFix::ThreeD)
            out_ << "<fix>" << fix << "</fix>";
        out_ << "<extensions><zentor:fix>" << fix << "</zentor:fix>";
        if (strongestDbm_)
            out_ << "<zentor:rssi_dbm>" << *strongestDbm_ << "</zentor:rssi_dbm>";
        out_ << "</extensions></trkpt>\n";
    }

    std::ostream& out_;
    const int receiver_;
    std::optional<Position> point_; // the last position, not yet written
    std::optional<int> strongestDbm_;
    bool open_ = false; // a track segment is open
};

} // namespace

std::unique_ptr<DriveWriter> gpxWriter(std::ostream& out, const ExportSettings& settings)
{
    return std::make_unique<GpxWriter>(out, settings);
}

} // namespace zentor::klfexport
