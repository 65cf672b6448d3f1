#include "gps/GpsStatusStore.h"

#include "GpsTestRecords.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(GpsStatusStore, HoldsTheLastWholeRecordAndIgnoresAShortOne)
{
    GpsStatusStore store;
    EXPECT_EQ(store.snapshot().year, 0);
    EXPECT_EQ(store.snapshot().idTag, "");

    test::Bytes first = test::handBuiltRecord();
    ASSERT_TRUE(store.decode(first.data(), first.size()));
    EXPECT_EQ(store.snapshot().seconds, 9);

    test::Bytes second = first;
    second[test::gpsat::kClock + 2] = 10;
    second.pop_back();
    EXPECT_FALSE(store.decode(second.data(), second.size()));
    const GpsStatus s = store.snapshot();
    EXPECT_EQ(s.seconds, 9);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), s.record.begin()));
}

} // namespace
} // namespace zentor
