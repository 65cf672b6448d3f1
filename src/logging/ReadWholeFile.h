#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentor {

// Reads the whole file at `path` into `bytes`, for the tools that take a log file. Returns
// false, with `error` the system's reason, when it cannot be opened or read (a folder included).
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

} // namespace zentor
