#pragma once

#include "SimTestSupport.h"

// A small log file as the data logger writes it, built byte by byte for the replay tests: the
// header with a level values record, two seconds of packets between clock packets, and a
// TravelPilot position and speed record among them.
namespace zentor::sim::test {

struct TestLogRecord
{
    const char* legend;
    Bytes bytes; // as in the file: L, then the body
    bool sent;   // whether a replay sends it
};

inline std::vector<TestLogRecord> testLogRecords()
{
    return {
        {"lead-in", hex("00 00 00 00 00 00"), false},
        {"signature", hex("0F 00 80 51 58 56 5A 45 4E 54 4F 52 30 34 30 31 C2"), false},
        {"serial number ZT77", hex("0B 00 81 5A 54 37 37 00 00 00 00 00 8F"), false},
        {"receivers: both present, 1200-2000 by 25 kHz, 3000-4000 by 12.5 kHz",
         hex("19 00 01 03 B0 04 00 00 D0 07 00 00 00 19 00 00 B8 0B 00 00 A0 0F 00 00 80 0C 00"),
         false},
        {"channel information: level values 1200, 3000", hex("0A 00 05 B0 04 00 00 B8 0B 00 00 02"),
         true},
        {"clock 03/12/2007 14:05:09, marker 123", hex("09 00 04 09 05 0E 03 0C 07 7B 75"), true},
        {"list entries 0-4", hex("11 00 07 00 00 B0 01 01 AF 00 02 AE 01 03 AD 00 04 AC B3"), true},
        {"TravelPilot position 52.471100 N 13.381200 E",
         hex("15 00 C0 09 05 0E 03 0B 6B 4E 34 00 3C 30 07 00 45 0D 00 10 D1 05 00"), false},
        {"TravelPilot speed 48 km/h, 270 deg", hex("05 00 C1 30 00 0E 01"), false},
        {"list entries 5-9", hex("11 00 07 00 05 AF 01 06 AE 00 07 AD 01 08 AC 00 09 AB A9"), true},
        {"clock 03/12/2007 14:05:10, marker 124", hex("09 00 04 0A 05 0E 03 0C 07 7C 71"), true},
    };
}

// The whole file: 165 bytes.
inline Bytes testLog()
{
    Bytes file;
    for (const TestLogRecord& r : testLogRecords())
        file.insert(file.end(), r.bytes.begin(), r.bytes.end());
    return file;
}

// What a replay of it sends: 0xAA before each record it sends.
inline std::vector<Bytes> testLogFrames()
{
    std::vector<Bytes> frames;
    for (const TestLogRecord& r : testLogRecords())
        if (r.sent)
            frames.push_back(cat({hex("AA"), r.bytes}));
    return frames;
}

} // namespace zentor::sim::test
