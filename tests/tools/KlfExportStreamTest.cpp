// klf-export reads a log through a window of the file, so that a log of any size is walked in
// the same memory: the records it finds, their offsets and the verdict must be the program's
// record reader's over the whole file, wherever a window boundary cuts a record (the log is
// shifted against the windows by every few bytes up to the largest record), for a whole log, one
// with a bad checksum, one with a length that ends the walk and one cut short; and once from a
// real file, as the program reads it.
#include "klf-export/LogStream.h"
#include "logging/KlfFormat.h"
#include "logging/LogHeader.h"
#include "logging/LogTestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace zentor::klfexport {
namespace {

using logtest::Bytes;
using logtest::numberedRecord;

// Header, two records of `shift` data bytes between them, then records of every size up to the
// largest (a packet body of 2047 bytes), with TravelPilot records among them: a few windows long.
Bytes logShiftedBy(std::size_t shift)
{
    LogHeaderInput input;
    input.serialNumber = "ZT000417";
    input.present = {true, true};
    input.channelInformation = numberedRecord(0, 80);
    Bytes log = buildLogHeader(input);
    const auto add = [&](const Bytes& record) {
        log.insert(log.end(), record.begin(), record.end());
    };
    add(numberedRecord(1, 4 + shift / 2));
    add(numberedRecord(2, 4 + shift - shift / 2));
    const std::size_t sizes[] = {2045, 1, 150, 7, 2045, 2044, 300, 2045, 40, 1999, 2045, 3};
    for (std::uint32_t round = 0; round < 2; ++round) {
        for (std::size_t size : sizes) {
            add(numberedRecord(round * 100 + static_cast<std::uint32_t>(size), size));
            add({0x15, 0x00, 0xC0, 9, 5,   14, 12, 3, 126, 'N', 52, 0,
                 0,    0,    0,    0, 'E', 4,  0,  0, 0,   0,   0});
        }
    }
    return log;
}

void expectTheReadersRecords(const Bytes& log, LogStream& stream)
{
    KlfReader whole(log.data(), log.size());
    KlfRecord expected, got;
    std::size_t records = 0;
    for (bool more = true; more; ++records) {
        more = whole.next(expected);
        ASSERT_EQ(stream.next(got), more) << "record " << records;
        if (!more)
            break;
        ASSERT_EQ(got.offset, expected.offset) << "record " << records;
        ASSERT_EQ(got.size, expected.size);
        ASSERT_EQ(got.kind, expected.kind);
        ASSERT_EQ(got.checksum, expected.checksum);
        ASSERT_EQ(Bytes(got.data.data, got.data.data + got.data.size),
                  Bytes(expected.data.data, expected.data.data + expected.data.size));
    }
    EXPECT_GT(records, 20u);
    EXPECT_EQ(stream.verdict(), whole.verdict());
    EXPECT_EQ(stream.problemOffset(), whole.problemOffset());
    EXPECT_STREQ(stream.problem(), whole.problem());
}

TEST(KlfExportStream, FindsTheReadersRecordsWhereverAWindowCutsOne)
{
    for (std::size_t shift = 0; shift < 2100; shift += 3) {
        const Bytes whole = logShiftedBy(shift);
        ASSERT_GT(whole.size(), 3 * LogStream::kMinWindowBytes);
        // Damage in the back half, where windows have been refilled.
        const std::size_t late = whole.size() * 3 / 5;
        KlfReader find(whole.data(), whole.size());
        KlfRecord r;
        while (find.next(r) && (r.offset < late || r.type == kTravelPilotPositionType)) {
        }
        Bytes badChecksum = whole, badLength = whole;
        badChecksum[r.offset + r.size - 1] ^= 0x01;
        badLength[r.offset] = badLength[r.offset + 1] = 0;
        const Bytes cut(whole.begin(), whole.end() - 1000);
        const char* names[] = {"whole", "bad checksum", "length 0", "cut short"};
        const Bytes* logs[] = {&whole, &badChecksum, &badLength, &cut};
        for (std::size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE(std::string(names[i]) + ", shifted by " + std::to_string(shift));
            const Bytes* log = logs[i];
            LogStream stream(log->data(), log->size(), LogStream::kMinWindowBytes);
            expectTheReadersRecords(*log, stream);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(KlfExportStream, ReadsAFileAgainFromItsStart)
{
    const logtest::ScratchDir dir;
    const Bytes log = logShiftedBy(17);
    logtest::writeFile(dir.file("drive.KLF"), log);
    std::FILE* file = std::fopen(dir.file("drive.KLF").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    LogStream stream(file, LogStream::kMinWindowBytes);
    for (int walk = 0; walk < 2; ++walk) {
        SCOPED_TRACE(walk);
        expectTheReadersRecords(log, stream);
        EXPECT_TRUE(stream.walkedToEnd());
        EXPECT_TRUE(stream.restart());
    }
    std::fclose(file);
}

} // namespace
} // namespace zentor::klfexport
