#include "logging/LogTail.h"

#include "link/Frame.h"
#include "logging/KlfFormat.h"
#include "logging/KlfReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zentor {

namespace {

constexpr std::size_t kLargestRecordBytes = kLengthFieldBytes + kMaxBodyLength;
// The first piece holds the whole header and a record after it; every later piece starts with
// the last whole record of the one before and holds at least one record after it, so the walk
// always moves on.
static_assert(kTailPieceBytes >= 2 * (kLeadInBytes + 3 * kLargestRecordBytes),
              "a piece must hold a few of the longest records");

bool isOurSignature(const KlfRecord& record)
{
    return record.data.size == kSignatureTextBytes &&
           std::memcmp(record.data.data, kSignatureText, kSignatureTextBytes) == 0;
}

} // namespace

std::optional<std::int64_t> wholeRecordsEnd(AppendFile& file)
{
    const std::int64_t size = file.size();
    std::vector<std::uint8_t> piece(kTailPieceBytes);
    bool headerWhole = false;
    // The records chain from the file's start, so the walk reads it all. A piece's walk begins
    // with a record known to be whole: a reader started anywhere else could take a run of zero
    // bytes for the lead-in of a header.
    std::int64_t at = 0;
    for (;;) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::int64_t>(size - at, kTailPieceBytes));
        if (file.readAt(at, piece.data(), wanted) != static_cast<std::int64_t>(wanted))
            return std::nullopt;
        KlfReader reader(piece.data(), wanted);
        KlfRecord record;
        std::size_t lastWholeStart = 0;
        while (reader.next(record)) {
            if (record.kind == KlfRecordKind::Signature && !isOurSignature(record))
                return std::nullopt;
            if (record.kind == KlfRecordKind::Receivers)
                headerWhole = true;
            lastWholeStart = record.offset;
        }
        if (at == 0 && !reader.hasHeader())
            return std::nullopt;
        const bool lastPiece = at + static_cast<std::int64_t>(wanted) == size;
        if (reader.verdict() == KlfVerdict::Damaged)
            return std::nullopt;
        if (!lastPiece) {
            at += static_cast<std::int64_t>(lastWholeStart);
            continue;
        }
        if (reader.verdict() == KlfVerdict::Whole || !headerWhole)
            return std::nullopt;
        return at + static_cast<std::int64_t>(reader.problemOffset());
    }
}

} // namespace zentor
