#pragma once

#include "support/FileBytes.h"
#include "support/SharedData.h"
#include "zentor-sim/SimPacket.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

// Small helpers shared by the simulator's tests.
namespace zentor::sim::test {

// Bytes from hex text such as "AA 02 00 1C 1C" (blanks between bytes are optional).
inline Bytes hex(const std::string& text)
{
    Bytes out;
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '\n')
            digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return out;
}

inline Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

using zentor::test::readFile;

// Frames as the instrument sends them, for the stream tests of the receiver model and the ledger.
inline const Bytes kIdentify = hex("AA 02 00 1C 1C");
inline const Bytes kList = hex("AA 11 00 07 00 00 88 00 09 E2 01 04 B3 01 05 9B 00 03 AA E4");
inline const Bytes kClock = hex("AA 09 00 04 1D 21 07 15 01 1A 03 32");

// The packet record of a frame: the frame without its sync byte.
inline Bytes recordOf(const Bytes& frame)
{
    return Bytes(frame.begin() + 1, frame.end());
}

} // namespace zentor::sim::test
