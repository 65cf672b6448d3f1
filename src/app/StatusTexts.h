#pragma once

#include "link/LinkQuality.h"
#include "link/PacketDecoder.h"
#include "link/ReceiverRange.h"
#include "logging/LogSession.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The texts of the main window's status fields and of the unattended run's status line, formed
// from the receiver state and the run's figures.
namespace zentor {

// The instrument's clock as the RTC/Marker group shows it.
struct ClockTexts
{
    std::string date;   // "%02d/%02d/%04d": month, day, year since 2000 + 2000
    std::string time;   // "%02d:%02d:%02d": hour, minute, second
    std::string marker; // "Mrkr #" and the marker number modulo 100
};

// A receiver's range as its status group shows it.
struct RangeTexts
{
    std::string minimumMHz; // frequency of the start count, "%.5f"
    std::string maximumMHz; // frequency of the stop count, "%.5f"
    std::string stepKHz;    // step size, "%.2f"
};

ClockTexts clockTexts(const InstrumentClock& clock);
RangeTexts rangeTexts(const ReceiverRange& range);

// "SN: " and the instrument's identification text.
std::string serialNumberText(const std::string& identification);

// "%02d:%02d:%02d": the form of every time of day the window shows.
std::string timeOfDayText(int hour, int minute, int second);

// "frames 1200 good, 3 bad checksum, 1 bad length; 57 bytes skipped": what the frame assembler
// made of the instrument's bytes.
std::string framingText(const FramingCounts& counts);

// The link status panel's tool tip: framingText, and on a line of its own "packets not
// decoded: 2" (too short for their type, or of a type the program does not know).
std::string linkQualityText(const LinkQuality& quality);

// One line for a scripted run to compare with the instrument's record, e.g. "list and table
// readings: receiver 1 10 stored, 10 in its last frame; receiver 2 5 stored, 5 in its last frame;
// 0 refused".
std::string readingCountsText(const ReadingCounts& counts);

// What one second of a run looks like: the figures of the unattended status line.
struct RunFigures
{
    int elapsedSeconds = 0;
    std::string linkStatus; // empty while no link is open
    FramingCounts framing;
    std::vector<std::pair<int, std::uint32_t>> packets; // packet type and count, in type order
    bool logWaiting = false;               // log mode on, the file held back for its header
    std::optional<std::int32_t> logSizeKb; // empty while not logging (or waiting)
    std::string position;                  // gpsPositionText's or travelPilotPositionText's
};

// "12 s | Connected via COM | frames 254 good, 0 bad checksum, 0 bad length; 0 bytes skipped |
// packets 0:12 1:1 7:240 | log 34 kB | GPS 3D Fix 52.01160 4.35710", with "no link",
// "packets none", "log waiting" and "log off" for what is not there yet. No newline.
std::string statusLineText(const RunFigures& figures);

// The position part: "GPS <fix mode text> <lat> <lon>" in degrees with five decimals, or
// "GPS no record" before the first record. While the link to the instrument is lost the fix is
// an old one: "GPS link lost, last <lat> <lon>".
std::string gpsPositionText(bool recordSeen, const char* fixModeText, double latitudeDeg,
                            double longitudeDeg, bool linkLost = false);

// What the end of a run waits for: one line per log file still being written, "Writing the log
// file "drive.KLF": 1234 kB still to go to the disk." (kB rounded up).
std::string logBacklogText(const std::vector<LogSession::Backlog>& backlog);

// The TravelPilot's position as its fields show it: "TravelPilot <lat> <lon>", or
// "TravelPilot no position" while its fields are empty.
std::string travelPilotPositionText(const std::string& latitude, const std::string& longitude);

// The main window's status fields as the main router's refreshes write them. The main window
// implements it; every call is made on the window thread.
class StatusView
{
public:
    virtual ~StatusView() = default;

    virtual void showFileSize(const std::string& text) = 0;     // edFileSize
    virtual void showSerialNumber(const std::string& text) = 0; // edSN
    virtual void showLinkStatus(const std::string& text) = 0;   // status bar panel 0
    virtual void showLinkQuality(const std::string& text) = 0;  // panel 0's tool tip
    // edMin1, edMax1, edStep1 for receiver 0; edMin2, edMax2, edStep2 for receiver 1.
    virtual void showRange(int receiver, const RangeTexts& texts) = 0;
    virtual void showClock(const ClockTexts& texts) = 0; // edRTCDate, edRTCTime, edMarker
};

} // namespace zentor
