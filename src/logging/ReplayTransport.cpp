#include "logging/ReplayTransport.h"

#include "link/PacketTypes.h"
#include "logging/ReadWholeFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <utility>

namespace zentor {

namespace {

// Packets handed over in one read at most, so a fast replay leaves the link thread its pace.
constexpr std::size_t kMaxFramesPerRead = 64;
constexpr std::chrono::milliseconds kHoldPoll{1};
constexpr std::chrono::milliseconds kHoldWait{20};

std::int64_t steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The file's name without its folders, as the status text shows it.
std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

double clampedSpeed(double speed)
{
    if (speed <= ReplayTransport::kMaxSpeed)
        return ReplayTransport::kMaxSpeed;
    return std::clamp(speed, ReplayTransport::kSlowestSpeed, ReplayTransport::kFastestSpeed);
}

} // namespace

std::unique_ptr<ReplayTransport> ReplayTransport::load(const std::string& path, double speed,
                                                       std::string& error, Clock clock)
{
    Bytes file;
    if (!readWholeFile(path, file, error)) {
        error = "Cannot read " + path + ": " + error;
        return nullptr;
    }
    ReplayLog log(file);
    if (!log.hasHeader()) {
        error = path + " is not a data logger log: it does not start with a log header";
        return nullptr;
    }
    if (log.frameCount() == 0) {
        error = path + " holds no instrument packets to replay";
        return nullptr;
    }
    return std::make_unique<ReplayTransport>(std::move(log), baseName(path), speed,
                                             std::move(clock));
}

ReplayTransport::ReplayTransport(ReplayLog log, std::string name, double speed, Clock clock)
    : log_(std::move(log)), name_(std::move(name)), clock_(clock ? std::move(clock) : steadyMs),
      pace_(log_.types()), speed_(clampedSpeed(speed))
{
    if (const auto identification = log_.headerIdentification())
        lead_ = *identification;
    if (const auto& configuration = log_.headerConfiguration())
        lead_.insert(lead_.end(), configuration->begin(), configuration->end());
}

OpenResult ReplayTransport::Open()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_)
        return OpenResult::NotAvailable;
    if (!open_) {
        open_ = true;
        pace_.anchor(next_, clock_(), speed_);
    }
    return OpenResult::Opened;
}

void ReplayTransport::Close()
{
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
}

bool ReplayTransport::gone() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
}

std::int16_t ReplayTransport::Write(const std::uint8_t*, std::size_t n)
{
    // The recorded instrument cannot be asked anything: commands are taken and go nowhere.
    return n <= 32767 ? static_cast<std::int16_t>(n) : std::int16_t{-1};
}

void ReplayTransport::restartAt(std::size_t frame)
{
    next_ = frame;
    sentOfFrame_ = 0;
    afterGpsRecord_ = false;
    if (frame == 0)
        leadSent_ = 0;
}

std::size_t ReplayTransport::copyLead(std::uint8_t* buffer, std::size_t capacity)
{
    const std::size_t n = std::min(capacity, lead_.size() - leadSent_);
    std::copy_n(lead_.begin() + static_cast<long>(leadSent_), n, buffer);
    leadSent_ += n;
    return n;
}

bool ReplayTransport::frameDue(std::int64_t nowMs)
{
    if (next_ < runAheadTo_)
        return true;
    if (paused_)
        return false;
    return pace_.dueCount(next_, nowMs, 1) == 1;
}

