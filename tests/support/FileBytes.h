#pragma once

// The bytes of a file on disk, for tests that check what a program wrote.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zentor::test {

// The whole file; empty when it cannot be read.
inline std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

} // namespace zentor::test
