// klf-export: exports the readings of a .KLF log file with their positions as CSV, GPX, KML or
// an SVG picture.
#include "DriveReader.h"
#include "DriveReport.h"
#include "ExportFormats.h"
#include "ExportOptions.h"
#include "LogStream.h"
#include "platform/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace zentor::klfexport;

// Exit status.
constexpr int kExitWhole = 0;
constexpr int kExitNotWhole = 1; // truncated or damaged: exported as far as its records go
constexpr int kExitTrouble = 2;  // bad arguments, the file unreadable or the output unwritable

std::unique_ptr<DriveWriter> writerFor(ExportFormat format, std::ostream& out,
                                       const ExportSettings& settings)
{
    switch (format) {
    case ExportFormat::Gpx:
        return gpxWriter(out, settings);
    case ExportFormat::Kml:
        return kmlWriter(out, settings);
    case ExportFormat::Svg:
        return svgWriter(out, settings);
    case ExportFormat::Csv:
        break;
    }
    return csvWriter(out, settings);
}

int cannotRead(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "klf-export: cannot read %s: %s\n", path.c_str(), why.c_str());
    return kExitTrouble;
}

// The file's name without its folder, as the outputs' titles show it.
std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int main(int argc, char* argv[])
{
    const ParsedExportOptions parsed =
        parseExportOptions(std::vector<std::string>(argv + 1, argv + argc));
    const ExportOptions& options = parsed.options;
    if (options.help) {
        std::fputs(kExportUsage, stdout);
        return kExitWhole;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "klf-export: %s\n%s", parsed.error.c_str(), kExportUsage);
        return kExitTrouble;
    }

    // The log is read through a window, never held whole: one walk for what must be known
    // before the first reading, one for the drive.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        std::fopen(options.path.c_str(), "rb"), &std::fclose);
    if (!file)
        return cannotRead(options.path, std::generic_category().message(errno));
    LogStream log(file.get());
    const LogSurvey survey = surveyLog(log);
    if (!log.readError().empty())
        return cannotRead(options.path, log.readError());

    ExportSettings settings;
    settings.title = baseName(options.path);
    settings.receiver = options.receiver == 0 ? 1 : options.receiver;
    settings.allReceivers = options.receiver == 0;
    settings.rangeMinDbm = options.rangeMinDbm;
    settings.rangeMaxDbm = options.rangeMaxDbm;

    const bool toStandardOutput = options.outPath == "-";
    std::ofstream outFile;
    if (toStandardOutput) {
        zentor::setStandardOutputBinary();
    } else {
        outFile.open(options.outPath, std::ios::binary | std::ios::trunc);
        if (!outFile) {
            std::fprintf(stderr, "klf-export: cannot write %s: %s\n", options.outPath.c_str(),
                         std::generic_category().message(errno).c_str());
            return kExitTrouble;
        }
    }
    std::ostream& out = toStandardOutput ? std::cout : outFile;
    const std::unique_ptr<DriveWriter> writer = writerFor(options.format, out, settings);
    const DriveSummary drive = walkDrive(log, survey, *writer);
    if (!log.readError().empty())
        return cannotRead(options.path, log.readError());
    writer->finish(drive);
    out.flush();
    if (!toStandardOutput)
        outFile.close();
    // `out` is the file itself when writing to one, so this sees a failed close as well.
    if (!out) {
        std::fprintf(stderr, "klf-export: cannot write %s\n",
                     toStandardOutput ? "to standard output" : options.outPath.c_str());
        return kExitTrouble;
    }

    for (const std::string& line : driveReport(options.path, drive))
        std::fprintf(stderr, "klf-export: %s\n", line.c_str());
    return drive.verdict == zentor::KlfVerdict::Whole ? kExitWhole : kExitNotWhole;
}
