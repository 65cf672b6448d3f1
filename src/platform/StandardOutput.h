#pragma once

namespace zentor {

// Puts standard output into binary mode, so that a program's bytes go out as they are: on
// Windows the C library otherwise turns every "\n" into "\r\n" (a CSV's "\r\n" then becomes
// "\r\r\n"). POSIX makes no such difference, so there it does nothing. Call it before the first
// write to standard output.
void setStandardOutputBinary();

} // namespace zentor
