#pragma once

#include "core/MessageSink.h"
#include "link/LinkInterfaces.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace zentor {

// The error shown while logging without scan channel information.
extern const char* const kScanInformationMissingText;

// The scan channel warning: while log mode is on and the receiver protocol has captured no scan
// channel information, every measurement packet (types 2, 3 and 7) is counted; the packet after
// the 20th counted raises the error box kScanInformationMissingText and the count starts again,
// so the box returns every 21 packets until the scan is restarted from the instrument. A box
// still open on the screen is not stacked upon.
//
// It stands between the receiver protocol and the log: every packet record passes through it
// unchanged to `next`.
//
// Threads: handOver on the link thread; reset on the window thread; count on any thread.
class ScanInformationWarning final : public LogSink
{
public:
    // Whether log mode is on, and whether channel information has been captured; any thread.
    using Query = std::function<bool()>;

    // Every reference must outlive the warning's use as a sink.
    ScanInformationWarning(LogSink& next, MessageSink& messages, Query logging,
                           Query channelInformationCaptured);

    void handOver(const std::uint8_t* data, std::uint16_t count) override;

    // The log warning dialog's OK: the count starts again.
    void reset() { count_.store(0); }
    std::uint16_t count() const { return count_.load(); }

private:
    LogSink& next_;
    MessageSink& messages_;
    const Query logging_;
    const Query captured_;
    std::atomic<std::uint16_t> count_{0};
    std::atomic<bool> boxOpen_{false};
};

} // namespace zentor
