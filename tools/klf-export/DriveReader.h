#pragma once

#include "Drive.h"
#include "LogStream.h"
#include "link/PacketDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentor::klfexport {

// What must be known of a log before its first reading can be exported, found by one walk over
// its records that keeps none of them: the position source, and the first configuration packet,
// which may complete the header's receivers record; with the serial number for the drive's
// title.
struct LogSurvey
{
    bool travelPilot = false;                         // the log holds a TravelPilot position record
    std::vector<std::uint8_t> firstConfigurationData; // empty: the log has none
    ConfigurationPacket firstConfiguration;
    std::string serialNumber; // the header's, else the first identification packet's
};

LogSurvey surveyLog(LogStream& log);

// Walks the log from its start and hands the drive to `sink`: the positions (the TravelPilot's
// when the survey found a TravelPilot position record, else the GPS records') and every reading
// with the last position before it. Readings are single-mode packets (types 2 and 3: the first
// sample), list entries (type 7) and table entries (type 9); an entry whose receiver byte is not
// 0 is receiver 2's. A reading before any position, or after kMaxPositionAgeSeconds clock
// packets (type 4) without a new one, is left out and counted. Packets with a bad checksum are
// left out; the walk stops where the reader stops. The bytes may be anything.
DriveSummary walkDrive(LogStream& log, const LogSurvey& survey, DriveSink& sink);

} // namespace zentor::klfexport
