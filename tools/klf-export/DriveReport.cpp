#include "DriveReport.h"

#include "core/TextFormat.h"

namespace zentor::klfexport {

namespace {

std::string count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::vector<std::string> driveReport(const std::string& name, const DriveSummary& drive)
{
    std::vector<std::string> lines;
    const bool gps = drive.source == PositionSource::Gps;
    lines.push_back(count(drive.positions, "position", "positions") +
                    (gps ? " from the GPS records, " : " from the TravelPilot records, ") +
                    count(drive.readings, "reading", "readings") + " with a position");
    const auto leftOut = [&](std::size_t n, const char* one, const char* many, const char* why) {
        if (n > 0)
            lines.push_back(count(n, one, many) + " left out: " + why);
    };
    leftOut(drive.readingsWithoutPosition, "reading", "readings", "no position before them");
    leftOut(drive.readingsWithStalePosition, "reading", "readings",
            "the last position was more than 3 s old");
    leftOut(drive.gpsRecordsWithoutPosition, "GPS record", "GPS records",
            "no position fix (Bad Geometry, Acquiring Satellites or a reserved mode), or an "
            "impossible time or place");
    leftOut(drive.unreadableTravelPilotPositions, "TravelPilot position", "TravelPilot positions",
            "an impossible time or coordinate");
    leftOut(drive.entriesOutOfRange, "entry", "entries",
            "list channel above 9 or table index above 3071");
    leftOut(drive.badChecksums, "record", "records", "bad checksum");
    for (int r = 0; r < 2; ++r) {
        if (drive.unknownFrequencies[r] > 0)
            lines.push_back("frequency not known for " +
                            count(drive.unknownFrequencies[r], "reading", "readings") +
                            " of receiver " + std::to_string(r + 1) +
                            ": the log gives no configuration packet or channel information "
                            "for them (the header keeps neither numbering flag nor receiver "
                            "2's step)");
    }
    if (drive.verdict != KlfVerdict::Whole) {
        const std::string where =
            formatText(" at byte %zu (%s): ", drive.problemOffset, drive.problem);
        lines.push_back("warning: " + name + " is " + klfVerdictWord(drive.verdict) + where +
                        (drive.walkedToEnd
                             ? "its damaged records were left out"
                             : "exported up to byte " + std::to_string(drive.bytesWalked)));
    }
    return lines;
}

} // namespace zentor::klfexport
