#pragma once

#include <cstdarg>
#include <cstddef>
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

// The longest run of characters without a blank that a message box shows unbroken.
constexpr std::size_t kLongestUnbrokenRun = 40;

// `text` (UTF-8) with invisible break opportunities (U+200B, zero width space) in every run of
// more than kLongestUnbrokenRun characters without a blank: after each "/" and "\\" of it, and
// after every kLongestUnbrokenRun characters that have none, so that a long file name wraps in a
// message box instead of running off its edge. Shorter runs are left as they are.
std::string wrappableText(const std::string& text);

} // namespace zentor
