#pragma once

#include "link/Frame.h"

#include <cstddef>
#include <cstdint>

namespace zentor {

// What a record of a log file is (see KlfFormat.h for the header records).
enum class KlfRecordKind
{
    LeadIn,             // header record 1: six 0x00 bytes
    Signature,          // header record 2
    SerialNumber,       // header record 3
    Receivers,          // header record 4
    ChannelInformation, // header record 5: a type 5 or 6 packet right after the receivers record
    Packet,             // an instrument packet or a TravelPilot record
};

enum class ChecksumState
{
    NotCarried, // TravelPilot records, the receivers record and the lead-in have none
    Good,
    Bad,
};

struct KlfRecord
{
    KlfRecordKind kind = KlfRecordKind::Packet;
    std::size_t offset = 0; // of the record's first byte in the file
    std::size_t size = 0;   // bytes in the file: L + 2, or 6 for the lead-in
    std::uint16_t length = 0;
    std::uint8_t type = 0;
    ChecksumState checksum = ChecksumState::NotCarried;
    // The bytes after the type byte, up to (not including) the checksum where there is one.
    ByteView data;
};

enum class KlfVerdict
{
    Whole,     // every byte belongs to a sound record
    Truncated, // the file ends inside the record that starts at problemOffset()
    Damaged,   // the record at problemOffset() is not what the file format allows
};

// The verdict as the tools write it: "whole", "truncated" or "damaged".
const char* klfVerdictWord(KlfVerdict verdict);

// Walks the bytes of a log file record by record: the header records when the file starts with
// the lead-in, then packet records. An empty file is no log: it is truncated at byte 0. It never reads outside the bytes it was given and never
// asserts on them. A bad checksum or a TravelPilot record of the wrong length marks the file
// damaged but the walk goes on, since the lengths still chain; a length that cannot be a packet's
// (0, or over 2047) or a header record out of place ends the walk. The first problem found is the
// verdict. Not thread-safe; the bytes must outlive the reader.
class KlfReader
{
public:
    KlfReader(const std::uint8_t* bytes, std::size_t size);

    // The next record; false at the end of the bytes or where the walk ends at a problem.
    bool next(KlfRecord& record);

    // What the walk has found so far; final once next() has returned false.
    KlfVerdict verdict() const { return verdict_; }
    std::size_t problemOffset() const { return problemOffset_; }
    // A few words on the problem ("checksum", "length 0", ...); empty while whole.
    const char* problem() const { return problem_; }

    // True when the file starts with the lead-in of a header.
    bool hasHeader() const { return hasHeader_; }

private:
    enum class Expect
    {
        Start,              // at offset 0: a lead-in or straight packets
        Signature,          // header record 2
        SerialNumber,       // header record 3
        Receivers,          // header record 4
        ChannelInformation, // header record 5, or the first packet if there is none
        Packets,
    };

    bool stop(KlfVerdict verdict, std::size_t at, const char* problem);
    void note(KlfVerdict verdict, std::size_t at, const char* problem);

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
    Expect expect_ = Expect::Start;
    bool ended_ = false;
    bool hasHeader_ = false;
    KlfVerdict verdict_ = KlfVerdict::Whole;
    std::size_t problemOffset_ = 0;
    const char* problem_ = "";
};

} // namespace zentor
