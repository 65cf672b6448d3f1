#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor::klfexport {

// SHA-256 (FIPS 180-4) of a run of bytes given piece by piece: what tells one log file's bytes
// from another's when a drive is added to a GeoPackage.
class Sha256
{
public:
    Sha256();
    void add(const std::uint8_t* bytes, std::size_t n);
    // The digest as 64 lower-case hex digits; the object is spent.
    std::string hex();

private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingBytes_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace zentor::klfexport
