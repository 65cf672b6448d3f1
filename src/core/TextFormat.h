#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// Lets the compiler check printf-style arguments against their format. MinGW's C++ library
// formats with its own ANSI printf (%zu included), which it names __MINGW_PRINTF_FORMAT.
#if defined(__MINGW_PRINTF_FORMAT)
#define ZENTOR_PRINTF_FORMAT(formatIndex, firstArgument)                                           \
    __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstArgument)))
#elif defined(__GNUC__) || defined(__clang__)
#define ZENTOR_PRINTF_FORMAT(formatIndex, firstArgument)                                           \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define ZENTOR_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

namespace zentor {

// Forms a text printf-style, of any length. Objects (std::string, QString) cannot be passed
// through the variadic arguments: the compiler rejects them, so pass c_str().
std::string formatText(const char* format, ...) ZENTOR_PRINTF_FORMAT(1, 2);
std::string formatTextV(const char* format, std::va_list arguments);

} // namespace zentor
