#include "ColourScale.h"
#include "ExportFormats.h"
#include "FixTime.h"
#include "PositionRecords.h"
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

void writeRoute(std::ostream& out, const std::vector<TrackPoint>& points)
{
    out << "    <Placemark><name>Route</name><styleUrl>#route</styleUrl><MultiGeometry>\n";
    for (std::size_t i = 0; i < points.size();) {
        std::size_t end = i + 1;
        while (end < points.size() && !points[end].position.startsSegment)
            ++end;
        if (end - i >= 2) {
            out << "      <LineString><tessellate>1</tessellate><coordinates>";
            for (std::size_t k = i; k < end; ++k)
                out << (k > i ? " " : "") << coordinates(points[k].position);
            out << "</coordinates></LineString>\n";
        }
        i = end;
    }
    out << "    </MultiGeometry></Placemark>\n";
}

class KmlWriter final : public RouteWriter
{
public:
    KmlWriter(std::ostream& out, const ExportSettings& settings)
        : RouteWriter(settings.receiver), out_(out), settings_(settings)
    {}

    void finish(const DriveSummary&) override
    {
        const ColourScale scale(settings_.rangeMinDbm, settings_.rangeMaxDbm);
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n  <Document>\n"
             << "    <name>" << xmlText(settings_.title) << ", receiver " << receiver()
             << "</name>\n";
        writeLegend(out_, scale, receiver());
        writeStyles(out_, scale);
        writeRoute(out_, points());
        for (std::size_t b = ColourScale::kBands; b-- > 0;) {
            out_ << "    <Folder><name>" << scale.label(b) << "</name>\n";
            for (const TrackPoint& t : points())
                if (t.strongestDbm && scale.bandOf(*t.strongestDbm) == b)
                    writePlacemark(t, b);
            out_ << "    </Folder>\n";
        }
        out_ << "  </Document>\n</kml>\n";
    }

private:
    void writePlacemark(const TrackPoint& t, std::size_t band)
    {
        out_ << "      <Placemark><name>" << *t.strongestDbm << " dBm</name><TimeStamp><when>"
             << isoTime(t.position.time) << "</when></TimeStamp><styleUrl>#band" << band
             << "</styleUrl><ExtendedData><Data name=\"fix\"><value>" << fixWord(t.position.fix)
             << "</value></Data></ExtendedData><Point><coordinates>" << coordinates(t.position)
             << "</coordinates></Point></Placemark>\n";
    }

    std::ostream& out_;
    const ExportSettings settings_;
};

} // namespace

std::unique_ptr<DriveWriter> kmlWriter(std::ostream& out, const ExportSettings& settings)
{
    return std::make_unique<KmlWriter>(out, settings);
}

} // namespace zentor::klfexport
