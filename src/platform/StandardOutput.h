#pragma once

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#endif

namespace zentor {

// Puts standard output into binary mode, so that a program's bytes go out as they are: on
// Windows the C library otherwise turns every "\n" into "\r\n" (a CSV's "\r\n" then becomes
// "\r\r\n"). POSIX makes no such difference, so there it does nothing. Call it before the first
// write to standard output.
inline void setStandardOutputBinary()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

} // namespace zentor