std::int16_t ReplayTransport::Read(std::uint8_t* buffer, std::size_t capacity)
{
    capacity = std::min<std::size_t>(capacity, 32767);
    // A GPS record just handed over is shown and published before the drive goes on: a short
    // wait here, then the link thread's own idle pause, for at most kHoldLimit in all.
    std::int64_t heldSinceMs = 0;
    bool hold = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hold = afterGpsRecord_ && holding_;
        heldSinceMs = gpsRecordMs_;
    }
    if (hold) {
        const std::int64_t waitUntil = clock_() + kHoldWait.count();
        while (holding_() && clock_() < waitUntil)
            std::this_thread::sleep_for(kHoldPoll);
        if (holding_() && clock_() - heldSinceMs < kHoldLimit.count())
            return -1;
    }

    std::lock_guard<std::mutex> lock(mutex_);
    afterGpsRecord_ = false;
    if (!open_ || ended_)
        return -1;
    std::size_t count = copyLead(buffer, capacity);
    const std::int64_t nowMs = clock_();
    std::size_t frames = 0;
    while (count < capacity && frames < kMaxFramesPerRead && next_ < log_.frameCount()) {
        if (sentOfFrame_ == 0) {
            if (std::exchange(jumpBack_, false)) {
                restartAt(0);
                count += copyLead(buffer + count, capacity - count);
                continue;
            }
            if (!frameDue(nowMs))
                break;
        }
        const Bytes frame = log_.frame(next_);
        const std::size_t n = std::min(capacity - count, frame.size() - sentOfFrame_);
        std::copy_n(frame.begin() + static_cast<long>(sentOfFrame_), n, buffer + count);
        count += n;
        sentOfFrame_ += n;
        if (sentOfFrame_ < frame.size())
            break;
        sentOfFrame_ = 0;
        ++frames;
        const bool gpsRecord = log_.type(next_) == kPacketGpsRecord;
        if (++next_ == runAheadTo_)
            pace_.anchor(next_, nowMs, speed_);
        if (gpsRecord && next_ > runAheadTo_) {
            afterGpsRecord_ = true;
            gpsRecordMs_ = nowMs;
            break;
        }
    }
    if (count == 0 && next_ == log_.frameCount() && leadSent_ == lead_.size()) {
        ended_ = true;
        return -1;
    }
    return count == 0 ? std::int16_t{-1} : static_cast<std::int16_t>(count);
}

std::string ReplayTransport::connectedText() const
{
    const ReplayPosition at = position();
    if (at.ended)
        return kEndedText;
    return "Replaying " + name_ + " at " + replaySpeedText(at.speed) +
           (at.paused ? " (paused)" : "");
}

void ReplayTransport::setSpeed(double speed)
{
    std::lock_guard<std::mutex> lock(mutex_);
    speed_ = clampedSpeed(speed);
    if (next_ >= runAheadTo_)
        pace_.anchor(next_, clock_(), speed_);
}

void ReplayTransport::setPaused(bool paused)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (paused_ && !paused && next_ >= runAheadTo_)
        pace_.anchor(next_, clock_(), speed_);
    paused_ = paused;
}

void ReplayTransport::seekTo(double seconds)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_)
        return;
    // The packets up to the moment go at once.
    std::size_t target = 0;
    while (target < pace_.packetCount() && pace_.secondsAt(target) <= seconds)
        ++target;
    target = std::max<std::size_t>(target, 1);
    runAheadTo_ = target;
    if (target < next_)
        jumpBack_ = true; // to the drive's start, at the next frame boundary
}

ReplayPosition ReplayTransport::position() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    ReplayPosition at;
    at.totalSeconds = pace_.totalSeconds();
    at.seconds = next_ == 0 ? 0.0 : pace_.secondsAt(next_ - 1);
    at.speed = speed_;
    at.paused = paused_;
    at.ended = ended_;
    return at;
}

std::string replayPositionText(const ReplayPosition& position)
{
    const auto clock = [](double seconds) {
        const long s = std::lround(std::max(seconds, 0.0));
        char text[32];
        std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
        return std::string(text);
    };
    return clock(position.seconds) + " / " + clock(position.totalSeconds);
}

std::string replaySpeedText(double speed)
{
    if (speed <= ReplayTransport::kMaxSpeed)
        return "max";
    char text[16];
    std::snprintf(text, sizeof text, "%gx", speed);
    return text;
}

} // namespace zentor
