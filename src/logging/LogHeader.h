#pragma once

#include "link/ReceiverState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zentor {

// What a new log file's header records are made of: a copy of the receiver state.
struct LogHeaderInput
{
    std::string serialNumber; // the instrument's identification text; 8 characters are kept
    std::array<bool, kReceiverCount> present{};
    std::array<decltype(TReceiverInfo::configuration), kReceiverCount> configuration{};
    std::vector<std::uint8_t> channelInformation; // a packet record; empty when none captured
};

// Takes the header's inputs from the receiver protocol. Any thread may call it.
LogHeaderInput logHeaderInputFrom(const ReceiverState& state);

// The header records 1 to 5 of a new log file, in file order (see KlfFormat.h): 63 bytes, plus
// the channel information record when there is one. A block of an absent receiver is written as
// zero bytes; a channel information record that is not one whole packet record is left out.
std::vector<std::uint8_t> buildLogHeader(const LogHeaderInput& input);

} // namespace zentor
