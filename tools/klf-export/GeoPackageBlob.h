#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The GeoPackage's geometry blobs: a header ("GP", version 0, flags, the spatial reference
// system's id and, where it helps, the envelope), then the geometry as ISO WKB; two-dimensional,
// little-endian, longitude as x and latitude as y.
namespace zentor::klfexport {

// WGS 84 longitude and latitude in degrees (EPSG 4326).
constexpr std::int32_t kWgs84 = 4326;

using Blob = std::vector<std::uint8_t>;

// A point, without an envelope (its own coordinates are one).
Blob pointBlob(double longitudeDeg, double latitudeDeg);

// A multi-line string with its envelope, built a point at a time: a line per stretch of the
// route without a gap. A stretch of a single point is no line and is left out.
class MultiLineBlob
{
public:
    void startLine();
    void add(double longitudeDeg, double latitudeDeg);
    // None when there is no line of two points or more.
    std::optional<Blob> blob() const;

private:
    std::vector<double> coordinates_;       // x, y, x, y, ...
    std::vector<std::size_t> lineStarts_{}; // the index in coordinates_ where each line starts
};

// The bounds of a blob, as the spatial index takes them.
struct BlobBounds
{
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

// From the blob's envelope, or from a point's coordinates when it has none; none for a blob that
// is not a GeoPackage geometry, is empty (by its flag, or a point without coordinates), or is
// another geometry without an envelope.
std::optional<BlobBounds> blobBounds(const std::uint8_t* blob, std::size_t size);

} // namespace zentor::klfexport
