#include "nav/TNav_Router.h"

#include "nav/TravelPilotLogPackets.h"
#include "platform/ComPortName.h"

namespace zentor {

TNav_Router::TNav_Router(int comPort, WindowThread* window, ShowTexts showTexts)
    : comPort_(comPort), device_(comPortDevice(comPort)), window_(window),
      showTexts_(std::move(showTexts))
{
    thread_.start([this] { Execute(); });
}

TNav_Router::~TNav_Router()
{
    requestTerminate();
}

void TNav_Router::requestTerminate()
{
    thread_.requestTerminate();
    pause_.set();
}

void TNav_Router::setLogSink(LogSink* sink)
{
    std::lock_guard<std::mutex> lock(logMutex_);
    logSink_ = sink;
}

void TNav_Router::Execute()
{
    while (!thread_.terminateRequested()) {
        if (port_.isOpen() || openPort()) {
            pollRound();
            pause_.wait(kPollInterval);
        } else {
            pause_.wait(kReopenInterval);
        }
    }
    port_.close();
}

bool TNav_Router::openPort()
{
    const bool opened = port_.open(device_);
    const PortState state = opened          ? PortState::Open
                            : port_.inUse() ? PortState::InUse
                                            : PortState::NotOpened;
    portState_.store(state, std::memory_order_release);
    return opened;
}

void TNav_Router::pollRound()
{
    const bool positionWanted = positionWanted_.exchange(false, std::memory_order_acq_rel);
    const TravelPilotRound round = schedule_.nextRound(versionKnown_, positionWanted);
    for (std::size_t i = 0; i < round.count && !thread_.terminateRequested(); ++i)
        exchange(round.commands[i]);
}

void TNav_Router::exchange(std::uint8_t command)
{
    port_.sendRequest(command);
    TravelPilotResponse response = readResponse();
    if (isFailedRead(response.answer) && !thread_.terminateRequested())
        response = readResponse();
    handle(response);
}

TravelPilotResponse TNav_Router::readResponse()
{
    std::uint8_t buffer[kTpReceiveBufferBytes];
    const std::size_t arrived = port_.readResponse(buffer);
    return parseTravelPilotResponse(buffer, arrived);
}

void TNav_Router::handle(const TravelPilotResponse& response)
{
    if (isFailedRead(response.answer))
        return;
    answered_.store(true, std::memory_order_release);
    switch (response.answer) {
    case TravelPilotAnswer::Version:
        versionKnown_ = true;
        show(travelPilotTexts(response, positionCount_));
        break;
    case TravelPilotAnswer::Position: {
        ++positionCount_;
        const auto packet =
            positionLogPacket(localTimeNow(), response.latitude, response.longitude);
        show(travelPilotTexts(response, positionCount_));
        handOver(packet.data(), packet.size());
        break;
    }
    case TravelPilotAnswer::Speed: {
        const auto packet = speedLogPacket(response.speedBytes, response.directionBytes);
        show(travelPilotTexts(response, positionCount_));
        handOver(packet.data(), packet.size());
        break;
    }
    default:
        break;
    }
}

void TNav_Router::show(const TravelPilotTexts& texts)
{
    if (window_ == nullptr || !showTexts_)
        return;
    window_->invoke([this, &texts] { showTexts_(texts); });
}

void TNav_Router::handOver(const std::uint8_t* packet, std::size_t size)
{
    std::lock_guard<std::mutex> lock(logMutex_);
    if (logSink_ != nullptr)
        logSink_->handOver(packet, static_cast<std::uint16_t>(size));
}

} // namespace zentor
