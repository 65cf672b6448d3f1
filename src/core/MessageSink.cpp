#include "core/MessageSink.h"

namespace zentor {

const char* messageTitle(MessageKind kind)
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

} // namespace zentor
