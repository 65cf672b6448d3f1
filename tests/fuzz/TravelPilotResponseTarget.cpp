// The bytes the TravelPilot unit sent, read as the TravelPilot thread reads them: one response
// at its length byte, then the next one after it. Each is parsed, its field texts formed, and a
// position or speed answer made into its log packet.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "link/ByteOrder.h"
#include "nav/TravelPilotLogPackets.h"
#include "nav/TravelPilotResponse.h"
#include "nav/TravelPilotTexts.h"

#include <algorithm>

namespace zentor::fuzz {
namespace {

// The fields an answer needs inside the frame's length.
constexpr std::size_t kVersionBytes = 5;
constexpr std::size_t kPositionBytes = 17;
constexpr std::size_t kSpeedBytes = 7;

// A fixed PC time for the position log packets, so that a run can be repeated.
const LogTimeFields kLogTime{30, 15, 12, 24, 5, 124};

void touchText(const std::optional<std::string>& text)
{
    if (!text)
        return;
    for (const char c : *text)
        touch(static_cast<unsigned char>(c));
}

bool isWholeAnswer(TravelPilotAnswer answer)
{
    return !isFailedRead(answer);
}

std::size_t fieldsNeeded(TravelPilotAnswer answer)
{
    switch (answer) {
    case TravelPilotAnswer::Version:
        return kVersionBytes;
    case TravelPilotAnswer::Position:
        return kPositionBytes;
    case TravelPilotAnswer::Speed:
        return kSpeedBytes;
    default:
        return 0;
    }
}

// Parses the response at `bytes` (the `arrived` bytes of one read) and everything the thread
// makes of it. Returns the response.
TravelPilotResponse handleResponse(const std::uint8_t* bytes, std::size_t arrived,
                                   long& positionCount)
{
    const TravelPilotResponse response = parseTravelPilotResponse(bytes, arrived);
    if (arrived == 0) {
        fuzzCheck(response.answer == TravelPilotAnswer::NoAnswer, "no bytes is no answer");
        return response;
    }
    const std::size_t length = bytes[0];
    if (isWholeAnswer(response.answer)) {
        fuzzCheck(length >= 2 && length <= arrived, "a whole answer lies inside the bytes read");
        fuzzCheck(response.command == bytes[1], "the command is byte 1");
        fuzzCheck(fieldsNeeded(response.answer) <= length, "fields are read inside the frame");
    }

    if (response.answer == TravelPilotAnswer::Position)
        ++positionCount;
    const TravelPilotTexts texts = travelPilotTexts(response, positionCount);
    touchText(texts.version);
    touchText(texts.latitude);
    touchText(texts.longitude);
    touchText(texts.update);
    touchText(texts.speed);
    touchText(texts.direction);

    if (response.answer == TravelPilotAnswer::Position) {
        const auto packet = positionLogPacket(kLogTime, response.latitude, response.longitude);
        fuzzCheck(readLe16(packet.data()) + 2u == packet.size() && packet[2] == kTpPositionLogType,
                  "a position log packet is a whole 0xC0 record");
        fuzzCheck(std::equal(response.latitude.begin(), response.latitude.end(), bytes + 3),
                  "the latitude is logged as received");
    } else if (response.answer == TravelPilotAnswer::Speed) {
        const auto packet = speedLogPacket(response.speedBytes, response.directionBytes);
        fuzzCheck(readLe16(packet.data()) + 2u == packet.size() && packet[2] == kTpSpeedLogType,
                  "a speed log packet is a whole 0xC1 record");
        fuzzCheck(std::equal(packet.begin() + 3, packet.end(), bytes + 3),
                  "speed and direction are logged as received");
    }
    return response;
}

} // namespace

void fuzzTravelPilotResponse(const std::uint8_t* data, std::size_t size)
{
    long positionCount = 0;
    std::size_t at = 0;
    do {
        const std::size_t arrived = std::min(size - at, kTpReceiveBufferBytes);
        const TravelPilotResponse response = handleResponse(data + at, arrived, positionCount);
        // A failed read drops the byte it started at; a whole frame is passed over.
        at += isWholeAnswer(response.answer) ? data[at] : 1;
    } while (at < size);
}

} // namespace zentor::fuzz
