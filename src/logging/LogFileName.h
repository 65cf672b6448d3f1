#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor {

// The most characters of the LogFile text that a log file name is formed from.
constexpr std::size_t kLogFileTextMaxChars = 511;

// The log file name for the main window's LogFile text (UTF-8): the text, cut to its first
// kLogFileTextMaxChars characters, up to (not including) the last "." of its file name part
// (after the last "/" or "\\") if that holds one, then ".KLF": "a.b/run" gives "a.b/run.KLF".
std::string logFileName(const std::string& logFileText);

// Why the LogFile text gives no log file to write, or empty when it gives one. A text that is
// empty, ends in a folder separator ("/data/run/") or has nothing before the dot that the
// extension replaces (".drive") would log to a hidden ".KLF" that no one looks for; such a name is
// refused with this reason and log mode stays off.
std::string logFileNameRefusal(const std::string& logFileText);

// A file size in whole kilobytes, as the main window shows it: bytes / 1024 rounded toward zero;
// 0 for a missing file (a negative size), at most the largest 32-bit value.
std::int32_t logFileSizeKb(std::int64_t bytes);

// The text of the edFileSize field for a size in kilobytes, "%ld kB".
std::string logFileSizeText(std::int32_t kb);

} // namespace zentor
