#pragma once

#include <functional>
#include <string>

namespace zentor {

// The kind of a message; its word is also the title of the box that shows it.
enum class MessageKind
{
    Information = 0,
    Warning = 1,
    Error = 2,
};

// The title of a kind's box, and the word a printed message starts with.
inline const char* messageTitle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return "Information";
    case MessageKind::Warning:
        return "Warning";
    case MessageKind::Error:
        return "Error";
    }
    return "";
}

// Where workers send messages for the user. Implemented by the message box routine.
class MessageSink
{
public:
    virtual ~MessageSink() = default;

    // Queues a message box and returns at once, from any thread. `closed`, if given, is called
    // on the window thread when the user has dismissed the box.
    virtual void postMessage(MessageKind kind, std::string text,
                             std::function<void()> closed = {}) = 0;
};

} // namespace zentor
