#include "platform/ComPortName.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace zentor {
namespace {

// The value of an environment variable, empty when it is not set (on Windows also when it is
// longer than a path can be).
std::string environmentValue(const std::string& name)
{
#ifdef _WIN32
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
#else
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
#endif
}

} // namespace

std::string comPortDevice(int portNumber)
{
    if (portNumber < 1)
        return {};
    const std::string mapped = environmentValue("ZENTOR_COM" + std::to_string(portNumber));
    if (!mapped.empty())
        return mapped;
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

} // namespace zentor
