#pragma once

#include <cstddef>
#include <cstdint>

// The two hand-overs that leave the receiver protocol: frames to the instrument and packet
// records to the log.
namespace zentor {

// Writes built frames to the instrument (the link thread's write path).
class FrameWriter
{
public:
    virtual ~FrameWriter() = default;
    // Writes all n bytes; true when every byte was written. Any thread may call it.
    virtual bool Write(const std::uint8_t* frame, std::size_t n) = 0;
};

// Takes packet records for the log file (the log router).
class LogSink
{
public:
    virtual ~LogSink() = default;
    // Copies `count` bytes and returns at once; it never waits on the disk. Called on the link
    // thread and the TravelPilot thread.
    virtual void handOver(const std::uint8_t* data, std::uint16_t count) = 0;
};

} // namespace zentor
