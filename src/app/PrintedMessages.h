#pragma once

#include "core/MessageSink.h"
#include "core/WindowThread.h"

#include <cstdio>

namespace zentor {

// The messages a window would show in a box, printed instead: one line "<kind word>: <text>" on
// `out` (standard error in a headless run). `closed` is queued to the window thread at once, as
// if the box had been dismissed. Any thread; never blocks on anything but the stream.
class PrintedMessages final : public MessageSink
{
public:
    // `window` must outlive every message posted.
    PrintedMessages(std::FILE* out, WindowThread& window) : out_(out), window_(window) {}

    void postMessage(MessageKind kind, std::string text,
                     std::function<void()> closed = {}) override;

private:
    std::FILE* const out_;
    WindowThread& window_;
};

} // namespace zentor
