// The RSSI reading the map feed publishes for the chosen receiver, by measurement mode, from a
// copy of the receiver state.
#include "app/MapRssi.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

std::uint8_t dbm(int level)
{
    return static_cast<std::uint8_t>(level + 256);
}

TEST(MapRssi, SingleReadingStrongestListReadingStrongestTableReading)
{
    ReceiverSnapshot rx;
    EXPECT_EQ(mapRssiDbm(MeasurementMode::Single, rx), -120);
    EXPECT_EQ(mapRssiDbm(MeasurementMode::List, rx), -120);
    EXPECT_EQ(mapRssiDbm(MeasurementMode::Table, rx), -120) << "an untouched table is 0 bytes";

    rx.singleRssi = dbm(-67);
    rx.listRssi.fill(dbm(-120));
    rx.listRssi[3] = dbm(-52);
    rx.listRssi[9] = dbm(-125);
    rx.tableRssi[3071] = dbm(-47);
    rx.tableRssi[5] = dbm(-90);
    EXPECT_EQ(mapRssiDbm(MeasurementMode::Single, rx), -67);
    EXPECT_EQ(mapRssiDbm(MeasurementMode::List, rx), -52);
    EXPECT_EQ(mapRssiDbm(MeasurementMode::Table, rx), -47);
}

} // namespace
} // namespace zentor
