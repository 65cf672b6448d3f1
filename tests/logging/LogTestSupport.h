#pragma once

// What the log tests share: packet records, a scratch folder with real files, a message sink the
// log thread may post to, a wait with a deadline, and a sample header for the log router.
#include "logging/LogHeader.h"
#include "logging/TLog_Router.h"
#include "support/FileBytes.h"
#include "support/PacketBytes.h"
#include "support/RecordingMessages.h"
#include "support/WaitUntil.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zentor::logtest {

using test::Bytes;
using test::cat;
using test::packetRecord;
using namespace std::chrono_literals;

// A log started before any scan channel information arrived: lead-in, signature, serial number
// and receivers records.
constexpr std::size_t kHeaderWithoutChannelInformation = 63;

// An unknown-type packet record of `dataBytes` bytes whose first four data bytes are `sequence`
// (LE), so a test can tell records apart and see their order.
inline Bytes numberedRecord(std::uint32_t sequence, std::size_t dataBytes)
{
    Bytes data(dataBytes < 4 ? 4 : dataBytes, static_cast<std::uint8_t>(sequence * 7));
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<std::uint8_t>(sequence >> (8 * i));
    return packetRecord(0x3E, data);
}

using test::readFile;
using test::RecordingMessages;

inline void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir
{
public:
    ScratchDir()
    {
        namespace fs = std::filesystem;
        std::random_device seed;
        const fs::path base = fs::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path candidate = base / ("zentor-log-" + std::to_string(seed()));
            std::error_code error;
            if (fs::create_directory(candidate, error))
                path_ = candidate.generic_string();
        }
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Counts calls from another thread; a test waits for them with a deadline.
class CallCounter
{
public:
    std::function<void()> callback()
    {
        return [this] {
            std::lock_guard<std::mutex> lock(mutex_);
            ++calls_;
            changed_.notify_all();
        };
    }
    int calls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    bool waitForCalls(int n, std::chrono::milliseconds within = 5000ms)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, within, [&] { return calls_ >= n; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int calls_ = 0;
};

using test::waitUntil;

// The header of a new file from a receiver 1 instrument "ZT000417", for the log router's tests.
inline Bytes sampleHeader()
{
    LogHeaderInput input;
    input.serialNumber = "ZT000417";
    input.present = {true, false};
    return buildLogHeader(input);
}

inline void handOver(TLog_Router& router, const Bytes& record)
{
    router.handOver(record.data(), static_cast<std::uint16_t>(record.size()));
}

} // namespace zentor::logtest
