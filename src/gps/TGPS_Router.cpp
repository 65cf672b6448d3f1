#include "gps/TGPS_Router.h"

#include "gps/GpsRecordDecoder.h"

#include <utility>

namespace zentor {

TGPS_Router::TGPS_Router(ReceiverState& state, WindowThread& window, PanelUpdate showPanel,
                         MapFeedPublisher publishMapFeed)
    : EventWorker({&state.gpsEvent()}, kWaitTimeout), gpsEvent_(state.gpsEvent()), state_(state),
      window_(window), showPanel_(std::move(showPanel)), publishMapFeed_(std::move(publishMapFeed))
{
    start();
}

TGPS_Router::~TGPS_Router()
{
    stop();
}

void TGPS_Router::onEvent(int signalled)
{
    if (signalled == kTimedOut)
        return;
    showAndPublish();
    gpsEvent_.reset();
}

void TGPS_Router::showAndPublish()
{
    // The protocol stores only whole records, so this decode always succeeds.
    const std::array<std::uint8_t, kGpsRecordSize> record = state_.gpsRecord();
    status_.decode(record.data(), record.size());
    const GpsStatus status = status_.snapshot();

    const GpsPanelTexts texts = formatGpsPanel(status);
    if (showPanel_)
        window_.invoke([this, &texts] { showPanel_(texts); });
    if (publishMapFeed_)
        publishMapFeed_(status);
}

bool GpsStatusStore::decode(const std::uint8_t* record, std::size_t size)
{
    // Decoded outside the lock, so a reader waits only for the copy.
    std::optional<GpsStatus> decoded = decodeGpsRecord(record, size);
    if (!decoded)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = std::move(*decoded);
    return true;
}

GpsStatus GpsStatusStore::snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

} // namespace zentor
