#pragma once

// Recording stand-ins for what the receiver protocol talks to: the instrument's write path and
// the log router.
#include "link/LinkInterfaces.h"
#include "support/PacketBytes.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace zentor::test {

class RecordingWriter : public FrameWriter
{
public:
    bool Write(const std::uint8_t* frame, std::size_t n) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        frames.emplace_back(frame, frame + n);
        return true;
    }
    std::vector<Bytes> taken()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return std::move(frames);
    }
    std::mutex mutex;
    std::vector<Bytes> frames;
};

class RecordingLog : public LogSink
{
public:
    void handOver(const std::uint8_t* data, std::uint16_t count) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        records.emplace_back(data, data + count);
    }
    std::vector<Bytes> taken()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return records;
    }
    std::mutex mutex;
    std::vector<Bytes> records;
};

} // namespace zentor::test
