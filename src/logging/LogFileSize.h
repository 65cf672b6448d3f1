#pragma once

#include <cstdint>
#include <string>

namespace zentor {

// A file size in whole kilobytes, as the main window shows it: bytes / 1024 rounded toward zero;
// 0 for a missing file (a negative size), at most the largest 32-bit value.
std::int32_t logFileSizeKb(std::int64_t bytes);

// The text of the edFileSize field for a size in kilobytes, "%ld kB".
std::string logFileSizeText(std::int32_t kb);

} // namespace zentor
