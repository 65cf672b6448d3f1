#pragma once

// The instrument's end of a real pseudo-terminal, for tests of everything that talks to a serial
// port, and a polling wait with a deadline.
#include "support/WaitUntil.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zentor::test {

using namespace std::chrono_literals;

// The instrument's end of a pseudo-terminal: the test writes and reads the master side, the port
// under test opens the slave by name. The test keeps its own slave descriptor open until the end,
// so master reads never fail for want of a slave, and uses it to look at the line settings. The
// slave starts in the default cooked mode, so only the port's own set-up makes it raw; the master
// side of a Linux pseudo-terminal is raw from the start.
class PtyInstrument
{
public:
    PtyInstrument()
    {
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) == 0) {
            char name[256] = {};
            if (::ttyname_r(slave_, name, sizeof(name)) == 0)
                device_ = name;
        }
    }
    ~PtyInstrument()
    {
        hangUp();
        if (slave_ >= 0)
            ::close(slave_);
    }
    PtyInstrument(const PtyInstrument&) = delete;
    PtyInstrument& operator=(const PtyInstrument&) = delete;

    const std::string& device() const { return device_; }

    void send(const std::vector<std::uint8_t>& bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t put = ::write(master_, bytes.data() + sent, bytes.size() - sent);
            ASSERT_GT(put, 0);
            sent += static_cast<std::size_t>(put);
        }
    }

    // Whatever arrives, until n bytes are in or the deadline passed.
    std::vector<std::uint8_t> receive(std::size_t n, std::chrono::milliseconds within = 3000ms)
    {
        std::vector<std::uint8_t> got;
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (got.size() < n && std::chrono::steady_clock::now() < deadline) {
            pollfd line{master_, POLLIN, 0};
            if (::poll(&line, 1, 20) <= 0)
                continue;
            std::uint8_t chunk[256];
            const ssize_t r = ::read(master_, chunk, std::min(sizeof(chunk), n - got.size()));
            if (r <= 0)
                break;
            got.insert(got.end(), chunk, chunk + r);
        }
        return got;
    }

    // True when nothing arrives at the master for the given time.
    bool quietFor(std::chrono::milliseconds time)
    {
        pollfd line{master_, POLLIN, 0};
        return ::poll(&line, 1, static_cast<int>(time.count())) == 0;
    }

    void hangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    termios lineSettings() const
    {
        termios line{};
        ::tcgetattr(slave_, &line);
        return line;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
};

} // namespace zentor::test
