#include "ColourScale.h"
#include "ExportFormats.h"
#include "FixTime.h"
#include "TrackPoints.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace zentor::klfexport {

namespace {

// The picture: a title line, the map on the left, the legend on the right, the time span and the
// distance scale below.
constexpr double kWidth = 1000;
constexpr double kHeight = 720;
constexpr double kMapX = 20;
constexpr double kMapY = 50;
constexpr double kMapWidth = 720;
constexpr double kMapHeight = 610;
constexpr double kMapMargin = 30;   // between the route's extent and the map's frame
constexpr double kMinSpanM = 200.0; // a drive that barely moves still gets a readable scale
constexpr double kLegendX = 764;
constexpr double kLegendY = 66;
constexpr double kSwatchHeight = 28;
constexpr char kRouteGrey[] = "#c4c4c4";
constexpr char kFont[] = "Liberation Sans, Arial, Helvetica, sans-serif";

std::string number(double v)
{
    return formatText("%.1f", v);
}

std::string grouped(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string text(double x, double y, const std::string& content, const char* extra = "")
{
    return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\"" + extra + ">" + content +
           "</text>\n";
}

std::string distanceText(double metres)
{
    if (metres >= 1000)
        return formatText("%g km", metres / 1000);
    return formatText("%g m", metres);
}

std::string durationText(std::int64_t seconds)
{
    if (seconds >= 3600)
        return formatText("%lld h %02lld min", static_cast<long long>(seconds / 3600),
                          static_cast<long long>(seconds % 3600 / 60));
    if (seconds >= 60)
        return formatText("%lld min %02lld s", static_cast<long long>(seconds / 60),
                          static_cast<long long>(seconds % 60));
    return formatText("%lld s", static_cast<long long>(seconds));
}

// "2026-03-12 14:05:09 to 14:18:40 UTC (13 min 31 s)"; the date again when the day changed.
std::string timeSpan(const std::vector<TrackPoint>& points)
{
    if (points.empty())
        return "no positions in this log";
    const FixTime& first = points.front().position.time;
    const FixTime& last = points.back().position.time;
    std::string end = readableTime(last);
    if (readableTime(first).compare(0, 10, end, 0, 10) == 0)
        end = end.substr(11);
    const std::int64_t seconds = std::max<std::int64_t>(0, secondsOf(last) - secondsOf(first));
    return readableTime(first) + " to " + end + (first.utc ? " UTC" : " local time") + " (" +
           durationText(seconds) + ")";
}

// The largest of 1, 2 and 5 times a power of ten that is at most `metres`.
double roundDistance(double metres)
{
    const double power = std::pow(10.0, std::floor(std::log10(std::max(metres, 1.0))));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= metres)
            return step * power;
    return power;
}

// Where each position lands on the map: the route's extent, centred and scaled to fit.
class MapProjection
{
public:
    explicit MapProjection(const std::vector<TrackPoint>& points) : plane_(points.front().position)
    {
        double minE = 0, maxE = 0, minN = 0, maxN = 0;
        for (const TrackPoint& t : points) {
            const Position& p = t.position;
            minE = std::min(minE, plane_.eastM(p));
            maxE = std::max(maxE, plane_.eastM(p));
            minN = std::min(minN, plane_.northM(p));
            maxN = std::max(maxN, plane_.northM(p));
        }
        const double spanE = std::max(maxE - minE, kMinSpanM);
        const double spanN = std::max(maxN - minN, kMinSpanM);
        pixelsPerM_ =
            std::min((kMapWidth - 2 * kMapMargin) / spanE, (kMapHeight - 2 * kMapMargin) / spanN);
        centreE_ = (minE + maxE) / 2;
        centreN_ = (minN + maxN) / 2;
    }

