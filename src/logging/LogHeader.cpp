#include "logging/LogHeader.h"

#include "link/ByteOrder.h"
#include "logging/KlfFormat.h"

#include <algorithm>

namespace zentor {

namespace {

std::uint8_t xorOf(const std::uint8_t* begin, const std::uint8_t* end)
{
    std::uint8_t x = 0;
    for (const std::uint8_t* p = begin; p != end; ++p)
        x ^= *p;
    return x;
}

// Appends L, the type and `data`, then the checksum over the type and data.
void appendChecked(std::vector<std::uint8_t>& out, std::uint8_t type,
                   const std::vector<std::uint8_t>& data)
{
    const std::size_t start = out.size();
    out.resize(start + kLengthFieldBytes);
    writeLe16(&out[start], static_cast<std::uint16_t>(data.size() + 2));
    out.push_back(type);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(xorOf(&out[start + kLengthFieldBytes], out.data() + out.size()));
}

bool isWholeRecord(const std::vector<std::uint8_t>& record)
{
    return record.size() > kLengthFieldBytes &&
           readLe16(record.data()) + kLengthFieldBytes == record.size();
}

} // namespace

LogHeaderInput logHeaderInputFrom(const ReceiverState& state)
{
    LogHeaderInput input;
    input.serialNumber = state.identification();
    for (int r = 0; r < kReceiverCount; ++r) {
        const ReceiverSnapshot rx = state.receiver(r);
        input.present[r] = rx.present;
        input.configuration[r] = rx.info.configuration;
    }
    if (state.channelInformationCaptured())
        input.channelInformation = state.channelInformation();
    return input;
}

std::vector<std::uint8_t> buildLogHeader(const LogHeaderInput& input)
{
    std::vector<std::uint8_t> out(kLeadInBytes, 0);

    appendChecked(out, kSignatureType,
                  std::vector<std::uint8_t>(kSignatureText, kSignatureText + kSignatureTextBytes));

    std::vector<std::uint8_t> serial(kSerialNumberBytes + 1, 0); // the number, then one 0x00
    std::copy_n(input.serialNumber.begin(), std::min(input.serialNumber.size(), kSerialNumberBytes),
                serial.begin());
    appendChecked(out, kSerialNumberType, serial);

    // Receivers: L 25 covers the type, the flags, 12 bytes of receiver 1 and 11 of receiver 2.
    const std::size_t start = out.size();
    out.resize(start + kLengthFieldBytes);
    writeLe16(&out[start], kReceiversLength);
    out.push_back(kReceiversType);
    std::uint8_t flags = 0;
    for (int r = 0; r < kReceiverCount; ++r)
        flags |= static_cast<std::uint8_t>(input.present[r] ? 1u << r : 0u);
    out.push_back(flags);
    static_assert(kReceiverCount == 2, "the receivers record holds two blocks");
    const std::size_t kept[kReceiverCount] = {kReceiverBlockBytes, kReceiver2BlockBytesKept};
    for (int r = 0; r < kReceiverCount; ++r) {
        const auto& block = input.configuration[r];
        if (input.present[r])
            out.insert(out.end(), block.begin(), block.begin() + kept[r]);
        else
            out.insert(out.end(), kept[r], 0);
    }

    if (isWholeRecord(input.channelInformation))
        out.insert(out.end(), input.channelInformation.begin(), input.channelInformation.end());
    return out;
}

} // namespace zentor
