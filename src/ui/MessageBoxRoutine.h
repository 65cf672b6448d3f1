#pragma once

#include "core/MessageSink.h"
#include "core/TextFormat.h"

#include <functional>
#include <string>

// The message box routine: every message of the program to the user. The kind's word is the
// box's title ("Information", "Warning", "Error") and gives its icon.
//
// Called on the window thread, it shows a modal box and returns when the user has closed it.
// Called from any other thread, it queues a box that is not modal to the window thread and
// returns at once, so a worker never waits for the user. Needs a QApplication; without one the
// message is dropped.
namespace zentor {

void showMessageBox(MessageKind kind, const std::string& text);
// The text is formed printf-style from the format and the arguments.
void showMessageBox(MessageKind kind, const char* format, ...) ZENTOR_PRINTF_FORMAT(2, 3);

// The message box routine as the receiver protocol's message sink.
class MessageBoxSink final : public MessageSink
{
public:
    // Any thread; never blocks, also on the window thread. `closed` runs on the window thread
    // once the user has dismissed the box.
    void postMessage(MessageKind kind, std::string text,
                     std::function<void()> closed = {}) override;
};

} // namespace zentor
