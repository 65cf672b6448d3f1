// klf-export: exports the readings of a .KLF log file with their positions as CSV, GPX, KML, an
// SVG picture, or a drive added to a GeoPackage.
#include "DriveReader.h"
#include "DriveReport.h"
#include "ExportFormats.h"
#include "ExportOptions.h"
#include "LogStream.h"
#include "platform/StandardOutput.h"

#if defined(ZENTOR_KLF_EXPORT_GEOPACKAGE)
#include "GeoPackage.h"
#include "Sha256.h"
#endif

#include <cerrno>
#include <cstdio>
#include <filesystem>
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

int exitStatusOf(zentor::KlfVerdict verdict)
{
    return verdict == zentor::KlfVerdict::Whole ? kExitWhole : kExitNotWhole;
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
    case ExportFormat::Gpkg:
        break;
    }
    return csvWriter(out, settings);
}

// What one run needs besides its options.
struct Run
{
    const ExportOptions& options;
    std::FILE* file;
    LogStream& log;
    const LogSurvey& survey;
    const ExportSettings& settings;
};

// Writes the drive to standard output or a file; the exit status, or none when all went well.
std::optional<int> exportToStream(const Run& run, DriveSummary& drive)
{
    const std::string& outPath = run.options.outPath;
    const bool toStandardOutput = outPath == "-";
    std::ofstream outFile;
    if (toStandardOutput) {
        zentor::setStandardOutputBinary();
    } else {
        // The log is read a second time after the output is opened: writing over it would lose
        // it.
        std::error_code ignored;
        if (std::filesystem::equivalent(run.options.path, outPath, ignored)) {
            std::fprintf(stderr, "klf-export: cannot write %s: it is the log being exported\n",
                         outPath.c_str());
            return kExitTrouble;
        }
        outFile.open(outPath, std::ios::binary | std::ios::trunc);
        if (!outFile) {
            std::fprintf(stderr, "klf-export: cannot write %s: %s\n", outPath.c_str(),
                         std::generic_category().message(errno).c_str());
            return kExitTrouble;
        }
    }
    std::ostream& out = toStandardOutput ? std::cout : outFile;
    const std::unique_ptr<DriveWriter> writer = writerFor(run.options.format, out, run.settings);
    drive = walkDrive(run.log, run.survey, *writer);
    if (!run.log.readError().empty())
        return cannotRead(run.options.path, run.log.readError());
    writer->finish(drive);
    out.flush();
    if (!toStandardOutput)
        outFile.close();
    // `out` is the file itself when writing to one, so this sees a failed close as well.
    if (!out) {
        std::fprintf(stderr, "klf-export: cannot write %s\n",
                     toStandardOutput ? "to standard output" : outPath.c_str());
        return kExitTrouble;
    }
    return std::nullopt;
}

#if defined(ZENTOR_KLF_EXPORT_GEOPACKAGE)
// The size and SHA-256 of every byte of the log, by which a GeoPackage knows a drive it holds.
bool identify(std::FILE* file, LogIdentity& log)
{
    Sha256 digest;
    std::vector<std::uint8_t> chunk(std::size_t{1} << 16);
    std::clearerr(file);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return false;
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), file)) > 0;) {
        digest.add(chunk.data(), n);
        log.bytes += n;
    }
    log.sha256 = digest.hex();
    return !std::ferror(file);
}

// Adds the drive to the GeoPackage as one transaction; the exit status, or none when it is in.
std::optional<int> exportToGeoPackage(const Run& run, DriveSummary& drive)
{
    const std::string& outPath = run.options.outPath;
    LogIdentity identity;
    identity.fileName = baseName(run.options.path);
    identity.serialNumber = run.survey.serialNumber;
    if (!identify(run.file, identity))
        return cannotRead(run.options.path, std::generic_category().message(errno));
    std::string error;
    const std::unique_ptr<GeoPackage> gp = GeoPackage::open(outPath, error);
    if (!gp) {
        std::fprintf(stderr, "klf-export: %s\n", error.c_str());
        return kExitTrouble;
    }
    if (const std::optional<KnownDrive> known = gp->find(identity)) {
        std::fprintf(stderr,
                     "klf-export: %s is already in %s as drive %lld (from %s): nothing "
                     "added\n",
                     run.options.path.c_str(), outPath.c_str(), static_cast<long long>(known->id),
                     known->fileName.c_str());
        return exitStatusOf(run.log.verdict());
    }
    const std::unique_ptr<DriveWriter> writer = gp->addDrive(identity, run.settings);
    drive = walkDrive(run.log, run.survey, *writer);
    if (!run.log.readError().empty())
        return cannotRead(run.options.path, run.log.readError());
    writer->finish(drive);
    const std::optional<std::int64_t> id = gp->commit(error);
    if (!id) {
        std::fprintf(stderr, "klf-export: %s; nothing was added\n", error.c_str());
        return kExitTrouble;
    }
    std::fprintf(stderr, "klf-export: added to %s as drive %lld\n", outPath.c_str(),
                 static_cast<long long>(*id));
    return std::nullopt;
}
#endif

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

    const Run run{options, file.get(), log, survey, settings};
    DriveSummary drive;
#if defined(ZENTOR_KLF_EXPORT_GEOPACKAGE)
    const std::optional<int> failed = options.format == ExportFormat::Gpkg
                                          ? exportToGeoPackage(run, drive)
                                          : exportToStream(run, drive);
#else
    const std::optional<int> failed = exportToStream(run, drive);
#endif
    if (failed)
        return *failed;
    for (const std::string& line : driveReport(options.path, drive))
        std::fprintf(stderr, "klf-export: %s\n", line.c_str());
    return exitStatusOf(drive.verdict);
}
