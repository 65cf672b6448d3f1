#pragma once

#include <string>

namespace zentor::sim {

// The simulator's end of a pseudo-terminal pair (POSIX only). The data logger, or a test, opens
// the other end (the slave, slavePath()) as its serial port. Raw mode is set through our end, so
// the line passes every byte unchanged (0x0D, 0x11, 0x13 included) and echoes nothing.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Creates the pair. Returns false, with `error` saying why, when that fails.
    bool open(std::string& error);

    const std::string& slavePath() const { return slavePath_; }

    // Our end, non-blocking. -1 before open().
    int fd() const { return fd_; }

    // True while some client holds the slave open (our end then reports no hang-up).
    bool clientPresent() const;

    // Raw mode, 38400 8N1, on the line. Also called when a client connects, in case the line
    // was changed since.
    void makeRaw();

    // Bytes written to the client that it has not read yet, or -1 when that cannot be told.
    int unreadByClient() const;

    // After a client closed the port: drops what it left unread and what it wrote that we did
    // not take, so that the next client starts on a clean line.
    void clearLine();

private:
    int fd_ = -1;
    std::string slavePath_;
};

} // namespace zentor::sim
