#include "app/StatusRefresh.h"

#include "logging/LogFileSize.h"

namespace zentor {

void refreshStatus(TReceiverLink& link, StatusView& view)
{
    if (const auto sizeKb = view.logFileSizeKb())
        view.showFileSize(logFileSizeText(*sizeKb));
    view.showSerialNumber(serialNumberText(link.identification()));
    view.showLinkStatus(link.statusText());
    if (!link.takeStatusRangesChanged())
        return;
    for (int r = 0; r < kReceiverCount; ++r)
        view.showRange(r, rangeTexts(link.receiver(r).range));
}

void refreshClock(const TReceiverLink& link, StatusView& view)
{
    view.showClock(clockTexts(link.instrumentClock()));
}

} // namespace zentor
