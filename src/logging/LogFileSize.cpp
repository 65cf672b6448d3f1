#include "logging/LogFileSize.h"

#include <cstdio>
#include <limits>

namespace zentor {

namespace {

constexpr std::int64_t kBytesPerKb = 1024;

} // namespace

std::int32_t logFileSizeKb(std::int64_t bytes)
{
    if (bytes <= 0)
        return 0;
    const std::int64_t kb = bytes / kBytesPerKb;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(kb < kLargest ? kb : kLargest);
}

std::string logFileSizeText(std::int32_t kb)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld kB", static_cast<long>(kb));
    return text;
}

} // namespace zentor
