#include "logging/LogFileName.h"

#include <cstdio>
#include <limits>

namespace zentor {

namespace {

// Bytes of `text` that hold its first `maxChars` UTF-8 characters; a continuation byte
// (10xxxxxx) belongs to the character before it.
std::size_t bytesOfFirstChars(const std::string& text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && ++chars > maxChars)
            return i;
    }
    return text.size();
}

// The LogFile text cut to what the name is formed from and up to the dot that the extension
// replaces; `nameStart` is where the file's own name begins in it.
std::string logFileBase(const std::string& logFileText, std::size_t& nameStart)
{
    std::string base = logFileText.substr(0, bytesOfFirstChars(logFileText, kLogFileTextMaxChars));
    // Only a dot in the file's own name starts its extension: a cut in a folder name would put
    // the log in another folder, under another name, and mix the drives of every folder that
    // shares that start ("./drive" would even become ".KLF").
    const std::size_t separator = base.find_last_of("/\\");
    nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        base.erase(dot);
    return base;
}

} // namespace

std::string logFileName(const std::string& logFileText)
{
    std::size_t nameStart = 0;
    return logFileBase(logFileText, nameStart) + ".KLF";
}

std::string logFileNameRefusal(const std::string& logFileText)
{
    if (logFileText.empty())
        return "No log file name is given.";
    std::size_t nameStart = 0;
    const std::string base = logFileBase(logFileText, nameStart);
    if (base.size() > nameStart)
        return std::string();
    // Nothing was cut at a dot: the text ends in the separator.
    if (base.size() == bytesOfFirstChars(logFileText, kLogFileTextMaxChars))
        return "The log file name \"" + logFileText +
               "\" ends in a folder separator: a file name must follow it.";
    return "The log file name \"" + logFileText +
           "\" has no name before its extension: it would log to a hidden \".KLF\".";
}

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
