#include "ExportOptions.h"

#include "map/MapSettings.h"

#include <cerrno>
#include <cstdlib>

namespace zentor::klfexport {

const char* const kExportUsage =
    "usage: klf-export FILE.KLF [--format csv|gpx|kml|svg|gpkg] [--receiver 1|2]\n"
    "                  [--range MIN,MAX] [--out FILE]\n"
    "\n"
    "Exports the readings of a data logger log file with the position each was taken at: the\n"
    "GPS records' unfiltered positions (2D Fix, 3D Fix, Position Hold, Propogate Mode), or the\n"
    "TravelPilot's when the log holds them. A reading before the first position, or more than\n"
    "3 s after the last one, is left out and counted.\n"
    "\n"
    "  --format csv      one row per reading (default), for spreadsheets: time, latitude,\n"
    "                    longitude, receiver, mode, channel, frequency_mhz (empty when the log\n"
    "                    does not tell it), rssi_dbm, position_source, fix (2d, 3d, hold,\n"
    "                    propagated or travelpilot)\n"
    "  --format gpx      the route as a GPX 1.1 track, each point with the strongest reading\n"
    "  --format kml      the route and a placemark per position coloured by the strongest\n"
    "                    reading, with a legend (Google Earth, QGIS)\n"
    "  --format svg      a picture of the route coloured by the strongest reading\n"
    "  --format gpkg     add the drive to the GeoPackage --out FILE (made when missing), for\n"
    "                    QGIS and a team's archive: layers readings (the CSV's columns) and\n"
    "                    routes, and the table drives; a drive already in it is not added again\n"
    "  --receiver 1|2    only this receiver (gpx, kml and svg: default 1; csv and gpkg: both)\n"
    "  --range MIN,MAX   the colour range in dBm for kml and svg (default -120,-50)\n"
    "  --out FILE        write to FILE instead of standard output (- is standard output)\n"
    "  --help            this text\n"
    "\n"
    "What was left out, and frequencies the log does not tell, are noted on standard error.\n"
    "Exit status: 0 the file is whole, 1 it is truncated or damaged (exported as far as its\n"
    "whole records go), 2 bad arguments, or the file could not be read or the output written.\n";

namespace {

// A whole decimal number in [low, high], or false.
bool parseInteger(const std::string& text, long low, long high, int& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}

std::string setFormat(const std::string& v, ExportFormat& format)
{
    const struct
    {
        const char* name;
        ExportFormat format;
    } kFormats[] = {{"csv", ExportFormat::Csv},
                    {"gpx", ExportFormat::Gpx},
                    {"kml", ExportFormat::Kml},
                    {"svg", ExportFormat::Svg},
                    {"gpkg", ExportFormat::Gpkg}};
    for (const auto& f : kFormats) {
        if (v == f.name) {
            format = f.format;
            return "";
        }
    }
    return "--format takes csv, gpx, kml, svg or gpkg, not '" + v + "'";
}

// Levels are signed bytes of dBm, so a range outside them would colour nothing apart.
std::string setRange(const std::string& v, ExportOptions& o)
{
    const std::size_t comma = v.find(',');
    int low = 0, high = 0;
    if (comma == std::string::npos || !parseInteger(v.substr(0, comma), -128, 127, low) ||
        !parseInteger(v.substr(comma + 1), -128, 127, high) || low >= high)
        return "--range takes MIN,MAX in whole dBm from -128 to 127 with MIN below MAX, not '" + v +
               "'";
    o.rangeMinDbm = low;
    o.rangeMaxDbm = high;
    return "";
}

std::string setOption(const std::string& name, const std::string& v, ExportOptions& o)
{
    if (name == "--format")
        return setFormat(v, o.format);
    if (name == "--receiver")
        return parseInteger(v, 1, 2, o.receiver) ? "" : "--receiver takes 1 or 2, not '" + v + "'";
    if (name == "--range")
        return setRange(v, o);
    if (v.empty())
        return "--out takes a file name, or - for standard output";
    o.outPath = v;
    return "";
}

} // namespace

ExportOptions::ExportOptions()
    : rangeMinDbm(MapSettings::kDefaultRangeMinDbm), rangeMaxDbm(MapSettings::kDefaultRangeMaxDbm)
{}

ParsedExportOptions parseExportOptions(const std::vector<std::string>& args)
{
    ParsedExportOptions parsed;
    ExportOptions& o = parsed.options;
    for (std::size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return parsed;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        }
        if (name == "--format" || name == "--receiver" || name == "--range" || name == "--out") {
            if (!hasValue && i + 1 >= args.size()) {
                parsed.error = name + " needs a value";
                break;
            }
            parsed.error = setOption(name, hasValue ? value : args[++i], o);
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else if (o.path.empty()) {
            o.path = arg;
        } else {
            parsed.error = "one log file only";
        }
    }
    if (parsed.error.empty() && o.path.empty())
        parsed.error = "no log file given";
    if (parsed.error.empty() && o.format == ExportFormat::Gpkg && o.outPath == "-")
        parsed.error = "--format gpkg adds to a file: name it with --out FILE";
#if !defined(ZENTOR_KLF_EXPORT_GEOPACKAGE)
    if (parsed.error.empty() && o.format == ExportFormat::Gpkg)
        parsed.error = "--format gpkg is not in this build of klf-export (built without SQLite)";
#endif
    return parsed;
}

} // namespace zentor::klfexport
