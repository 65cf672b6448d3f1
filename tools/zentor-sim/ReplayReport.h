#pragma once

#include "SimPacket.h"
#include "logging/ReplayLog.h"

#include <string>

namespace zentor::sim {

// Reads a whole file. Returns false, with `error` saying why, when it cannot be read.
bool readLogFile(const std::string& path, Bytes& bytes, std::string& error);

// Two lines or so for the user: how many packets a replay of the log sends, and what of the file
// it leaves out and why.
std::string describeReplayLog(const std::string& path, const ReplayLog& log);

} // namespace zentor::sim
