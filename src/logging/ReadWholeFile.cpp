#include "logging/ReadWholeFile.h"

#include <cerrno>
#include <exception>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zentor {

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::generic_category().message(errno);
        return false;
    }
    // A folder opens but fails on the first read; the stream reports that by throwing.
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        in.setstate(std::ios::badbit);
    }
    if (in.bad()) {
        error = std::generic_category().message(errno);
        return false;
    }
    return true;
}

} // namespace zentor
