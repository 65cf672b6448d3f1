#pragma once

#include "link/Transport.h"
#include "logging/ReplayLog.h"
#include "logging/ReplayPace.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace zentor {

// Where a replay stands, for its controls and its status text.
struct ReplayPosition
{
    double seconds = 0.0;      // the drive's moment of the last packet handed over
    double totalSeconds = 0.0; // the drive's length
    double speed = 1.0;        // times the recorded pace; 0 as fast as the program reads
    bool paused = false;
    bool ended = false; // the last packet has been handed over
};

// A recorded drive as the instrument's end of the link: the link thread reads it as it reads a
// serial port, and everything after the transport (framing, the receiver protocol, the receiver
// state, the displays, the GPS screen, the map feed) is the live path. It hands over first the
// identification packet of the header's serial number and the configuration packet of its
// receivers record, then every packet record of the log as the frame the instrument sent
// (ReplayLog: the channel information, then the packets, TravelPilot records left out), paced by
// the log's clock packets (ReplayPace) at the chosen speed. Commands written to it go nowhere.
// After the last packet it is gone for good: the link thread shows endedText() and does not
// open it again.
//
// A GPS record handed over is shown and published before the next packet goes (`holding`
// returns true while it is not, for at most kHoldLimit), so every GPS record of the drive
// reaches the GPS screen and the map feed with the readings that came with it, at any speed.
//
// Threads: the Transport calls on the link thread; the controls (setSpeed, setPaused, seekTo)
// and position from any thread. `mutex_` guards the replay's place and pace.
class ReplayTransport final : public Transport
{
public:
    static constexpr double kSlowestSpeed = 0.25;
    static constexpr double kFastestSpeed = 64.0;
    static constexpr double kMaxSpeed = 0.0; // as fast as the program reads
    static constexpr std::chrono::milliseconds kHoldLimit{1000};
    static constexpr const char* kEndedText = "Replay ended";

    // Milliseconds on a steady clock; tests give their own.
    using Clock = std::function<std::int64_t()>;

    // Reads the log at `path` (opened for reading only) and makes its replay. Null, with `error`
    // in a user's words, when the file cannot be read, is not a data logger log, or holds no
    // instrument packets.
    static std::unique_ptr<ReplayTransport> load(const std::string& path, double speed,
                                                 std::string& error, Clock clock = {});

    // `name` is the file's name as the status text shows it.
    ReplayTransport(ReplayLog log, std::string name, double speed, Clock clock = {});

    // While it returns true, the packets after a GPS record wait (see above). Before Open.
    void setHold(std::function<bool()> holding) { holding_ = std::move(holding); }

    OpenResult Open() override;
    std::int16_t Read(std::uint8_t* buffer, std::size_t capacity) override;
    std::int16_t Write(const std::uint8_t* data, std::size_t n) override;
    void Close() override;
    bool gone() const override;
    std::string portName() const override { return name_; }
    std::string connectedText() const override;
    bool endsForGood() const override { return true; }
    std::string endedText() const override { return kEndedText; }

    // The speed from now on: kSlowestSpeed to kFastestSpeed times the recorded pace, or
    // kMaxSpeed.
    void setSpeed(double speed);
    void setPaused(bool paused);
    // Jumps to the drive's moment `seconds`: the packets up to it go at once, from the start of
    // the drive when it lies behind, so every panel shows what it showed then. A paused replay
    // stays paused there.
    void seekTo(double seconds);
    ReplayPosition position() const;

    // Where and why the replay stops short of the file's end; empty for a whole log.
    std::string stopText() const { return log_.stopText(name_); }

private:
    bool frameDue(std::int64_t nowMs);
    // Hands over what is left of the header's packets; returns the count.
    std::size_t copyLead(std::uint8_t* buffer, std::size_t capacity);
    void restartAt(std::size_t frame);

    const ReplayLog log_;
    const std::string name_;
    const Clock clock_;
    Bytes lead_; // the header's identification and configuration packets, framed
    std::function<bool()> holding_;

    mutable std::mutex mutex_;
    ReplayPace pace_;
    std::size_t leadSent_ = 0;     // bytes of lead_ handed over
    std::size_t next_ = 0;         // the frame being handed over
    std::size_t sentOfFrame_ = 0;  // its bytes handed over
    std::size_t runAheadTo_ = 0;   // frames before it go at once (a jump)
    bool jumpBack_ = false;        // a jump back, made at the next frame boundary
    bool afterGpsRecord_ = false;  // the last whole frame handed over was a GPS record
    std::int64_t gpsRecordMs_ = 0; // ... handed over then
    double speed_;
    bool paused_ = false;
    bool open_ = false;
    bool ended_ = false;
};

// The drive's time as the replay controls show it: "00:12:03 / 00:45:10".
std::string replayPositionText(const ReplayPosition& position);

// The speed as the status text shows it: "1x", "0.25x", "max".
std::string replaySpeedText(double speed);

} // namespace zentor
