#pragma once

// Packet data of the receiver protocol tests, and recording stand-ins for what the protocol
// talks to: the instrument's write path and the log router.
#include "link/LinkInterfaces.h"
#include "support/PacketBytes.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace zentor::test {

// A receiver's configuration block: start count, stop count, step x 256, int32 LE each.
inline Bytes configurationBlock(std::int32_t start, std::int32_t stop, std::int32_t stepTimes256)
{
    return cat({le32(start), le32(stop), le32(stepTimes256)});
}

// A receiver's status block: ten list counts from `first` in steps of 3.
inline Bytes statusBlock(std::int32_t first)
{
    Bytes block;
    for (int k = 0; k < 10; ++k)
        block = cat({block, le32(first + 3 * k)});
    return block;
}

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
