#include "platform/SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

// The descriptor stays non-blocking for its whole life and every wait is a poll() with a
// deadline, so no call can block without a bound. With VMIN 1 and VTIME 0, read() on a live line
// with nothing waiting fails with EAGAIN, while 0 means end of file: the line hung up.
namespace zentor {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long a write waits for the line to take more bytes before it gives up with a short count.
constexpr milliseconds kWriteStallTimeout{1000};
// The longest total read time-out, as on Windows where the time-out is a 32-bit millisecond count.
constexpr std::uint64_t kLongestReadMs = 0xFFFFFFFFu;
constexpr short kLineDownEvents = POLLHUP | POLLERR | POLLNVAL;

struct BaudRate
{
    int bitsPerSecond;
    speed_t speed;
};
constexpr BaudRate kBaudRates[] = {{1200, B1200},   {2400, B2400},    {4800, B4800},
                                   {9600, B9600},   {19200, B19200},  {38400, B38400},
                                   {57600, B57600}, {115200, B115200}};

std::string errorText(int error)
{
    return std::generic_category().message(error);
}

// errno values that mean the line or the device is gone for good.
bool isLineGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

// The text for a failed call, which says so when the failure means the line hung up.
std::string describeFailure(const char* call, int error)
{
    const std::string failure = std::string(call) + ": " + errorText(error);
    return isLineGone(error) ? "the line hung up (" + failure + ")" : failure;
}

int pollTimeoutMs(Clock::duration remaining)
{
    if (remaining <= Clock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<milliseconds>(remaining).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, INT_MAX));
}

// What one read or write loop achieved and, if it ended early, why.
struct Transfer
{
    std::size_t done = 0;
    int error = 0;         // errno of the call that failed, 0 if none did
    bool hangUp = false;   // end of file or a hang-up event
    bool stalled = false;  // the line took no bytes within kWriteStallTimeout
    const char* call = ""; // the call that failed

    bool ok() const { return error == 0 && !hangUp && !stalled; }
    bool lineGone() const { return hangUp || isLineGone(error); }
    std::string problem() const
    {
        if (hangUp)
            return "the line hung up";
        if (stalled)
            return "write stalled: the line took no bytes for " +
                   std::to_string(kWriteStallTimeout.count()) + " ms";
        return describeFailure(call, error);
    }
};

// Reads until n bytes are in, the deadline passes, or (once some bytes are in and interval is
// not 0) no byte arrived for interval. Always looks at the line at least once, so even a read
// whose deadline has passed sees a hang-up.
Transfer readUntil(int fd, std::uint8_t* buffer, std::size_t n, Clock::time_point deadline,
                   milliseconds interval)
{
    Transfer t;
    Clock::time_point lastByte{};
    bool lineDown = false; // poll reported a hang-up; the next empty read confirms it
    while (t.done < n) {
        const ssize_t got = ::read(fd, buffer + t.done, n - t.done);
        if (got > 0) {
            t.done += static_cast<std::size_t>(got);
            lastByte = Clock::now();
            continue;
        }
        if (got == 0) {
            t.hangUp = true;
            return t;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            t.error = errno;
            t.call = "read";
            return t;
        }
        if (lineDown) {
            t.hangUp = true;
            return t;
        }
        Clock::time_point until = deadline;
        if (t.done > 0 && interval.count() > 0)
            until = std::min(until, lastByte + interval);
        pollfd line{fd, POLLIN, 0};
        const int ready = ::poll(&line, 1, pollTimeoutMs(until - Clock::now()));
        if (ready < 0 && errno != EINTR) {
            t.error = errno;
            t.call = "poll";
            return t;
        }
        if (ready == 0 && Clock::now() >= until)
            return t;
        if (ready > 0 && (line.revents & kLineDownEvents))
            lineDown = true;
    }
    return t;
}

// Writes all n bytes, waiting while the line takes them.
Transfer writeAll(int fd, const std::uint8_t* data, std::size_t n)
{
    Transfer t;
    auto stallDeadline = Clock::now() + kWriteStallTimeout;
    while (t.done < n) {
        const ssize_t put = ::write(fd, data + t.done, n - t.done);
        if (put > 0) {
            t.done += static_cast<std::size_t>(put);
            stallDeadline = Clock::now() + kWriteStallTimeout;
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            t.error = errno;
            t.call = "write";
            return t;
        }
        pollfd line{fd, POLLOUT, 0};
        const int ready = ::poll(&line, 1, pollTimeoutMs(stallDeadline - Clock::now()));
        if (ready < 0 && errno != EINTR) {
            t.error = errno;
            t.call = "poll";
            return t;
        }
        if (ready > 0 && (line.revents & kLineDownEvents)) {
            t.hangUp = true;
            return t;
        }
        if (ready == 0 && Clock::now() >= stallDeadline) {
            t.stalled = true;
            return t;
        }
    }
    return t;
}

