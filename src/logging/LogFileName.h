#pragma once

#include <cstddef>
#include <string>

namespace zentor {

// The most characters of the LogFile text that a log file name is formed from.
constexpr std::size_t kLogFileTextMaxChars = 511;

// The log file name for the main window's LogFile text (UTF-8): the text, cut to its first
// kLogFileTextMaxChars characters, up to (not including) the last "." of its file name part
// (after the last "/" or "\\") if that holds one, then ".KLF": "a.b/run" gives "a.b/run.KLF".
std::string logFileName(const std::string& logFileText);

} // namespace zentor
