#pragma once

#include "Drive.h"
#include "map/MapSettings.h"

#include <memory>
#include <ostream>
#include <string>

// The formats klf-export writes to a stream. Each writer takes the drive as the walk hands it
// on and has written the whole file once it is told the walk has ended; none of them fails or
// throws on any drive (an empty one included).
namespace zentor::klfexport {

struct ExportSettings
{
    std::string title;        // the log file's name, shown in the outputs that have a title
    int receiver = 1;         // 1 or 2: the receiver of GPX, KML and SVG
    bool allReceivers = true; // CSV: both receivers, else only `receiver`
    // The colour range of KML and SVG: by default the map range dialog's.
    int rangeMinDbm = MapSettings::kDefaultRangeMinDbm;
    int rangeMaxDbm = MapSettings::kDefaultRangeMaxDbm;
};

class DriveWriter : public DriveSink
{
public:
    // The walk has ended, having found what `summary` says.
    virtual void finish(const DriveSummary& summary) = 0;
};

// RFC 4180 (CRLF line ends), one header row, one row per reading as it comes:
// time,latitude,longitude,receiver,mode,channel,frequency_mhz,rssi_dbm,position_source,fix
std::unique_ptr<DriveWriter> csvWriter(std::ostream& out, const ExportSettings& settings);

// GPX 1.1: one track, a segment per stretch without a gap, a point per position with its time,
// GPX's own fix where it is 2d or 3d, and in extension elements what the position is (the CSV's
// fix) and, where the receiver read something there, the strongest reading.
// Each point is written once the next position comes.
std::unique_ptr<DriveWriter> gpxWriter(std::ostream& out, const ExportSettings& settings);

// KML 2.2: the route as a line, and a placemark per position with a reading, coloured on the
// colour range, with what the position is (the CSV's fix) as its data, and filed in one folder
// per colour band; the document's description is the legend. The route is held until the walk ends
// (TrackPoints.h).
std::unique_ptr<DriveWriter> kmlWriter(std::ostream& out, const ExportSettings& settings);

// SVG: the route coloured by the reading, with the colour scale, a distance scale, a north
// arrow and the time span. The route is held until the walk ends (TrackPoints.h).
std::unique_ptr<DriveWriter> svgWriter(std::ostream& out, const ExportSettings& settings);

// Text for XML content and attribute values: &, <, >, " and ' escaped, and bytes that XML 1.0
// does not allow (control characters, bytes of invalid UTF-8) as '?'.
std::string xmlText(const std::string& text);

} // namespace zentor::klfexport
