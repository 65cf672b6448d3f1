#include "map/MapBlock.h"

#include "link/ByteOrder.h"
#include "platform/MapPublisher.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

namespace zentor {

namespace {

static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8,
              "the block carries IEEE 754 doubles");

constexpr char kMark[] = "QXVTAVRINE"; // written with its terminating 0
constexpr std::size_t kMarkOffset = 0;
constexpr std::size_t kFormatOffset = 12;
constexpr std::uint16_t kFormatValue = 100;
constexpr std::size_t kLatitudeOffset = 16;
constexpr std::size_t kLongitudeOffset = 24;
constexpr std::size_t kReadingCountOffset = 32;
constexpr std::uint16_t kReadingCount = 1;
constexpr std::size_t kRssiOffset = 34;
constexpr std::size_t kTextOffset = 36;
constexpr std::size_t kRangeMinOffset = 292;
constexpr std::size_t kRangeMaxOffset = 294;
constexpr std::size_t kSerialFlagOffset = 296;
constexpr std::uint8_t kSerialFlag = 1;
constexpr std::size_t kSerialOffset = 297;
constexpr std::size_t kSerialRoom = kMapBlockBytes - kSerialOffset - 1; // room before the 0

void writeLeDouble(std::uint8_t* p, double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    writeLe32(p, static_cast<std::uint32_t>(bits));
    writeLe32(p + 4, static_cast<std::uint32_t>(bits >> 32));
}

double readLeDouble(const std::uint8_t* p)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(readLe32(p)) |
                               (static_cast<std::uint64_t>(readLe32(p + 4)) << 32);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void writeLeInt16(std::uint8_t* p, std::int16_t value)
{
    writeLe16(p, static_cast<std::uint16_t>(value));
}

std::int16_t readLeInt16(const std::uint8_t* p)
{
    return static_cast<std::int16_t>(readLe16(p));
}

} // namespace

void composeMapBlock(std::uint8_t* block, const MapFeedValues& values)
{
    std::memcpy(block + kMarkOffset, kMark, sizeof(kMark));
    writeLe16(block + kFormatOffset, kFormatValue);
    writeLeDouble(block + kLatitudeOffset, values.latitudeDeg);
    writeLeDouble(block + kLongitudeOffset, values.longitudeDeg);
    writeLe16(block + kReadingCountOffset, kReadingCount);
    writeLeInt16(block + kRssiOffset, values.rssiDbm);
    block[kTextOffset] = 0;
    writeLeInt16(block + kRangeMinOffset, values.rangeMinDbm);
    writeLeInt16(block + kRangeMaxOffset, values.rangeMaxDbm);
    block[kSerialFlagOffset] = kSerialFlag;
    const std::size_t n = std::min(values.serialNumber.size(), kSerialRoom);
    std::memcpy(block + kSerialOffset, values.serialNumber.data(), n);
    block[kSerialOffset + n] = 0;
}

MapBlockContents readMapBlockContents(const std::uint8_t* block)
{
    MapBlockContents c;
    c.marked = std::memcmp(block + kMarkOffset, kMark, sizeof(kMark)) == 0;
    c.values.latitudeDeg = readLeDouble(block + kLatitudeOffset);
    c.values.longitudeDeg = readLeDouble(block + kLongitudeOffset);
    c.values.rssiDbm = readLeInt16(block + kRssiOffset);
    c.values.rangeMinDbm = readLeInt16(block + kRangeMinOffset);
    c.values.rangeMaxDbm = readLeInt16(block + kRangeMaxOffset);
    const std::uint8_t* serial = block + kSerialOffset;
    c.values.serialNumber.assign(serial, std::find(serial, serial + kSerialRoom, 0));
    return c;
}

} // namespace zentor
