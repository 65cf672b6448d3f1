// klf-export: exports the readings of a .KLF log file with their positions as CSV, GPX, KML or
// an SVG picture.
#include "DriveReader.h"
#include "DriveReport.h"
#include "ExportFormats.h"
#include "ExportOptions.h"
#include "logging/ReadWholeFile.h"
#include "platform/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace zentor::klfexport;

// Exit status.
constexpr int kExitWhole = 0;
constexpr int kExitNotWhole = 1; // truncated or damaged: exported as far as its records go
constexpr int kExitTrouble = 2;  // bad arguments, the file unreadable or the output unwritable

void write(std::ostream& out, ExportFormat format, const Drive& drive,
           const ExportSettings& settings)
{
    switch (format) {
    case ExportFormat::Csv:
        writeCsv(out, drive, settings);
        break;
    case ExportFormat::Gpx:
        writeGpx(out, drive, settings);
        break;
    case ExportFormat::Kml:
        writeKml(out, drive, settings);
        break;
    case ExportFormat::Svg:
        writeSvg(out, drive, settings);
        break;
    }
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

    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!zentor::readWholeFile(options.path, bytes, error)) {
        std::fprintf(stderr, "klf-export: cannot read %s: %s\n", options.path.c_str(),
                     error.c_str());
        return kExitTrouble;
    }
    const Drive drive = readDrive(bytes.data(), bytes.size());

    ExportSettings settings;
    settings.title = baseName(options.path);
    settings.receiver = options.receiver == 0 ? 1 : options.receiver;
    settings.allReceivers = options.receiver == 0;
    settings.rangeMinDbm = options.rangeMinDbm;
    settings.rangeMaxDbm = options.rangeMaxDbm;

    const bool toStandardOutput = options.outPath == "-";
    std::ofstream file;
    if (toStandardOutput) {
        zentor::setStandardOutputBinary();
    } else {
        file.open(options.outPath, std::ios::binary | std::ios::trunc);
        if (!file) {
            std::fprintf(stderr, "klf-export: cannot write %s: %s\n", options.outPath.c_str(),
                         std::generic_category().message(errno).c_str());
            return kExitTrouble;
        }
    }
    std::ostream& out = toStandardOutput ? std::cout : file;
    write(out, options.format, drive, settings);
    out.flush();
    if (!toStandardOutput)
        file.close();
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
