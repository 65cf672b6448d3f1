#include "RecordFile.h"

#include <chrono>

namespace zentor::sim {

bool RecordFile::open(const std::string& path)
{
    out_.open(path, std::ios::binary | std::ios::trunc);
    return out_.is_open();
}

bool RecordFile::openTimes(const std::string& path)
{
    times_.open(path, std::ios::trunc);
    return times_.is_open();
}

void RecordFile::append(const Bytes& record)
{
    out_.write(reinterpret_cast<const char*>(record.data()),
               static_cast<std::streamsize>(record.size()));
    if (times_.is_open()) {
        const auto unixMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
        times_ << unixMs << ' ' << record.size() << '\n';
    }
}

void RecordFile::flush()
{
    out_.flush();
    times_.flush();
}

} // namespace zentor::sim
