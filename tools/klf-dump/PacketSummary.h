#pragma once

#include "logging/KlfReader.h"

#include <array>
#include <cstdint>
#include <string>

namespace zentor::klfdump {

// A receiver as the header's receivers record describes it.
struct ReceiverFacts
{
    bool present = false;
    std::int32_t startCount = 0;
    std::int32_t stopCount = 0;
    double stepKHz = 0.0;
    bool stepWhole = true; // false for receiver 2: the top byte of its step is not in the file
};

// The receivers of a receivers record (header record 4).
std::array<ReceiverFacts, 2> receiversOf(const KlfRecord& record);

// The text a signature or serial number record carries, up to its first 0x00 byte, with bytes
// outside printable ASCII written as \xNN.
std::string headerText(const KlfRecord& record);

// A short name of a packet type ("scan entries", "TravelPilot position", "unknown").
const char* typeName(std::uint8_t type);

// One line saying what a packet holds, decoded as far as its bytes go.
std::string packetSummary(const KlfRecord& record);

// One line for the receivers of a receivers record.
std::string receiversSummary(const std::array<ReceiverFacts, 2>& receivers);

} // namespace zentor::klfdump
