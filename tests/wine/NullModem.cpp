// null-modem LINK_A LINK_B: two pseudo-terminals joined like two serial ports on a null-modem
// cable, for the Windows tests under Wine, where LINK_A and LINK_B are the symbolic links
// that the Wine prefix maps COMn to (build/wine-ports/comN). Bytes written to one terminal are read
// from the other, unchanged. Runs until it is killed.
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Makes one pseudo-terminal, points `link` at its terminal and gives its master. The terminal
// itself is closed here, so that a port that closes it leaves nothing open behind.
int makeSide(const std::string& link)
{
    int master = -1;
    int terminal = -1;
    if (::openpty(&master, &terminal, nullptr, nullptr, nullptr) != 0)
        return -1;
    termios raw{};
    ::tcgetattr(terminal, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(terminal, TCSANOW, &raw);
    const std::string name = ::ttyname(terminal);
    ::close(terminal);
    ::unlink(link.c_str());
    return ::symlink(name.c_str(), link.c_str()) == 0 ? master : -1;
}

void copyWaiting(int from, int to)
{
    char buffer[4096];
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    for (ssize_t done = 0; n > 0 && done < n;) {
        const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(n - done));
        if (put <= 0 && errno != EINTR)
            return; // the other side is gone; the hang-up follows
        done += put > 0 ? put : 0;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: null-modem LINK_A LINK_B\n");
        return 2;
    }
    const int masters[2] = {makeSide(argv[1]), makeSide(argv[2])};
    if (masters[0] < 0 || masters[1] < 0) {
        std::perror("null-modem");
        return 1;
    }
    for (;;) {
        pollfd watch[2] = {{masters[0], POLLIN, 0}, {masters[1], POLLIN, 0}};
        ::poll(watch, 2, 1000);
        bool copied = false;
        for (int i = 0; i < 2; ++i) {
            if (watch[i].revents & POLLIN) {
                copyWaiting(masters[i], masters[1 - i]);
                copied = true;
            }
        }
        // A master reports POLLHUP for as long as its terminal is closed: look again later.
        if (!copied)
            ::usleep(20000);
    }
}
