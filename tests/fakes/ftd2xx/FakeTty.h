#pragma once

#include <cstddef>

// The stand-in's pass-through to a terminal device, such as the pseudo-terminal of the
// instrument simulator. Plain POSIX calls on a file descriptor; the caller keeps the descriptor.
namespace fake_ftd2xx {

// Opens the terminal for reading and writing in raw mode (no control-character handling, no
// echo, 8 bits, receiver on, modem lines ignored), not as controlling terminal. -1 on failure.
int openRawTty(const char* path);

void closeTty(int fd);

// The bytes waiting to be read; -1 when the descriptor cannot tell or, with nothing left to
// read, the other side of the terminal has hung up.
int ttyBytesWaiting(int fd);

// Reads up to `count` bytes, waiting at most timeoutMs for all of them to arrive, and gives the
// number read; -1 when the terminal hung up or failed before any byte came.
int readTty(int fd, unsigned char* buffer, std::size_t count, int timeoutMs);

// Writes all `count` bytes; false when the terminal failed part way.
bool writeTty(int fd, const unsigned char* data, std::size_t count);

} // namespace fake_ftd2xx
