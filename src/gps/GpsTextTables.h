#pragma once

// The GPS receiver's coded values in words, as the GPS panel shows them.
namespace zentor {

constexpr int kFixModeCount = 8;
constexpr int kAntennaSenseCount = 4;
constexpr int kCompassPointCount = 16;
constexpr int kHeadingSectorTenthsDeg = 225; // 22.5 degrees per compass point
constexpr int kHeadingLimitTenthsDeg = kCompassPointCount * kHeadingSectorTenthsDeg; // 3600

// Receiver status byte 1 bits 7-5: "Reserved" ... "3D Fix". An index outside 0-7 gives "".
const char* fixModeText(int fixMode);

// Receiver status byte 2 bits 2-1: "OK", "Overcurrent", "Undercurrent", "NV". Outside 0-3: "".
const char* antennaText(int antennaSense);

// The compass point whose 22.5-degree sector, starting at the point, holds the heading: 0-224
// tenths of a degree is "N", 225-449 "NNE", ..., 3375-3599 "NNW". A heading outside 0-3599 is not
// a direction the receiver can report and has no compass point: "".
const char* compassPointText(int headingTenthsDeg);

} // namespace zentor
