#include "logging/LogRecordQueue.h"

#include "LogTestSupport.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

using logtest::Bytes;
using Push = LogRecordQueue::Push;

Push push(LogRecordQueue& q, const Bytes& record)
{
    return q.push(record.data(), static_cast<std::uint16_t>(record.size()));
}

TEST(LogRecordQueue, HandsOutEveryRecordInOrder)
{
    LogRecordQueue q(1024);
    const Bytes a = {0x01, 0x02, 0x03};
    const Bytes b = {0x0A};
    const Bytes c = {0x10, 0x20};
    EXPECT_EQ(push(q, a), Push::AcceptedIntoEmpty);
    EXPECT_EQ(push(q, b), Push::Accepted);

    LogBatch batch;
    q.takeAll(batch);
    EXPECT_EQ(batch.bytes, (Bytes{0x01, 0x02, 0x03, 0x0A}));
    EXPECT_EQ(batch.sizes, (std::vector<std::uint16_t>{3, 1}));

    // Emptied by the take: the next push finds it empty again, and the batch starts afresh.
    EXPECT_EQ(push(q, c), Push::AcceptedIntoEmpty);
    q.takeAll(batch);
    EXPECT_EQ(batch.bytes, c);
    EXPECT_EQ(batch.sizes, (std::vector<std::uint16_t>{2}));
    q.takeAll(batch);
    EXPECT_TRUE(batch.empty());
    EXPECT_TRUE(batch.bytes.empty());
    EXPECT_EQ(q.counts().accepted, 3u);
}

TEST(LogRecordQueue, RejectsEmptyAndOversizedRecords)
{
    LogRecordQueue q(64 * 1024);
    const Bytes largest(8192, 0x55);
    const Bytes tooLong(8193, 0x55);
    EXPECT_EQ(q.push(largest.data(), 0), Push::Rejected);
    EXPECT_EQ(q.push(nullptr, 5), Push::Rejected);
    EXPECT_EQ(push(q, tooLong), Push::Rejected);
    EXPECT_EQ(q.push(tooLong.data(), 65535), Push::Rejected);
    EXPECT_EQ(push(q, largest), Push::AcceptedIntoEmpty);

    LogBatch batch;
    q.takeAll(batch);
    EXPECT_EQ(batch.sizes, (std::vector<std::uint16_t>{8192}));
    EXPECT_EQ(q.counts().rejected, 4u);
    EXPECT_EQ(q.counts().accepted, 1u);
}

TEST(LogRecordQueue, DropsWhatDoesNotFitAndSaysWhereTheGapIs)
{
    LogRecordQueue q(10);
    EXPECT_EQ(push(q, Bytes(4, 1)), Push::AcceptedIntoEmpty);
    EXPECT_EQ(push(q, Bytes(6, 2)), Push::Accepted); // exactly full
    EXPECT_EQ(push(q, Bytes(1, 3)), Push::Dropped);
    EXPECT_EQ(push(q, Bytes(5, 4)), Push::Dropped);
    const LogLoss first = q.takeLoss();
    EXPECT_EQ(first.records, 2u);
    EXPECT_EQ(first.bytes, 6u);
    EXPECT_EQ(first.firstAtByte, 10u);
    EXPECT_EQ(q.takeLoss().records, 0u); // taken once

    LogBatch batch;
    q.takeAll(batch);
    EXPECT_EQ(batch.sizes, (std::vector<std::uint16_t>{4, 6}));
    EXPECT_EQ(push(q, Bytes(3, 5)), Push::AcceptedIntoEmpty); // room again
    EXPECT_EQ(push(q, Bytes(8, 6)), Push::Dropped);
    const LogLoss loss = q.takeLoss();
    EXPECT_EQ(loss.records, 1u);
    EXPECT_EQ(loss.bytes, 8u);
    EXPECT_EQ(loss.firstAtByte, 13u); // after the 4 + 6 + 3 bytes accepted
    EXPECT_EQ(q.counts().lost, 3u);
}

} // namespace
} // namespace zentor
