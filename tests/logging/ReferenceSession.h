#pragma once

// The short session that tests/data/reference.KLF holds: what the log router writes for a new
// file when the instrument below has identified itself, sent its configuration and its status
// blocks, and then streams a little of everything while the TravelPilot link adds its records.
#include "LogTestSupport.h"
#include "link/ByteOrder.h"
#include "logging/LogHeader.h"

namespace zentor::logtest {

inline Bytes referenceStatusBlocks()
{
    Bytes data(80, 0);
    // Receiver 1 lists counts 1200..1209, receiver 2 counts 3000..3009 (int32 LE each).
    for (std::uint32_t k = 0; k < 10; ++k) {
        writeLe32(&data[4 * k], 1200 + k);
        writeLe32(&data[40 + 4 * k], 3000 + k);
    }
    return packetRecord(0x06, data);
}

inline LogHeaderInput referenceHeaderInput()
{
    LogHeaderInput input;
    input.serialNumber = "ZT000417";
    input.present = {true, true};
    // Start count, stop count, step x 256 (25 kHz and 12.5 kHz).
    input.configuration[0] = {0xB0, 0x04, 0, 0, 0xD0, 0x07, 0, 0, 0x00, 0x19, 0, 0};
    input.configuration[1] = {0xB8, 0x0B, 0, 0, 0xA0, 0x0F, 0, 0, 0x80, 0x0C, 0, 0};
    input.channelInformation = referenceStatusBlocks();
    return input;
}

inline std::vector<Bytes> referenceRecords()
{
    std::vector<Bytes> records;
    records.push_back(packetRecord(0x1C, {'Z', 'T', '0', '0', '0', '4', '1', '7'}));
    Bytes config = {0x03};
    for (const auto& block : referenceHeaderInput().configuration)
        config.insert(config.end(), block.begin(), block.end());
    records.push_back(packetRecord(0x01, config));
    records.push_back(packetRecord(0x04, {9, 5, 14, 12, 3, 7, 123}));
    records.push_back(packetRecord(0x05, {0xB0, 0x04, 0, 0, 0xB8, 0x0B, 0, 0}));
    records.push_back(referenceStatusBlocks());
    for (std::uint8_t n = 0; n < 4; ++n) {
        Bytes scan;
        for (std::uint8_t e = 0; e < 5; ++e) {
            const std::uint8_t channel = static_cast<std::uint8_t>((n * 5 + e) % 10);
            scan.insert(scan.end(), {static_cast<std::uint8_t>(e % 2), channel,
                                     static_cast<std::uint8_t>(0xB0 - n - e)});
        }
        records.push_back(packetRecord(0x07, scan));
    }
    records.push_back(packetRecord(0x02, {0xB5, 0xB3, 0xB1, 0xAF}));
    records.push_back(packetRecord(0x03, {0xA0}));
    records.push_back(packetRecord(0x09, {0, 0x10, 0x00, 0xB0, 1, 0xFF, 0x0B, 0xA8, 0, 0x11, 0x00,
                                          0xB1, 1, 0x00, 0x0B, 0xA9}));
    Bytes gps(152);
    for (std::size_t i = 0; i < gps.size(); ++i)
        gps[i] = static_cast<std::uint8_t>(i * 3);
    records.push_back(packetRecord(0x00, gps));
    // TravelPilot position at 14:05:09 on 12 April 2007 (month 3 counted from 0, year 107),
    // 52 degrees and 4711 millionths north ("52.004711 N"), "13.003812 E"; then 48 km/h heading
    // 270 degrees. No checksum.
    records.push_back({0x15, 0x00, 0xC0, 9, 5,   14, 12, 3,    107,  'N', 52, 0,
                       0x67, 0x12, 0,    0, 'E', 13, 0,  0xE4, 0x0E, 0,   0});
    records.push_back({0x05, 0x00, 0xC1, 48, 0, 0x0E, 0x01});
    records.push_back(packetRecord(0x2A, {0x01, 0x02, 0x03})); // a type not decoded
    records.push_back(packetRecord(0x04, {10, 5, 14, 12, 3, 7, 124}));
    return records;
}

} // namespace zentor::logtest
