#pragma once

#include <cstdint>
#include <string>

namespace zentor {

// The colour range bound that an edit box of the map range dialog holds: the text read as a
// decimal integer the way the C library's atoi reads it (leading blanks skipped, then an
// optional sign, then digits up to the first non-digit; no digits give 0), but clamped to the
// 16-bit range instead of wrapping: "-40000" gives -32768, "99999" gives 32767.
std::int16_t rangeValueFromText(const std::string& text);

} // namespace zentor
