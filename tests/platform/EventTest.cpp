#include "platform/Event.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace zentor {
namespace {

using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSetUntilReset)
{
    Event e;
    EXPECT_FALSE(e.isSet());
    EXPECT_FALSE(e.wait(0ms));
    EXPECT_FALSE(e.wait(20ms));
    e.set();
    EXPECT_TRUE(e.wait(0ms));
    EXPECT_TRUE(e.wait(1000ms));
    EXPECT_TRUE(e.isSet());
    e.reset();
    EXPECT_FALSE(e.wait(10ms));
    EXPECT_TRUE(Event(true).isSet());
}

TEST(Event, TimesOutAfterAboutTheGivenTime)
{
    Event e;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(e.wait(50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
}

TEST(Event, SetFromAnotherThreadWakesEveryWaiter)
{
    Event e;
    bool woke1 = false, woke2 = false;
    std::thread t1([&] { woke1 = e.wait(5000ms); });
    std::thread t2([&] { woke2 = Event::waitAny({&e}, 5000ms) == 0; });
    std::this_thread::sleep_for(20ms);
    e.set();
    t1.join();
    t2.join();
    EXPECT_TRUE(woke1);
    EXPECT_TRUE(woke2);
}

TEST(Event, WaitAnyGivesTheFirstSetInListOrder)
{
    Event a, b, c;
    EXPECT_EQ(Event::waitAny({&a, &b, &c}, 10ms), -1);
    c.set();
    b.set();
    EXPECT_EQ(Event::waitAny({&a, &b, &c}, 10ms), 1);
    EXPECT_EQ(Event::waitAny({&c, &b, &a}, 10ms), 0);
    a.set();
    EXPECT_EQ(Event::waitAny({&b, &a}, 0ms), 0);

    Event d, f;
    int index = -2;
    std::thread waiter([&] { index = Event::waitAny({&d, &f}, 5000ms); });
    std::this_thread::sleep_for(20ms);
    f.set();
    waiter.join();
    EXPECT_EQ(index, 1);
}

} // namespace
} // namespace zentor
