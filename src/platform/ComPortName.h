#pragma once

#include <string>

namespace zentor {

// The device behind the port the user knows as "COMn:". The environment variable ZENTOR_COMn,
// when set and not empty, names it (tests and the simulator use ZENTOR_COM1=/dev/pts/N);
// otherwise it is /dev/ttyS<n-1> on Linux and \\.\COMn on Windows, a form that also reaches
// ports above COM9. A number below 1 names no port and gives an empty text, which no open
// accepts. May be called from any thread; reads the environment only.
std::string comPortDevice(int portNumber);

} // namespace zentor
