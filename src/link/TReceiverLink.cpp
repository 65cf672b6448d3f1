#include "link/TReceiverLink.h"

#include "link/ByteOrder.h"
#include "link/Frame.h"

namespace zentor {

bool TReceiverLink::HandlePacket(const std::uint8_t* record, std::size_t size)
{
    const std::optional<DecodedPacket> packet = decodePacket(record, size);
    if (!packet)
        return false;
    const std::uint8_t type = packet->type;
    const std::size_t recordSize = readLe16(record) + 2u;
    if (const std::optional<MeasurementMode> mode = measurementModeOf(type))
        showMode(*mode);
    state_.apply(*packet, record, recordSize);
    if (type == kPacketIdentification)
        SendCommand(kCmdConfiguration);
    if (isMeasurementPacket(type) && !state_.channelInformationCaptured())
        SendCommand(kCmdChannelInformation);
    handOverToLog(record, recordSize);
    return true;
}

void TReceiverLink::showMode(MeasurementMode mode)
{
    std::lock_guard<std::mutex> lock(listenerMutex_);
    if (modeListener_)
        modeListener_(mode);
}

void TReceiverLink::handOverToLog(const std::uint8_t* record, std::size_t size)
{
    std::lock_guard<std::mutex> lock(logMutex_);
    if (logSink_)
        logSink_->handOver(record, static_cast<std::uint16_t>(size));
}

bool TReceiverLink::SendCommand(std::uint8_t code, const std::uint8_t* data, std::size_t n)
{
    const OutboundFrame frame = buildFrame(code, data, n);
    if (frame.size == 0)
        return false;
    std::lock_guard<std::mutex> lock(writerMutex_);
    return writer_ && writer_->Write(frame.bytes.data(), frame.size);
}

void TReceiverLink::setFrameWriter(FrameWriter* writer)
{
    std::lock_guard<std::mutex> lock(writerMutex_);
    writer_ = writer;
}

void TReceiverLink::setLogSink(LogSink* sink)
{
    std::lock_guard<std::mutex> lock(logMutex_);
    logSink_ = sink;
}

void TReceiverLink::setModeListener(std::function<void(MeasurementMode)> listener)
{
    std::lock_guard<std::mutex> lock(listenerMutex_);
    modeListener_ = std::move(listener);
}

} // namespace zentor
