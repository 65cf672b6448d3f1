#pragma once

// A message sink for tests: it keeps every message posted to it, safe to read while another
// thread posts.
#include "core/MessageSink.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace zentor::test {

class RecordingMessages final : public MessageSink
{
public:
    struct Message
    {
        MessageKind kind;
        std::string text;
        std::function<void()> closed; // what the box runs once the user has dismissed it
    };

    void postMessage(MessageKind kind, std::string text, std::function<void()> closed) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back({kind, std::move(text), std::move(closed)});
    }

    std::vector<Message> messages() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }

private:
    mutable std::mutex mutex_; // guards messages_
    std::vector<Message> messages_;
};

} // namespace zentor::test
