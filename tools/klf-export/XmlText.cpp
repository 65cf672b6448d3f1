#include "ExportFormats.h"

namespace zentor::klfexport {

namespace {

// The length of the UTF-8 sequence starting at `i`, or 0 when it is not a valid one (overlong
// forms and surrogates included).
std::size_t utf8Length(const std::string& s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t n = 0;
    unsigned long value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (n == 3 && value < 0x800) || (n == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    const bool notCharacter = value == 0xFFFE || value == 0xFFFF || value > 0x10FFFF;
    return overlong || surrogate || notCharacter ? 0 : n;
}

} // namespace

std::string xmlText(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t n = utf8Length(text, i);
            out.append(n > 0 ? text.substr(i, n) : "?");
            i += n > 0 ? n : 1;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c < 0x20 && c != '\t' && c != '\n' && c != '\r' ? '?' : static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

} // namespace zentor::klfexport
