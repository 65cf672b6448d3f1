#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zentor::sim {

PseudoTerminal::~PseudoTerminal()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool PseudoTerminal::open(std::string& error)
{
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ::ptsname(fd_);
    if (name == nullptr) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    makeRaw();
    // A slave that was never opened does not count as hung up; once opened and closed it does,
    // until the next client opens it. That hang-up is how clientPresent() sees a client.
    clearLine();
    return true;
}

bool PseudoTerminal::clientPresent() const
{
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

void PseudoTerminal::makeRaw()
{
    // On Linux the terminal settings made through our end are the slave's.
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        return;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    ::cfsetispeed(&t, B38400);
    ::cfsetospeed(&t, B38400);
    ::tcsetattr(fd_, TCSANOW, &t);
}

int PseudoTerminal::unreadByClient() const
{
    // Our end cannot see the slave's input queue; a second handle on the slave can.
    const int slave = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0)
        return -1;
    int unread = 0;
    if (::ioctl(slave, FIONREAD, &unread) != 0)
        unread = -1;
    ::close(slave);
    return unread;
}

void PseudoTerminal::clearLine()
{
    // Flushing through our end leaves the slave's unread input in place; only an open slave can
    // drop it.
    const int slave = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0)
        return;
    ::tcflush(slave, TCIOFLUSH);
    ::close(slave);
}

} // namespace zentor::sim
