// A log file as klf-export reads it: the drive walk, then all four writers into one string that
// is dropped. Between them sit checks of the drive the walk hands over.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "klf-export/DriveReader.h"
#include "klf-export/DriveReport.h"
#include "klf-export/ExportFormats.h"

#include <sstream>

namespace zentor::fuzz {

void fuzzKlfExport(const std::uint8_t* data, std::size_t size)
{
    const klfexport::Drive drive = klfexport::readDrive(data, size);
    fuzzCheck(drive.bytesWalked <= size, "the walk stays inside the file");
    fuzzCheck(drive.verdict != KlfVerdict::Whole || drive.bytesWalked == size,
              "a whole file is walked to its end");
    std::size_t last = 0;
    for (const klfexport::Reading& r : drive.readings) {
        fuzzCheck(r.position < drive.positions.size() && r.position >= last,
                  "a reading takes a position the walk found, never an earlier one");
        fuzzCheck(r.receiver == 1 || r.receiver == 2, "a reading is receiver 1's or 2's");
        last = r.position;
    }
    fuzzCheck(drive.positions.empty() || drive.positions.front().startsSegment,
              "the first position starts the route");

    klfexport::ExportSettings settings;
    settings.title = "fuzz.KLF";
    std::ostringstream out;
    klfexport::writeCsv(out, drive, settings);
    std::size_t lines = 0;
    for (char c : out.str())
        lines += c == '\n';
    fuzzCheck(lines == drive.readings.size() + 1, "the CSV is a header and a row per reading");
    const auto endsWith = [&](const char* end) {
        const std::string s = out.str();
        return s.size() >= std::char_traits<char>::length(end) &&
               s.compare(s.size() - std::char_traits<char>::length(end), std::string::npos, end) ==
                   0;
    };
    out.str("");
    klfexport::writeGpx(out, drive, settings);
    fuzzCheck(endsWith("</gpx>\n"), "the GPX is whole");
    out.str("");
    klfexport::writeKml(out, drive, settings);
    fuzzCheck(endsWith("</kml>\n"), "the KML is whole");
    out.str("");
    klfexport::writeSvg(out, drive, settings);
    fuzzCheck(endsWith("</svg>\n"), "the SVG is whole");
    touch(klfexport::driveReport("fuzz.KLF", drive).size());
}

} // namespace zentor::fuzz
