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

namespace {

const char* const kZeroWidthSpace = "\xE2\x80\x8B";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool startsCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// One run of characters without a blank, with its break opportunities.
std::string wrappableRun(const std::string& run)
{
    std::size_t characters = 0;
    for (const char c : run)
        characters += startsCharacter(c);
    if (characters <= kLongestUnbrokenRun)
        return run;
    std::string out;
    std::size_t sinceBreak = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
        out += run[i];
        const bool characterEnds = i + 1 == run.size() || startsCharacter(run[i + 1]);
        if (!characterEnds)
            continue;
        ++sinceBreak;
        if (i + 1 < run.size() &&
            (run[i] == '/' || run[i] == '\\' || sinceBreak == kLongestUnbrokenRun)) {
            out += kZeroWidthSpace;
            sinceBreak = 0;
        }
    }
    return out;
}

} // namespace

std::string wrappableText(const std::string& text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        out += wrappableRun(text.substr(i, end - i));
        i = end;
    }
    return out;
}

} // namespace zentor
