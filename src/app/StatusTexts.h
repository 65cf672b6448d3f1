#pragma once

#include "link/ReceiverRange.h"
#include "link/TReceiverLink.h"

#include <string>

// The texts of the main window's status fields, formed from the receiver state.
namespace zentor {

// The instrument's clock as the RTC/Marker group shows it.
struct ClockTexts
{
    std::string date;   // "%02d/%02d/%04d": month, day, year since 2000 + 2000
    std::string time;   // "%02d:%02d:%02d": hour, minute, second
    std::string marker; // "Mrkr #" and the marker number modulo 100
};

// A receiver's range as its status group shows it.
struct RangeTexts
{
    std::string minimumMHz; // frequency of the start count, "%.5f"
    std::string maximumMHz; // frequency of the stop count, "%.5f"
    std::string stepKHz;    // step size, "%.2f"
};

ClockTexts clockTexts(const InstrumentClock& clock);
RangeTexts rangeTexts(const ReceiverRange& range);

// "SN: " and the instrument's identification text.
std::string serialNumberText(const std::string& identification);

// "%02d:%02d:%02d": the form of every time of day the window shows.
std::string timeOfDayText(int hour, int minute, int second);

} // namespace zentor
