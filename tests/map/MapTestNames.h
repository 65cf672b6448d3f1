#pragma once

// Names of a shared map block of a test's own, so that tests running at the same time (and the
// program itself) never meet, removed again at the end of the test.
#include "platform/MapPublisher.h"

#include <atomic>
#include <string>
#include <unistd.h>

namespace zentor::test {

class TestMapNames
{
public:
    TestMapNames()
    {
        static std::atomic<int> counter{0};
        const std::string tag =
            std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
        names_.block = "ZentorTestBlock_" + tag;
        names_.mutex = "ZentorTestMutex_" + tag;
        names_.message = "ZentorTestUpdate_" + tag;
        removeMapBlock(names_);
    }
    ~TestMapNames() { removeMapBlock(names_); }
    TestMapNames(const TestMapNames&) = delete;
    TestMapNames& operator=(const TestMapNames&) = delete;

    const MapFeedNames& names() const { return names_; }
    std::string blockPath() const { return "/" + names_.block; }
    std::string mutexPath() const { return "/" + names_.mutex; }

private:
    MapFeedNames names_;
};

} // namespace zentor::test
