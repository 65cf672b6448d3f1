#pragma once

#include "SimPacket.h"

#include <fstream>
#include <string>

namespace zentor::sim {

// The record file: packet records in the log file's layout (16-bit little-endian length L, then
// the L body bytes), one after another, with no header. Closed and flushed when destroyed.
class RecordFile
{
public:
    // Creates (or empties) the file. Returns false when it cannot be created.
    bool open(const std::string& path);

    // Appends one packet record as it is (its L field included).
    void append(const Bytes& record);

    void flush();

private:
    std::ofstream out_;
};

} // namespace zentor::sim