    double x(const Position& p) const
    {
        return kMapX + kMapWidth / 2 + (plane_.eastM(p) - centreE_) * pixelsPerM_;
    }
    double y(const Position& p) const
    {
        return kMapY + kMapHeight / 2 - (plane_.northM(p) - centreN_) * pixelsPerM_;
    }
    double pixelsPerM() const { return pixelsPerM_; }

private:
    LocalPlane plane_;
    double pixelsPerM_ = 1;
    double centreE_ = 0;
    double centreN_ = 0;
};

void writeRoute(std::ostream& out, const std::vector<TrackPoint>& route, const MapProjection& map)
{
    std::string points;
    const auto flush = [&] {
        if (!points.empty())
            out << "<polyline points=\"" << points << "\" fill=\"none\" stroke=\"" << kRouteGrey
                << "\" stroke-width=\"7\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n";
        points.clear();
    };
    for (const TrackPoint& t : route) {
        const Position& p = t.position;
        if (p.startsSegment)
            flush();
        points += (points.empty() ? "" : " ") + number(map.x(p)) + "," + number(map.y(p));
    }
    flush();
}

void writeReadings(std::ostream& out, const std::vector<TrackPoint>& points,
                   const ColourScale& scale, const MapProjection& map)
{
    out << "<g stroke=\"none\">\n";
    for (const TrackPoint& t : points)
        if (t.strongestDbm)
            out << "<circle cx=\"" << number(map.x(t.position)) << "\" cy=\""
                << number(map.y(t.position)) << "\" r=\"3.5\" fill=\""
                << svgColour(scale.colour(scale.bandOf(*t.strongestDbm))) << "\"/>\n";
    out << "</g>\n";
    const Position& start = points.front().position;
    out << "<circle cx=\"" << number(map.x(start)) << "\" cy=\"" << number(map.y(start))
        << "\" r=\"6\" fill=\"white\" stroke=\"#222\" stroke-width=\"2\"/>\n"
        << text(map.x(start) + 10, map.y(start) + 4, "start",
                " font-size=\"13\" stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\"");
}

// Below the legend, clear of the route.
void writeNorthArrow(std::ostream& out)
{
    const double x = kLegendX + 13;
    const double y = kMapY + kMapHeight - 70;
    out << "<path d=\"M " << number(x) << " " << number(y) << " l 8 24 l -8 -6 l -8 6 z\" "
        << "fill=\"#333\"/>\n"
        << text(x, y + 42, "N", " font-size=\"14\" font-weight=\"bold\" text-anchor=\"middle\"");
}

void writeDistanceScale(std::ostream& out, const MapProjection& map)
{
    const double metres = roundDistance(kMapWidth / 4 / map.pixelsPerM());
    const double length = metres * map.pixelsPerM();
    // Under the map's right-hand corner, clear of the route.
    const double x = kMapX + kMapWidth - length;
    const double y = kMapY + kMapHeight + 26;
    out << "<rect x=\"" << number(x) << "\" y=\"" << number(y) << "\" width=\""
        << number(length / 2) << "\" height=\"6\" fill=\"#333\" stroke=\"#333\"/>\n"
        << "<rect x=\"" << number(x + length / 2) << "\" y=\"" << number(y) << "\" width=\""
        << number(length / 2) << "\" height=\"6\" fill=\"white\" stroke=\"#333\"/>\n"
        << text(x, y - 6, "0", " font-size=\"13\" text-anchor=\"middle\"")
        << text(x + length, y - 6, distanceText(metres),
                " font-size=\"13\" text-anchor=\"middle\"");
}

class SvgWriter final : public RouteWriter
{
public:
    SvgWriter(std::ostream& out, const ExportSettings& settings)
        : RouteWriter(settings.receiver), out_(out), settings_(settings)
    {}

    void finish(const DriveSummary& summary) override
    {
        const ColourScale scale(settings_.rangeMinDbm, settings_.rangeMaxDbm);
        const std::string title =
            xmlText(settings_.title) + ": receiver " + std::to_string(receiver());
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
             << kHeight << "\" viewBox=\"0 0 " << kWidth << " " << kHeight << "\" font-family=\""
             << kFont << "\">\n"
             << "<title>" << title << "</title>\n"
             << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
             << text(kMapX, 34, title, " font-size=\"20\" font-weight=\"bold\"") << "<rect x=\""
             << kMapX << "\" y=\"" << kMapY << "\" width=\"" << kMapWidth << "\" height=\""
             << kMapHeight << "\" fill=\"#f7f7f4\" stroke=\"#bbb\"/>\n";
        if (points().empty()) {
            out_ << text(kMapX + kMapWidth / 2, kMapY + kMapHeight / 2, "No positions in this log",
                         " font-size=\"18\" fill=\"#777\" text-anchor=\"middle\"");
        } else {
            const MapProjection map(points());
            writeRoute(out_, points(), map);
            writeReadings(out_, points(), scale, map);
            writeNorthArrow(out_);
            writeDistanceScale(out_, map);
        }
        writeLegend(summary.source, scale);
        out_ << text(kMapX, kMapY + kMapHeight + 34, timeSpan(points()), " font-size=\"15\"")
             << "</svg>\n";
    }

private:
    void writeLegend(PositionSource source, const ColourScale& scale)
    {
        out_ << text(kLegendX, kLegendY, "RSSI (dBm)", " font-size=\"16\" font-weight=\"bold\"")
             << text(kLegendX, kLegendY + 20,
                     "receiver " + std::to_string(receiver()) + ", strongest reading",
                     " font-size=\"13\" fill=\"#555\"")
             << text(kLegendX, kLegendY + 36, "at each position",
                     " font-size=\"13\" fill=\"#555\"");
        double y = kLegendY + 54;
        const auto swatch = [&](const std::string& fill, const std::string& label) {
            out_ << "<rect x=\"" << number(kLegendX) << "\" y=\"" << number(y)
                 << "\" width=\"26\" height=\"22\" fill=\"" << fill << "\"/>\n"
                 << text(kLegendX + 36, y + 16, label, " font-size=\"14\"");
            y += kSwatchHeight;
        };
        for (std::size_t b = ColourScale::kBands; b-- > 0;)
            swatch(svgColour(scale.colour(b)), scale.label(b));
        swatch(kRouteGrey, "no reading");

        y += 24;
        const std::string sourceName = source == PositionSource::Gps ? "GPS" : "TravelPilot";
        for (const std::string& line :
             {grouped(points().size()) + " positions (" + sourceName + ")",
              grouped(readings()) + " readings of receiver " + std::to_string(receiver()),
              "route " + distanceText(std::round(routeLengthM(points()) / 100) * 100)}) {
            out_ << text(kLegendX, y, line, " font-size=\"14\"");
            y += 22;
        }
    }

    std::ostream& out_;
    const ExportSettings settings_;
};

} // namespace

std::unique_ptr<DriveWriter> svgWriter(std::ostream& out, const ExportSettings& settings)
{
    return std::make_unique<SvgWriter>(out, settings);
}

} // namespace zentor::klfexport
