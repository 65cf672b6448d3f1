#include "link/TCom_Router.h"

#include "link/TReceiverLink.h"

#include <string>

namespace zentor {

namespace {

// The status text while the chosen port has not opened since the start.
std::string notAvailableText(LinkSelection selection)
{
    const std::string port = selection.transport == LinkSelection::kUsb
                                 ? "USB"
                                 : "COM" + std::to_string(selection.portNumber) + ":";
    return port + " not available - retrying...";
}

} // namespace

TCom_Router::TCom_Router(TReceiverLink& link, LinkSelection selection, const D2xxApi* d2xx)
    : link_(link), selection_(selection), usb_(d2xx)
{
    link_.setFrameWriter(this);
    thread_.start([this] { Execute(); });
}

TCom_Router::~TCom_Router()
{
    requestTerminate();
    link_.setFrameWriter(nullptr);
}

void TCom_Router::requestTerminate()
{
    thread_.requestTerminate();
    idleEvent_.set();
}

bool TCom_Router::openTransport()
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    const bool usb = selection_.transport == LinkSelection::kUsb;
    const bool opened = usb ? usb_.Open() : serial_.Open(selection_.portNumber);
    if (!opened)
        return false;
    link_.state().setStatusText(usb ? "Connected via USB" : "Connected via COM");
    open_.store(true);
    lost_.store(false);
    return true;
}

bool TCom_Router::transportGone() const
{
    return selection_.transport == LinkSelection::kUsb ? usb_.deviceGone() : serial_.hungUp();
}

void TCom_Router::releaseTransport()
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    open_.store(false);
    if (selection_.transport == LinkSelection::kUsb)
        usb_.Close();
    else
        serial_.Close();
    lost_.store(true);
    link_.state().setStatusText(kConnectionLostText);
}

bool TCom_Router::reopenTransport()
{
    // A frame the loss cut short must not be completed with bytes of the next connection.
    assembler_.dropFrame();
    while (!thread_.terminateRequested()) {
        idleEvent_.wait(kReconnectInterval);
        if (thread_.terminateRequested())
            break;
        if (openTransport())
            return true;
    }
    return false;
}

std::int16_t TCom_Router::readTransport()
{
    if (selection_.transport == LinkSelection::kUsb)
        return usb_.Read(buffer_.data(), buffer_.size());
    return serial_.Read(buffer_.data(), buffer_.size());
}

void TCom_Router::Execute()
{
    if (!openTransport()) {
        link_.state().setStatusText(notAvailableText(selection_));
        if (!reopenTransport())
            return;
    }
    link_.SendCommand(kCmdIdentify);
    buffer_.fill(0);
    while (!thread_.terminateRequested()) {
        const std::int16_t count = readTransport();
        if (count == -1) {
            if (!transportGone()) {
                idleEvent_.wait(kIdlePause);
                continue;
            }
            releaseTransport();
            if (!reopenTransport())
                break;
            link_.SendCommand(kCmdIdentify);
            continue;
        }
        for (std::int16_t i = 0; i < count; ++i) {
            if (assembler_.PushByte(buffer_[static_cast<std::size_t>(i)]) == 0) {
                const ByteView record = assembler_.record();
                link_.HandlePacket(record.data, record.size);
            }
        }
        if (count > 0)
            link_.state().publishFraming(assembler_.counts());
    }
}

bool TCom_Router::Write(const std::uint8_t* frame, std::size_t n)
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    if (!open_.load())
        return false;
    const std::int16_t written = selection_.transport == LinkSelection::kUsb
                                     ? usb_.Write(frame, n)
                                     : serial_.Write(frame, n);
    return written >= 0 && static_cast<std::size_t>(written) == n;
}

} // namespace zentor
