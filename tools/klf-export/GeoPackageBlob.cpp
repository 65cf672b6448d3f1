#include "GeoPackageBlob.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zentor::klfexport {

namespace {

constexpr std::uint8_t kLittleEndian = 0x01; // the flags' bit 0, and WKB's byte order byte
constexpr std::uint8_t kEnvelopeXy = 0x02;   // flags bits 1-3 = 1: minx, maxx, miny, maxy
constexpr std::uint8_t kEmptyFlag = 0x10;
constexpr std::size_t kHeaderBytes = 8;
constexpr std::uint32_t kWkbPoint = 1;
constexpr std::uint32_t kWkbLineString = 2;
constexpr std::uint32_t kWkbMultiLineString = 5;
// Doubles in the envelope for envelope codes 0-4.
constexpr std::size_t kEnvelopeDoubles[] = {0, 4, 6, 6, 8};

void put32(Blob& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putDouble(Blob& b, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

Blob header(bool envelope)
{
    Blob b = {'G', 'P', 0, static_cast<std::uint8_t>(kLittleEndian | (envelope ? kEnvelopeXy : 0))};
    put32(b, static_cast<std::uint32_t>(kWgs84));
    return b;
}

// Reads a double or a 32-bit number in the byte order given.
double readDouble(const std::uint8_t* p, bool little)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t{p[little ? i : 7 - i]} << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::uint32_t read32(const std::uint8_t* p, bool little)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t{p[little ? i : 3 - i]} << (8 * i);
    return v;
}

} // namespace

Blob pointBlob(double longitudeDeg, double latitudeDeg)
{
    Blob b = header(false);
    b.push_back(kLittleEndian);
    put32(b, kWkbPoint);
    putDouble(b, longitudeDeg);
    putDouble(b, latitudeDeg);
    return b;
}

void MultiLineBlob::startLine()
{
    lineStarts_.push_back(coordinates_.size());
}

void MultiLineBlob::add(double longitudeDeg, double latitudeDeg)
{
    if (lineStarts_.empty())
        startLine();
    coordinates_.push_back(longitudeDeg);
    coordinates_.push_back(latitudeDeg);
}

std::optional<Blob> MultiLineBlob::blob() const
{
    std::vector<std::pair<std::size_t, std::size_t>> lines; // first coordinate, points
    double minX = HUGE_VAL, maxX = -HUGE_VAL, minY = HUGE_VAL, maxY = -HUGE_VAL;
    for (std::size_t l = 0; l < lineStarts_.size(); ++l) {
        const std::size_t begin = lineStarts_[l];
        const std::size_t end =
            l + 1 < lineStarts_.size() ? lineStarts_[l + 1] : coordinates_.size();
        if ((end - begin) / 2 < 2)
            continue;
        lines.emplace_back(begin, (end - begin) / 2);
        for (std::size_t i = begin; i < end; i += 2) {
            minX = std::min(minX, coordinates_[i]);
            maxX = std::max(maxX, coordinates_[i]);
            minY = std::min(minY, coordinates_[i + 1]);
            maxY = std::max(maxY, coordinates_[i + 1]);
        }
    }
    if (lines.empty())
        return std::nullopt;
    Blob b = header(true);
    for (double v : {minX, maxX, minY, maxY})
        putDouble(b, v);
    b.push_back(kLittleEndian);
    put32(b, kWkbMultiLineString);
    put32(b, static_cast<std::uint32_t>(lines.size()));
    for (const auto& [begin, points] : lines) {
        b.push_back(kLittleEndian);
        put32(b, kWkbLineString);
        put32(b, static_cast<std::uint32_t>(points));
        for (std::size_t i = begin; i < begin + 2 * points; ++i)
            putDouble(b, coordinates_[i]);
    }
    return b;
}

std::optional<BlobBounds> blobBounds(const std::uint8_t* blob, std::size_t size)
{
    if (blob == nullptr || size < kHeaderBytes || blob[0] != 'G' || blob[1] != 'P' ||
        (blob[3] & kEmptyFlag) != 0)
        return std::nullopt;
    const bool little = (blob[3] & kLittleEndian) != 0;
    const std::size_t envelope = (blob[3] >> 1) & 0x07;
    if (envelope >= sizeof kEnvelopeDoubles / sizeof kEnvelopeDoubles[0])
        return std::nullopt;
    const std::size_t wkb = kHeaderBytes + 8 * kEnvelopeDoubles[envelope];
    if (size < wkb)
        return std::nullopt;
    if (envelope != 0) {
        const std::uint8_t* e = blob + kHeaderBytes;
        return BlobBounds{readDouble(e, little), readDouble(e + 8, little),
                          readDouble(e + 16, little), readDouble(e + 24, little)};
    }
    // A point: the byte order, the type, x and y.
    if (size < wkb + 21)
        return std::nullopt;
    const bool wkbLittle = blob[wkb] == kLittleEndian;
    if (read32(blob + wkb + 1, wkbLittle) != kWkbPoint)
        return std::nullopt;
    const double x = readDouble(blob + wkb + 5, wkbLittle);
    const double y = readDouble(blob + wkb + 13, wkbLittle);
    if (std::isnan(x) || std::isnan(y))
        return std::nullopt;
    return BlobBounds{x, x, y, y};
}

} // namespace zentor::klfexport
