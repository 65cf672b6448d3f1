#pragma once

#include "app/StatusView.h"
#include "link/TReceiverLink.h"

// The main router's two window-thread refreshes. Both run on the window thread.
namespace zentor {

// The log file size while logging, the serial number and link status text, then each receiver's
// range, but the ranges only when the receiver state marks them changed since the last refresh (the
// mark is cleared here).
void refreshStatus(TReceiverLink& link, StatusView& view);

// The instrument's clock date, time and marker.
void refreshClock(const TReceiverLink& link, StatusView& view);

} // namespace zentor
