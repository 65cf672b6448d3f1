#pragma once

// The data logger's side of the simulator's pseudo-terminals, for the tests that run the
// simulator program: opening a port as a raw serial line, reading with a deadline, and finding
// the frames in what was read.
#include "SimTestSupport.h"
#include "link/FrameAssembler.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zentor::sim::test {

using Clock = std::chrono::steady_clock;

// Opens a port by its link as a raw serial line, waiting for the link to appear.
inline int openPort(const std::string& link, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
        if (fd >= 0) {
            termios t{};
            ::tcgetattr(fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd, TCSANOW, &t);
            return fd;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

// Reads until the simulator closes the line, until `enough` bytes have come (when not 0), or
// until the time-out.
inline Bytes readPort(int fd, std::size_t enough, int timeoutMs)
{
    Bytes got;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end && (enough == 0 || got.size() < enough)) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        std::uint8_t buffer[4096];
        const ssize_t n = ::read(
            fd, buffer, enough == 0 ? sizeof buffer : std::min(sizeof buffer, enough - got.size()));
        if (n <= 0 && !(n < 0 && errno == EINTR))
            break; // 0 or EIO: the simulator has closed its end
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

// The packet records the data logger's frame assembler finds, in order.
inline std::vector<Bytes> framed(const Bytes& stream)
{
    TFrameAssembler assembler;
    std::vector<Bytes> records;
    for (std::uint8_t b : stream)
        if (assembler.PushByte(b) == 0)
            records.emplace_back(assembler.record().data,
                                 assembler.record().data + assembler.record().size);
    return records;
}

// Records concatenated, as in a log file or a record file.
inline Bytes joined(const std::vector<Bytes>& records)
{
    Bytes all;
    for (const Bytes& r : records)
        all.insert(all.end(), r.begin(), r.end());
    return all;
}

// A file that a test adds to the simulator's folder, removed when the test ends (declare it
// after the simulator process, so that it goes before the folder does).
struct RemovedAtEnd
{
    std::string path;
    ~RemovedAtEnd() { ::unlink(path.c_str()); }
};

inline void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace zentor::sim::test
