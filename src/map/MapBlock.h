#pragma once

#include <cstdint>
#include <string>

// The shared block of the map feed (kMapBlockBytes, little-endian):
//
//   offset  width  field
//   0       11     "QXVTAVRINE" and its terminating 0
//   12      2      16-bit integer 100
//   16      8      latitude of the unfiltered GPS position, degrees, positive north, IEEE double
//   24      8      longitude of the unfiltered GPS position, degrees, positive east, IEEE double
//   32      2      16-bit integer 1
//   34      2      RSSI reading, dBm, signed
//   36      1      0: the 256-byte text field at 36 holds an empty text
//   292     2      colour range minimum, dBm, signed
//   294     2      colour range maximum, dBm, signed
//   296     1      byte 1
//   297     ...    the instrument's serial number text and its terminating 0
//
// Every other byte (11, 14-15, 37-291, the bytes after the serial number) is left as it is; a
// new block is all zero there.
namespace zentor {

// What one publication puts into the block.
struct MapFeedValues
{
    double latitudeDeg = 0.0;
    double longitudeDeg = 0.0;
    std::int16_t rssiDbm = 0;
    std::int16_t rangeMinDbm = 0;
    std::int16_t rangeMaxDbm = 0;
    std::string serialNumber; // cut where it would not fit the block with its terminating 0
};

// Writes the fields of the table into `block` (kMapBlockBytes) and nothing else.
void composeMapBlock(std::uint8_t* block, const MapFeedValues& values);

// What a reader finds in a block.
struct MapBlockContents
{
    bool marked = false; // the block starts with "QXVTAVRINE" and its 0: a publication was made
    MapFeedValues values;
};
MapBlockContents readMapBlockContents(const std::uint8_t* block);

} // namespace zentor
