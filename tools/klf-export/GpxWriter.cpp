#include "ExportFormats.h"
#include "FixTime.h"
#include "TrackPoints.h"
#include "core/TextFormat.h"

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

} // namespace

void writeGpx(std::ostream& out, const Drive& drive, const ExportSettings& settings)
{
    const std::string title = xmlText(settings.title);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"klf-export\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\" "
           "xmlns:zentor=\""
        << kExtensionNamespace << "\">\n"
        << "  <metadata><name>" << title << "</name></metadata>\n"
        << "  <trk>\n    <name>" << title << ", receiver " << settings.receiver << "</name>\n"
        << "    <desc>zentor:rssi_dbm is the strongest reading of receiver " << settings.receiver
        << " at the point, in dBm</desc>\n";
    bool open = false;
    for (const TrackPoint& t : trackPoints(drive, settings.receiver)) {
        if (t.position->startsSegment) {
            out << (open ? "    </trkseg>\n" : "") << "    <trkseg>\n";
            open = true;
        }
        out << "      " << trackPointStart(*t.position) << "<time>" << isoTime(t.position->time)
            << "</time>";
        if (t.strongestDbm)
            out << "<extensions><zentor:rssi_dbm>" << *t.strongestDbm
                << "</zentor:rssi_dbm></extensions>";
        out << "</trkpt>\n";
    }
    out << (open ? "    </trkseg>\n" : "") << "  </trk>\n</gpx>\n";
}

} // namespace zentor::klfexport
