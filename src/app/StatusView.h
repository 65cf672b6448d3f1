#pragma once

#include "app/StatusTexts.h"

#include <string>

namespace zentor {

// The main window's status fields as the main router's refreshes write them. The main window
// implements it; every call is made on the window thread.
class StatusView
{
public:
    virtual ~StatusView() = default;

    virtual void showFileSize(const std::string& text) = 0;     // edFileSize
    virtual void showSerialNumber(const std::string& text) = 0; // edSN
    virtual void showLinkStatus(const std::string& text) = 0;   // status bar panel 0
    virtual void showLinkQuality(const std::string& text) = 0;  // panel 0's tool tip
    // edMin1, edMax1, edStep1 for receiver 0; edMin2, edMax2, edStep2 for receiver 1.
    virtual void showRange(int receiver, const RangeTexts& texts) = 0;
    virtual void showClock(const ClockTexts& texts) = 0; // edRTCDate, edRTCTime, edMarker
};

} // namespace zentor
