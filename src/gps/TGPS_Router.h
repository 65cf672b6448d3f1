#pragma once

#include "core/WindowThread.h"
#include "gps/GpsPanelTexts.h"
#include "gps/GpsRecordDecoder.h"
#include "link/ReceiverState.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

namespace zentor {

// The GPS status that the program shows and publishes: the last GPS record that was decoded.
// It is written by one thread and read by others, each read a whole copy, so a reader never sees
// one record's position with another record's time.
//
// All members may be called from any thread.
class GpsStatusStore
{
public:
    // Decodes the record and makes it the status. A record shorter than kGpsRecordSize is not
    // decoded and leaves the status as it was: returns false then.
    bool decode(const std::uint8_t* record, std::size_t size);

    // A copy of the status; all zero before the first record.
    GpsStatus snapshot() const;

private:
    mutable std::mutex mutex_; // guards status_
    GpsStatus status_;
};

// The GPS router: wakes when the receiver protocol has stored a GPS record (the GPS event), at
// the latest every kWaitTimeout to notice its terminate request. For each record it decodes the
// record into its GPS status, has the panel update run on the window thread (and waits for it),
// publishes the map feed on its own thread, then resets the event. A record stored while the
// panel is being filled is shown with the next one. The thread starts in the constructor.
class TGPS_Router final : public EventWorker
{
public:
    static constexpr std::chrono::milliseconds kWaitTimeout{1000};

    // Copies one panel update into the widgets. Runs on the window thread.
    using PanelUpdate = std::function<void(const GpsPanelTexts& texts)>;
    // Publishes the map feed from the status just shown. Runs on the GPS router's thread, after
    // the panel update has returned.
    using MapFeedPublisher = std::function<void(const GpsStatus& status)>;

    // The program's router on `state`'s GPS event and GPS record. `state` and `window` must outlive
    // the router; `publishMapFeed` may be empty (nothing is published).
    TGPS_Router(ReceiverState& state, WindowThread& window, PanelUpdate showPanel,
                MapFeedPublisher publishMapFeed = {});
    // Requests termination and joins the thread. A panel update already waiting for the window
    // thread returns when the window thread refuses it (WindowThread::invoke after shutdown
    // began).
    ~TGPS_Router() override;

    // A copy of the last decoded GPS record (all zero before the first). Any thread.
    GpsStatus gpsStatus() const { return status_.snapshot(); }

private:
    void onEvent(int signalled) override;
    void showAndPublish();

    Event& gpsEvent_;
    ReceiverState& state_;
    WindowThread& window_;
    const PanelUpdate showPanel_;
    const MapFeedPublisher publishMapFeed_;
    GpsStatusStore status_;
};

} // namespace zentor
