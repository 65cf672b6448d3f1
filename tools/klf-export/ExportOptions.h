#pragma once

#include <string>
#include <vector>

namespace zentor::klfexport {

enum class ExportFormat
{
    Csv,
    Gpx,
    Kml,
    Svg,
    Gpkg,
};

// What the command line asks of klf-export.
struct ExportOptions
{
    std::string path; // the log file
    ExportFormat format = ExportFormat::Csv;
    int receiver = 0; // 1 or 2; 0 when not given (CSV: both, the others: receiver 1)
    int rangeMinDbm;  // --range MIN,MAX; the map range dialog's defaults when not given
    int rangeMaxDbm;
    std::string outPath = "-"; // "-": standard output
    bool help = false;

    ExportOptions();
};

struct ParsedExportOptions
{
    ExportOptions options;
    std::string error; // empty when the command line is good; else what is wrong with it
};

// Reads the arguments after the program name. Options take their value as the next argument or
// after '=' (--format svg, --format=svg).
ParsedExportOptions parseExportOptions(const std::vector<std::string>& args);

// The --help text.
extern const char* const kExportUsage;

} // namespace zentor::klfexport
