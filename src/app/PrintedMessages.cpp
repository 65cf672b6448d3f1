#include "app/PrintedMessages.h"

#include "core/MessageSink.h"

namespace zentor {

void PrintedMessages::postMessage(MessageKind kind, std::string text, std::function<void()> closed)
{
    // One call per line, so lines from two threads do not interleave.
    std::fprintf(out_, "%s: %s\n", messageTitle(kind), text.c_str());
    std::fflush(out_);
    if (closed)
        window_.post(std::move(closed));
}

} // namespace zentor
