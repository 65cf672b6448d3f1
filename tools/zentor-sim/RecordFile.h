#pragma once

#include "SimPacket.h"

#include <fstream>
#include <string>

namespace zentor::sim {

// The record file: packet records in the log file's layout (16-bit little-endian length L, then
// the L body bytes), one after another, with no header; and, when asked for, its times file: one
// line per record, "<Unix time in ms> <record bytes>", taken as the record is appended (which is
// when its last byte has been written to the line). Closed and flushed when destroyed.
class RecordFile
{
public:
    // Creates (or empties) the file. Returns false when it cannot be created.
    bool open(const std::string& path);
    // Creates (or empties) the times file. Returns false when it cannot be created.
    bool openTimes(const std::string& path);

    // Appends one packet record as it is (its L field included), and its line to the times file.
    void append(const Bytes& record);

    void flush();

private:
    std::ofstream out_;
    std::ofstream times_;
};

} // namespace zentor::sim
