#include "ColourScale.h"
#include "ExportFormats.h"
#include "FixTime.h"
#include "TrackPoints.h"
#include "core/TextFormat.h"

#include <vector>

namespace zentor::klfexport {

namespace {

constexpr char kDotIcon[] = "http://maps.google.com/mapfiles/kml/shapes/shaded_dot.png";
constexpr char kRouteColour[] = "ff909090";

std::string coordinates(const Position& p)
{
    return formatText("%.6f,%.6f", p.longitudeDeg, p.latitudeDeg);
}

void writeStyles(std::ostream& out, const ColourScale& scale)
{
    out << "    <Style id=\"route\"><LineStyle><color>" << kRouteColour
        << "</color><width>3</width></LineStyle></Style>\n";
    for (std::size_t b = 0; b < ColourScale::kBands; ++b)
        out << "    <Style id=\"band" << b << "\"><IconStyle><color>" << kmlColour(scale.colour(b))
            << "</color><scale>0.7</scale><Icon><href>" << kDotIcon
            << "</href></Icon></IconStyle><LabelStyle><scale>0</scale></LabelStyle></Style>\n";
}

// The legend as the document's description: a swatch and the range of each band, strongest
// first, as Google Earth shows it in its places panel.
void writeLegend(std::ostream& out, const ColourScale& scale, int receiver)
{
    std::string html = "<p>Strongest reading of receiver " + std::to_string(receiver) +
                       " at each position</p><table>";
    for (std::size_t b = ColourScale::kBands; b-- > 0;)
        html += "<tr><td style=\"background:" + svgColour(scale.colour(b)) +
                "\">&#160;&#160;&#160;&#160;</td><td>" + scale.label(b) + "</td></tr>";
    out << "    <description>" << xmlText(html + "</table>") << "</description>\n";
}

void writeRoute(std::ostream& out, const Drive& drive)
{
    out << "    <Placemark><name>Route</name><styleUrl>#route</styleUrl><MultiGeometry>\n";
    for (std::size_t i = 0; i < drive.positions.size();) {
        std::size_t end = i + 1;
        while (end < drive.positions.size() && !drive.positions[end].startsSegment)
            ++end;
        if (end - i >= 2) {
            out << "      <LineString><tessellate>1</tessellate><coordinates>";
            for (std::size_t k = i; k < end; ++k)
                out << (k > i ? " " : "") << coordinates(drive.positions[k]);
            out << "</coordinates></LineString>\n";
        }
        i = end;
    }
    out << "    </MultiGeometry></Placemark>\n";
}

} // namespace

void writeKml(std::ostream& out, const Drive& drive, const ExportSettings& settings)
{
    const ColourScale scale(settings.rangeMinDbm, settings.rangeMaxDbm);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n  <Document>\n"
        << "    <name>" << xmlText(settings.title) << ", receiver " << settings.receiver
        << "</name>\n";
    writeLegend(out, scale, settings.receiver);
    writeStyles(out, scale);
    writeRoute(out, drive);

    std::vector<std::vector<TrackPoint>> bands(ColourScale::kBands);
    for (const TrackPoint& t : trackPoints(drive, settings.receiver))
        if (t.strongestDbm)
            bands[scale.bandOf(*t.strongestDbm)].push_back(t);
    for (std::size_t b = ColourScale::kBands; b-- > 0;) {
        out << "    <Folder><name>" << scale.label(b) << "</name>\n";
        for (const TrackPoint& t : bands[b])
            out << "      <Placemark><name>" << *t.strongestDbm << " dBm</name><TimeStamp><when>"
                << isoTime(t.position->time) << "</when></TimeStamp><styleUrl>#band" << b
                << "</styleUrl><Point><coordinates>" << coordinates(*t.position)
                << "</coordinates></Point></Placemark>\n";
        out << "    </Folder>\n";
    }
    out << "  </Document>\n</kml>\n";
}

} // namespace zentor::klfexport
