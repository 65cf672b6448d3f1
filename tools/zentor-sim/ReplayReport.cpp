#include "ReplayReport.h"

#include "logging/ReadWholeFile.h"

namespace zentor::sim {

namespace {

std::string plural(std::size_t n, const char* word)
{
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

} // namespace

bool readLogFile(const std::string& path, Bytes& bytes, std::string& error)
{
    if (readWholeFile(path, bytes, error))
        return true;
    error = "cannot read the log '" + path + "': " + error;
    return false;
}

std::string describeReplayLog(const std::string& path, const ReplayLog& log)
{
    std::string text =
        "zentor-sim: replaying " + path + ": " + plural(log.frameCount(), "instrument packet");
    if (log.travelPilotRecords() > 0)
        text += "; " + plural(log.travelPilotRecords(), "TravelPilot record") + " left out";
    text += "\n";
    if (const std::string stop = log.stopText(path); !stop.empty())
        text += "zentor-sim: " + stop + "\n";
    if (const std::vector<std::size_t>& bad = log.badChecksumOffsets(); !bad.empty())
        text += "zentor-sim: " + path + ": " + plural(bad.size(), "record") +
                " with a wrong checksum left out, the first at byte " + std::to_string(bad[0]) +
                "\n";
    return text;
}

} // namespace zentor::sim
