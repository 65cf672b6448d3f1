#include "core/TextFormat.h"

#include <cstdio>
#include <vector>

namespace zentor {

std::string formatText(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::string text = formatTextV(format, arguments);
    va_end(arguments);
    return text;
}

std::string formatTextV(const char* format, std::va_list arguments)
{
    // Most texts fit the first buffer; a longer one is formed again at its measured length.
    char small[256];
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, arguments);
    if (length < 0) {
        va_end(again);
        return {};
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        va_end(again);
        return std::string(small, static_cast<std::size_t>(length));
    }
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    va_end(again);
    return std::string(large.data(), static_cast<std::size_t>(length));
}

} // namespace zentor
