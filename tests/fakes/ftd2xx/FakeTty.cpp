#include "fakes/ftd2xx/FakeTty.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fake_ftd2xx {

int openRawTty(const char* path)
{
    // Opened without waiting for a carrier, then switched back to blocking reads and writes.
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios mode{};
    if (tcgetattr(fd, &mode) != 0) {
        close(fd);
        return -1;
    }
    cfmakeraw(&mode);
    mode.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(fd, TCSANOW, &mode) != 0 || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void closeTty(int fd)
{
    close(fd);
}

int ttyBytesWaiting(int fd)
{
    int waiting = 0;
    if (ioctl(fd, FIONREAD, &waiting) != 0)
        return -1;
    if (waiting > 0)
        return waiting;
    // A terminal whose other side has gone answers FIONREAD with 0; a device pulled from the USB
    // bus makes the real library fail the status call instead, so the stand-in does the same.
    pollfd watch{fd, POLLIN, 0};
    if (poll(&watch, 1, 0) > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return -1;
    return 0;
}

int readTty(int fd, unsigned char* buffer, std::size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t got = 0;
    while (got < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd watch{fd, POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            break;
        // Bytes still waiting are read before a hang-up is reported.
        const ssize_t n =
            ready > 0 && (watch.revents & POLLIN) ? read(fd, buffer + got, count - got) : 0;
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // hung up or failed
            return got > 0 ? static_cast<int>(got) : -1;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<int>(got);
}

bool writeTty(int fd, const unsigned char* data, std::size_t count)
{
    std::size_t put = 0;
    while (put < count) {
        const ssize_t n = write(fd, data + put, count - put);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        put += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace fake_ftd2xx
