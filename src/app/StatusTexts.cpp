#include "app/StatusTexts.h"

#include "core/TextFormat.h"

namespace zentor {

namespace {

constexpr int kFirstClockYear = 2000;
constexpr int kMarkerDigits = 100; // the field shows the marker's last two digits

} // namespace

std::string timeOfDayText(int hour, int minute, int second)
{
    return formatText("%02d:%02d:%02d", hour, minute, second);
}

ClockTexts clockTexts(const InstrumentClock& clock)
{
    ClockTexts texts;
    texts.date =
        formatText("%02d/%02d/%04d", clock.month, clock.day, clock.yearSince2000 + kFirstClockYear);
    texts.time = timeOfDayText(clock.hour, clock.minute, clock.second);
    texts.marker = "Mrkr #" + std::to_string(clock.marker % kMarkerDigits);
    return texts;
}

RangeTexts rangeTexts(const ReceiverRange& range)
{
    RangeTexts texts;
    texts.minimumMHz = formatText("%.5f", frequencyMHz(range, range.startCount));
    texts.maximumMHz = formatText("%.5f", frequencyMHz(range, range.stopCount));
    texts.stepKHz = formatText("%.2f", range.stepKHz);
    return texts;
}

std::string serialNumberText(const std::string& identification)
{
    return "SN: " + identification;
}

std::string framingText(const FramingCounts& counts)
{
    return "frames " + std::to_string(counts.framesGood) + " good, " +
           std::to_string(counts.badChecksum) + " bad checksum, " +
           std::to_string(counts.badLength) + " bad length; " +
           std::to_string(counts.bytesSkipped) + " bytes skipped";
}

std::string linkQualityText(const LinkQuality& quality)
{
    return framingText(quality.framing) +
           "\npackets not decoded: " + std::to_string(quality.packetsNotDecoded);
}

std::string readingCountsText(const ReadingCounts& counts)
{
    std::string text = "list and table readings:";
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        text += " receiver " + std::to_string(r + 1) + " " + std::to_string(counts.stored[r]) +
                " stored, " + std::to_string(counts.taken[r]) + " in its last frame;";
    return text + " " + std::to_string(counts.refused) + " refused";
}

std::string statusLineText(const RunFigures& figures)
{
    std::string line = std::to_string(figures.elapsedSeconds) + " s | ";
    line += figures.linkStatus.empty() ? "no link" : figures.linkStatus;
    line += " | " + framingText(figures.framing);
    line += " | packets";
    if (figures.packets.empty())
        line += " none";
    for (const auto& [type, count] : figures.packets)
        line += " " + std::to_string(type) + ":" + std::to_string(count);
    if (figures.logWaiting)
        line += " | log waiting";
    else if (figures.logSizeKb)
        line += " | log " + std::to_string(*figures.logSizeKb) + " kB";
    else
        line += " | log off";
    return line + " | " + figures.position;
}

std::string logBacklogText(const std::vector<LogSession::Backlog>& backlog)
{
    constexpr std::uint64_t kBytesPerKb = 1024;
    std::string text;
    for (const LogSession::Backlog& log : backlog) {
        if (!text.empty())
            text += "\n";
        text += "Writing the log file \"" + log.fileName +
                "\": " + std::to_string((log.bytesWaiting + kBytesPerKb - 1) / kBytesPerKb) +
                " kB still to go to the disk.";
    }
    return text;
}

std::string gpsPositionText(bool recordSeen, const char* fixModeText, double latitudeDeg,
                            double longitudeDeg, bool linkLost)
{
    if (!recordSeen)
        return linkLost ? "GPS link lost" : "GPS no record";
    if (linkLost)
        return formatText("GPS link lost, last %.5f %.5f", latitudeDeg, longitudeDeg);
    return formatText("GPS %s %.5f %.5f", fixModeText, latitudeDeg, longitudeDeg);
}

std::string travelPilotPositionText(const std::string& latitude, const std::string& longitude)
{
    if (latitude.empty() && longitude.empty())
        return "TravelPilot no position";
    return "TravelPilot " + latitude + " " + longitude;
}

} // namespace zentor
