#include "app/ScanInformationWarning.h"

#include "link/PacketTypes.h"

#include <utility>

namespace zentor {

const char* const kScanInformationMissingText =
    "Scan Channel Information Not In Log File!! Restart scan. This message will continually "
    "popup until scan is stopped.";

namespace {

constexpr std::uint16_t kWarningEvery = 20; // the box appears on the packet after 20 counted

} // namespace

ScanInformationWarning::ScanInformationWarning(LogSink& next, MessageSink& messages, Query logging,
                                               Query channelInformationCaptured)
    : next_(next), messages_(messages), logging_(std::move(logging)),
      captured_(std::move(channelInformationCaptured))
{}

void ScanInformationWarning::handOver(const std::uint8_t* data, std::uint16_t count)
{
    if (count > kPacketTypeOffset && isMeasurementPacket(data[kPacketTypeOffset]) && logging_() &&
        !captured_()) {
        if (count_.load() < kWarningEvery) {
            count_.fetch_add(1);
        } else {
            count_.store(0);
            if (!boxOpen_.exchange(true))
                messages_.postMessage(MessageKind::Error, kScanInformationMissingText,
                                      [this] { boxOpen_.store(false); });
        }
    }
    next_.handOver(data, count);
}

} // namespace zentor
