#include "app/RouterTick.h"

#include "link/ProtocolDoubles.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using test::Bytes;
using test::packetRecord;

void feed(TReceiverLink& link, std::uint8_t type, const Bytes& data)
{
    const Bytes record = packetRecord(type, data);
    ASSERT_TRUE(link.HandlePacket(record.data(), record.size()));
}

TEST(RouterTick, SetsTheRefreshEventAndTheEventsOfMarkedReceiversOnly)
{
    TReceiverLink link;
    Event refresh;
    feed(link, 0x03, {0xB5, 0xB3}); // single-mode levels of receiver 2: -75, -77 dBm

    tickRouters(&refresh, link);
    EXPECT_TRUE(refresh.isSet());
    EXPECT_FALSE(link.receiverDataEvent(0).isSet());
    EXPECT_TRUE(link.receiverDataEvent(1).isSet());

    // The mark was cleared: after the display has reset the event, no new data, no event.
    refresh.reset();
    link.receiverDataEvent(1).reset();
    tickRouters(&refresh, link);
    EXPECT_TRUE(refresh.isSet());
    EXPECT_FALSE(link.receiverDataEvent(1).isSet());
    EXPECT_FALSE(link.takeNewData(1));
}

TEST(RouterTick, BeforeTheMainRouterExistsOnlyTheReceiversAreServed)
{
    TReceiverLink link;
    feed(link, 0x02, {0xB5});
    feed(link, 0x03, {0xB0});
    tickRouters(nullptr, link);
    EXPECT_TRUE(link.receiverDataEvent(0).isSet());
    EXPECT_TRUE(link.receiverDataEvent(1).isSet());
}

} // namespace
} // namespace zentor
