#include "InstrumentPackets.h"

#include "link/ByteOrder.h"

namespace zentor::sim {

namespace {

constexpr int kClockYearBase = 2000;

constexpr std::uint8_t kPresentBit[kReceivers] = {0x01, 0x02};
constexpr std::uint8_t kNumberingBit[kReceivers] = {0x04, 0x08};

void appendLe32(Bytes& out, std::uint32_t value)
{
    std::uint8_t field[4];
    writeLe32(field, value);
    out.insert(out.end(), field, field + 4);
}

} // namespace

Packet identificationPacket(const std::string& serial)
{
    const std::string text = serial.substr(0, kIdentificationSize);
    return {PacketType::kIdentification, Bytes(text.begin(), text.end())};
}

Packet configurationPacket(const BandPlan& plan)
{
    Packet p{PacketType::kConfiguration, {}};
    std::uint8_t flags = 0;
    for (int r = 0; r < kReceivers; ++r)
        flags |= kPresentBit[r] | (plan[r].channelsWrap ? kNumberingBit[r] : 0);
    p.data.push_back(flags);
    for (const ReceiverPlan& receiver : plan) {
        appendLe32(p.data, static_cast<std::uint32_t>(receiver.startCount));
        appendLe32(p.data, static_cast<std::uint32_t>(receiver.stopCount));
        appendLe32(p.data, receiver.stepKHzX256);
    }
    return p;
}

Packet levelValuesPacket(const BandPlan& plan)
{
    Packet p{PacketType::kLevelValues, {}};
    for (const ReceiverPlan& receiver : plan)
        appendLe32(p.data, static_cast<std::uint32_t>(receiver.currentCount()));
    return p;
}

Packet statusBlocksPacket(const BandPlan& plan)
{
    Packet p{PacketType::kStatusBlocks, {}};
    for (const ReceiverPlan& receiver : plan)
        for (std::int32_t count : receiver.listCounts)
            appendLe32(p.data, static_cast<std::uint32_t>(count));
    return p;
}

Packet singleLevelsPacket(int receiver, const std::vector<std::int8_t>& levelsDbm)
{
    Packet p{receiver == 0 ? PacketType::kSingleReceiver1 : PacketType::kSingleReceiver2, {}};
    for (std::int8_t level : levelsDbm)
        p.data.push_back(static_cast<std::uint8_t>(level));
    return p;
}

Packet listPacket(const std::array<ListEntry, kListEntriesPerPacket>& entries)
{
    Packet p{PacketType::kList, {}};
    for (const ListEntry& e : entries) {
        p.data.push_back(e.receiver);
        p.data.push_back(e.channel);
        p.data.push_back(static_cast<std::uint8_t>(e.levelDbm));
    }
    return p;
}

Packet tablePacket(const std::array<TableEntry, kTableEntriesPerPacket>& entries)
{
    Packet p{PacketType::kTable, {}};
    for (const TableEntry& e : entries) {
        std::uint8_t index[2];
        writeLe16(index, e.index);
        p.data.push_back(e.receiver);
        p.data.insert(p.data.end(), index, index + 2);
        p.data.push_back(static_cast<std::uint8_t>(e.levelDbm));
    }
    return p;
}

Packet clockPacket(const CivilTime& time, std::uint8_t marker)
{
    return {PacketType::kClock,
            {static_cast<std::uint8_t>(time.second), static_cast<std::uint8_t>(time.minute),
             static_cast<std::uint8_t>(time.hour), static_cast<std::uint8_t>(time.day),
             static_cast<std::uint8_t>(time.month),
             static_cast<std::uint8_t>(time.year - kClockYearBase), marker}};
}

Packet gpsPacket(const GpsRecord& record)
{
    return {PacketType::kGps, Bytes(record.begin(), record.end())};
}

} // namespace zentor::sim
