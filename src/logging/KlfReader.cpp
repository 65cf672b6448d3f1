#include "logging/KlfReader.h"

#include "link/ByteOrder.h"
#include "link/PacketTypes.h"
#include "logging/KlfFormat.h"

#include <algorithm>

namespace zentor {

namespace {

bool allZero(const std::uint8_t* p, std::size_t n)
{
    return std::all_of(p, p + n, [](std::uint8_t b) { return b == 0; });
}

// The fixed length of a TravelPilot record type; 0 for every other type.
std::uint16_t travelPilotLength(std::uint8_t type)
{
    if (type == kTravelPilotPositionType)
        return kTravelPilotPositionLength;
    if (type == kTravelPilotSpeedType)
        return kTravelPilotSpeedLength;
    return 0;
}

} // namespace

const char* klfVerdictWord(KlfVerdict verdict)
{
    switch (verdict) {
    case KlfVerdict::Truncated:
        return "truncated";
    case KlfVerdict::Damaged:
        return "damaged";
    case KlfVerdict::Whole:
        break;
    }
    return "whole";
}

KlfReader::KlfReader(const std::uint8_t* bytes, std::size_t size)
    : bytes_(size > 0 ? bytes : nullptr), size_(bytes ? size : 0)
{}

bool KlfReader::next(KlfRecord& record)
{
    if (ended_)
        return false;
    const std::size_t left = size_ - at_;

    if (expect_ == Expect::Start) {
        // Log mode writes a new file's header in one go: an empty file is one cut before it.
        if (left == 0)
            return stop(KlfVerdict::Truncated, 0, "empty file");
        expect_ = Expect::Packets;
        if (allZero(bytes_, std::min(left, kLeadInBytes))) {
            if (left < kLeadInBytes)
                return stop(KlfVerdict::Truncated, 0, "lead-in");
            record = KlfRecord{};
            record.kind = KlfRecordKind::LeadIn;
            record.size = kLeadInBytes;
            hasHeader_ = true;
            expect_ = Expect::Signature;
            at_ = kLeadInBytes;
            return true;
        }
    }

    if (left == 0) {
        const bool inHeader = expect_ == Expect::Signature || expect_ == Expect::SerialNumber ||
                              expect_ == Expect::Receivers;
        if (inHeader)
            return stop(KlfVerdict::Truncated, at_, "header");
        ended_ = true;
        return false;
    }
    if (left < kLengthFieldBytes)
        return stop(KlfVerdict::Truncated, at_, "length");

    const std::uint8_t* p = bytes_ + at_;
    const std::uint16_t length = readLe16(p);
    if (length == 0)
        return stop(KlfVerdict::Damaged, at_, "length 0");
    if (length > kMaxBodyLength)
        return stop(KlfVerdict::Damaged, at_, "length over 2047");
    if (left < kLengthFieldBytes + length)
        return stop(KlfVerdict::Truncated, at_, "record");

    record = KlfRecord{};
    record.offset = at_;
    record.size = kLengthFieldBytes + length;
    record.length = length;
    record.type = p[kLengthFieldBytes];

    bool checked = carriesChecksum(record.type);
    switch (expect_) {
    case Expect::Signature:
        if (length != kSignatureLength || record.type != kSignatureType)
            return stop(KlfVerdict::Damaged, at_, "signature record");
        record.kind = KlfRecordKind::Signature;
        expect_ = Expect::SerialNumber;
        break;
    case Expect::SerialNumber:
        if (length != kSerialNumberLength || record.type != kSerialNumberType)
            return stop(KlfVerdict::Damaged, at_, "serial number record");
        record.kind = KlfRecordKind::SerialNumber;
        expect_ = Expect::Receivers;
        break;
    case Expect::Receivers:
        if (length != kReceiversLength || record.type != kReceiversType)
            return stop(KlfVerdict::Damaged, at_, "receivers record");
        record.kind = KlfRecordKind::Receivers;
        checked = false;
        expect_ = Expect::ChannelInformation;
        break;
    case Expect::ChannelInformation:
        if (record.type == kPacketLevelValues || record.type == kPacketStatusBlocks)
            record.kind = KlfRecordKind::ChannelInformation;
        expect_ = Expect::Packets;
        break;
    case Expect::Start:
    case Expect::Packets:
        break;
    }

    // The body is the type, the data and, where the record has one, the checksum.
    const std::uint8_t* body = p + kLengthFieldBytes;
    const std::size_t dataBytes = checked ? (length >= 2 ? length - 2u : 0u) : length - 1u;
    record.data = {body + 1, dataBytes};
    if (checked) {
        std::uint8_t x = 0;
        for (std::size_t i = 0; i + 1 < length; ++i)
            x ^= body[i];
        record.checksum = x == body[length - 1] ? ChecksumState::Good : ChecksumState::Bad;
        if (record.checksum == ChecksumState::Bad)
            note(KlfVerdict::Damaged, at_, "checksum");
    }
    const std::uint16_t fixedLength = travelPilotLength(record.type);
    if (fixedLength != 0 && length != fixedLength)
        note(KlfVerdict::Damaged, at_, "TravelPilot record length");

    at_ += record.size;
    return true;
}

bool KlfReader::stop(KlfVerdict verdict, std::size_t at, const char* problem)
{
    note(verdict, at, problem);
    ended_ = true;
    return false;
}

void KlfReader::note(KlfVerdict verdict, std::size_t at, const char* problem)
{
    if (verdict_ != KlfVerdict::Whole)
        return;
    verdict_ = verdict;
    problemOffset_ = at;
    problem_ = problem;
}

} // namespace zentor