// Puts the line in raw 8N1 at the given speed and takes it for this process alone. Returns
// what went wrong, or an empty text.
std::string configureLine(int fd, speed_t speed)
{
    termios line{};
    if (::tcgetattr(fd, &line) < 0)
        return "not a serial line: " + errorText(errno);
    if (::ioctl(fd, TIOCEXCL) < 0)
        return "cannot be opened exclusively: " + errorText(errno);
    // Raw mode: without it the line discipline turns 0x0D into 0x0A, swallows 0x11 and 0x13 as
    // flow control, echoes input and rewrites output.
    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 1; // so that an empty read is EAGAIN and 0 stays end of file
    line.c_cc[VTIME] = 0;
    if (::cfsetispeed(&line, speed) < 0 || ::cfsetospeed(&line, speed) < 0 ||
        ::tcsetattr(fd, TCSANOW, &line) < 0)
        return "line settings refused: " + errorText(errno);
    // DTR off, RTS on. A pseudo-terminal has no modem lines and refuses these: that is fine.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &dtr);
    ::ioctl(fd, TIOCMBIS, &rts);
    return {};
}

} // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort()
{
    close();
}

bool SerialPort::open(const std::string& device, const SerialSettings& settings)
{
    close();
    device_ = device;
    inUse_ = false;
    const auto rate =
        std::find_if(std::begin(kBaudRates), std::end(kBaudRates),
                     [&](const BaudRate& r) { return r.bitsPerSecond == settings.baudRate; });
    if (rate == std::end(kBaudRates)) {
        setError(device + ": unsupported baud rate " + std::to_string(settings.baudRate));
        return false;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        inUse_ = errno == EBUSY;
        setError(inUse_ ? device + ": in use by another program"
                        : "cannot open " + device + ": " + errorText(errno));
        return false;
    }
    // Taken before the line is touched: a program that finds the port held must not change
    // its settings or drop the bytes waiting for the holder.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        inUse_ = true;
        setError(device + ": in use by another program");
        return false;
    }
    const std::string problem = configureLine(fd, rate->speed);
    if (!problem.empty()) {
        ::close(fd);
        setError(device + ": " + problem);
        return false;
    }
    handle_ = fd;
    timeouts_ = settings.timeouts;
    return true;
}

void SerialPort::close()
{
    if (isOpen())
        ::close(handle_);
    handle_ = kClosedHandle;
    hungUp_.store(false, std::memory_order_release);
}

long SerialPort::bytesWaiting()
{
    if (!usable())
        return -1;
    int count = 0;
    while (::ioctl(handle_, FIONREAD, &count) < 0) {
        const int error = errno;
        if (error != EINTR)
            return failed(describeFailure("FIONREAD", error), isLineGone(error), 0);
    }
    if (count > 0)
        return count;
    // An empty queue may also be a line that is gone; only poll tells the two apart.
    pollfd line{handle_, POLLIN, 0};
    if (::poll(&line, 1, 0) > 0 && (line.revents & kLineDownEvents))
        return failed("the line hung up", true, 0);
    return 0;
}

long SerialPort::read(std::uint8_t* buffer, std::size_t n)
{
    if (!usable())
        return -1;
    n = std::min(n, kMaxSerialTransferBytes);
    const std::uint64_t totalMs = std::min<std::uint64_t>(
        std::uint64_t{timeouts_.readTotalPerByteMs} * n + timeouts_.readTotalConstantMs,
        kLongestReadMs);
    const Transfer t = readUntil(handle_, buffer, n, Clock::now() + milliseconds(totalMs),
                                 milliseconds(timeouts_.readIntervalMs));
    return t.ok() ? static_cast<long>(t.done) : failed(t.problem(), t.lineGone(), t.done);
}

long SerialPort::readWaiting(std::uint8_t* buffer, std::size_t n)
{
    if (!usable())
        return -1;
    n = std::min(n, kMaxSerialTransferBytes);
    const Transfer t = readUntil(handle_, buffer, n, Clock::now(), milliseconds(0));
    return t.ok() ? static_cast<long>(t.done) : failed(t.problem(), t.lineGone(), t.done);
}

long SerialPort::write(const std::uint8_t* data, std::size_t n)
{
    if (!usable())
        return -1;
    n = std::min(n, kMaxSerialTransferBytes);
    const Transfer t = writeAll(handle_, data, n);
    return t.ok() ? static_cast<long>(t.done) : failed(t.problem(), t.lineGone(), t.done);
}

void SerialPort::purge()
{
    if (isOpen())
        ::tcflush(handle_, TCIOFLUSH);
}

} // namespace zentor
