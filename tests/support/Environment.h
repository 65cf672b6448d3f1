#pragma once

// Setting and removing environment variables in tests, on POSIX systems and on Windows, where the
// C runtime's _putenv_s also changes what GetEnvironmentVariableA and child processes see.
#include <cstdlib>
#include <string>

namespace zentor::test {

inline void setEnv(const std::string& name, const std::string& value)
{
#ifdef _WIN32
    ::_putenv_s(name.c_str(), value.c_str());
#else
    ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

// On Windows an empty value removes the variable.
inline void unsetEnv(const std::string& name)
{
#ifdef _WIN32
    ::_putenv_s(name.c_str(), "");
#else
    ::unsetenv(name.c_str());
#endif
}

} // namespace zentor::test
