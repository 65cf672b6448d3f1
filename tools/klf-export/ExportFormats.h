#pragma once

#include "Drive.h"
#include "map/MapSettings.h"

#include <ostream>
#include <string>

// The four formats klf-export writes. Each writer takes the whole drive and writes the whole
// file; none of them fails or throws on any drive (an empty one included).
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

// RFC 4180 (CRLF line ends), one header row, one row per reading:
// time,latitude,longitude,receiver,mode,channel,frequency_mhz,rssi_dbm,position_source
void writeCsv(std::ostream& out, const Drive& drive, const ExportSettings& settings);

// GPX 1.1: one track, a segment per stretch without a gap, a point per position with its time
// and, where the receiver read something there, the strongest reading in an extension element.
void writeGpx(std::ostream& out, const Drive& drive, const ExportSettings& settings);

// KML 2.2: the route as a line, and a placemark per position with a reading, coloured on the
// colour range and filed in one folder per colour band; the document's description is the
// legend.
void writeKml(std::ostream& out, const Drive& drive, const ExportSettings& settings);

// SVG: the route coloured by the reading, with the colour scale, a distance scale, a north
// arrow and the time span.
void writeSvg(std::ostream& out, const Drive& drive, const ExportSettings& settings);

// Text for XML content and attribute values: &, <, >, " and ' escaped, and bytes that XML 1.0
// does not allow (control characters, bytes of invalid UTF-8) as '?'.
std::string xmlText(const std::string& text);

} // namespace zentor::klfexport
