#pragma once

#include "logging/KlfReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentor {

using Bytes = std::vector<std::uint8_t>;

// A data logger log file (.KLF) read for replay: the instrument packets it holds, each as the
// frame that carried it on the wire (0xAA, then the packet record as the file holds it), in file
// order, and the header's facts about the instrument. Sent are the header's channel information
// record and every packet after the header; left out are the lead-in, the signature, serial
// number and receivers records, the TravelPilot records (0xC0, 0xC1) and any record whose
// checksum is wrong. The file is walked with the data logger's own record reader; a walk that
// ends at a problem (a cut-short record, an impossible length) keeps what came before it. No
// content of the file makes the reading fail.
class ReplayLog
{
public:
    // Reads the log from its bytes; keeps its own copy of the frames.
    explicit ReplayLog(const Bytes& file);

    std::size_t frameCount() const { return frames_.size(); }
    Bytes frame(std::size_t i) const;
    std::uint8_t type(std::size_t i) const { return frames_[i].type; }
    std::vector<std::uint8_t> types() const;

    // True when the file starts with a log header whose signature record was read: a data
    // logger log, not some other file.
    bool hasHeader() const { return hasHeader_; }

    // The identification packet (type 0x1C) of the header's serial number, framed; none when
    // the file has no header or the number is empty.
    std::optional<Bytes> headerIdentification() const;

    // The serial number of the header's record 3 (its text up to the first 0x00); none when the
    // file has no header or the number is empty.
    const std::optional<std::string>& serialNumber() const { return serialNumber_; }

    // The configuration packet (type 0x01) that the header's receivers record describes, framed:
    // the presence flags (the channel numbering flags are not in the file and are 0) and both
    // receivers' blocks, the last byte of receiver 2's block, which the file does not hold, as
    // 0x00. None when the file has no header.
    const std::optional<Bytes>& headerConfiguration() const { return headerConfiguration_; }

    // The record reader's verdict on the file: Whole, or the first problem it found, where, and
    // a few words on it ("record", "checksum", ...).
    KlfVerdict verdict() const { return verdict_; }
    std::size_t problemOffset() const { return problemOffset_; }
    const std::string& problem() const { return problem_; }

    // Where the walk stopped short: the offset of the first byte not replayed, when the file
    // goes on past the last readable record or ends inside its header. None for a walk that
    // reached the end.
    const std::optional<std::size_t>& stopOffset() const { return stopOffset_; }
    std::size_t fileSize() const { return fileSize_; }

    // Where and why the replay stops short, in a user's words ("drive.KLF is truncated at byte
    // 1234 (record) of 2000: the replay stops there, after the whole packets before it"); empty
    // for a walk that reached the end.
    std::string stopText(const std::string& name) const;

    // Offsets of the records left out for a wrong checksum, in file order.
    const std::vector<std::size_t>& badChecksumOffsets() const { return badChecksums_; }
    std::size_t travelPilotRecords() const { return travelPilotRecords_; }

private:
    struct Frame
    {
        std::size_t begin; // in wire_
        std::size_t size;
        std::uint8_t type;
    };

    void take(const KlfRecord& record, const std::uint8_t* file);

    Bytes wire_; // every frame to send, one after another
    std::vector<Frame> frames_;
    bool hasHeader_ = false;
    std::optional<std::string> serialNumber_;
    std::optional<Bytes> headerConfiguration_;
    KlfVerdict verdict_ = KlfVerdict::Whole;
    std::size_t problemOffset_ = 0;
    std::string problem_;
    std::optional<std::size_t> stopOffset_;
    std::size_t fileSize_ = 0;
    std::vector<std::size_t> badChecksums_;
    std::size_t travelPilotRecords_ = 0;
};

} // namespace zentor
