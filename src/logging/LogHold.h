#pragma once

#include "link/LinkInterfaces.h"
#include "logging/LogRecordQueue.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zentor {

// Log mode switched on before the link has opened (the command line's --log): a header written
// at once would carry an empty serial number, no receivers and no channel information, and the
// converter needs them. So the file waits until the instrument has said who it is and how it is
// set up, and the records handed over meanwhile are held here, in order, to be written right
// after the header.
//
// The header is complete once the identification (0x1C) and configuration (0x01) packets have
// come and either channel information (5 or 6) has come too, or kChannelInformationWait has
// passed since the first measurement packet without it (the instrument sends it when a
// measurement is started on its keys, or when asked; a measurement already running may never
// send it). An instrument that has not identified itself kIdentifyWait after the first record of
// any kind gets the file anyway, with what is known: nothing is held longer than that.
//
// Plain data: the owner serialises every call.
class LogHold
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds kIdentifyWait{10};
    static constexpr std::chrono::seconds kChannelInformationWait{3};

    enum class Verdict
    {
        Hold,       // keep holding
        Complete,   // the header holds what the instrument will give: start the file
        Incomplete, // the instrument has not identified itself in time: start it anyway
    };

    // Holds at most `limitBytes` of records.
    explicit LogHold(std::size_t limitBytes);

    // Keeps a copy of one record seen at `now`. False, keeping nothing, when it does not fit: the
    // file must be started now, and the record handed to it after the held ones.
    bool hold(const std::uint8_t* data, std::uint16_t count, Clock::time_point now);

    Verdict verdict(Clock::time_point now) const;
    // The verdict when log mode ends or the hold is full: the file starts now either way.
    Verdict verdictNow() const
    {
        return identified_ && configured_ ? Verdict::Complete : Verdict::Incomplete;
    }
    bool empty() const { return records_.empty(); }

    // Hands every held record to `sink`, in order, and empties the hold.
    void handOverAll(LogSink& sink);

    std::size_t heldBytes() const { return records_.bytes.size(); }

private:
    const std::size_t limitBytes_;
    LogBatch records_;
    bool identified_ = false;
    bool configured_ = false;
    bool channelInformation_ = false;
    std::optional<Clock::time_point> firstRecord_;
    std::optional<Clock::time_point> firstMeasurement_;
};

} // namespace zentor
