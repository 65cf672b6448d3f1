#include "link/TCom_Router.h"

#include "link/TReceiverLink.h"
#include "link/TSerialPort.h"
#include "link/TUsbPort.h"

#include <string>
#include <utility>

namespace zentor {

namespace {

// The transport the connection dialog chose; the link thread keeps it for its run.
std::unique_ptr<Transport> chooseTransport(LinkSelection selection, const D2xxApi* d2xx)
{
    if (selection.transport == LinkSelection::kUsb)
        return std::make_unique<TUsbPort>(d2xx);
    return std::make_unique<TSerialPort>(selection.portNumber);
}

// Why the port did not open, in the status text's words.
const char* openFailedWords(OpenResult result)
{
    switch (result) {
    case OpenResult::NotAvailable:
        return "not available";
    case OpenResult::InUse:
        return "in use by another program";
    case OpenResult::Opened:
        break;
    }
    return "";
}

// The status text while the port has not opened since the start.
std::string openFailedText(const Transport& transport, OpenResult result)
{
    return transport.portName() + " " + openFailedWords(result) + " - retrying...";
}

} // namespace

TCom_Router::TCom_Router(TReceiverLink& link, LinkSelection selection, const D2xxApi* d2xx)
    : TCom_Router(link, chooseTransport(selection, d2xx))
{}

TCom_Router::TCom_Router(TReceiverLink& link, std::shared_ptr<Transport> transport)
    : link_(link), transport_(std::move(transport))
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

OpenResult TCom_Router::openTransport()
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    const OpenResult result = transport_->Open();
    if (result != OpenResult::Opened) {
        // After a loss, a port that is not back yet is the lost connection; one that another
        // program took meanwhile is said to be in use, and so is one held from the start.
        const bool stillLost = lost_.load() && result == OpenResult::NotAvailable;
        link_.state().setStatusText(stillLost ? std::string(kConnectionLostText)
                                              : openFailedText(*transport_, result));
        return result;
    }
    link_.state().setStatusText(transport_->connectedText());
    open_.store(true);
    lost_.store(false);
    return result;
}

void TCom_Router::releaseTransport()
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    open_.store(false);
    transport_->Close();
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
        if (openTransport() == OpenResult::Opened)
            return true;
    }
    return false;
}

void TCom_Router::Execute()
{
    if (openTransport() != OpenResult::Opened && !reopenTransport())
        return;
    link_.SendCommand(kCmdIdentify);
    buffer_.fill(0);
    while (!thread_.terminateRequested()) {
        const std::int16_t count = transport_->Read(buffer_.data(), buffer_.size());
        if (count == -1) {
            if (!transport_->gone()) {
                idleEvent_.wait(kIdlePause);
                continue;
            }
            releaseTransport();
            if (transport_->endsForGood()) {
                link_.state().setStatusText(transport_->endedText());
                while (!thread_.terminateRequested())
                    idleEvent_.wait(kReconnectInterval);
                break;
            }
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
    const std::int16_t written = transport_->Write(frame, n);
    return written >= 0 && static_cast<std::size_t>(written) == n;
}

} // namespace zentor
