#pragma once

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

inline Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace zentor::sim::test
