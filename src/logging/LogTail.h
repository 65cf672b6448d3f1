#pragma once

#include "platform/AppendFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zentor {

// Where a log file that is about to be appended to ends in a torn record: one cut short because
// the program was killed while the disk was far behind with its writes. Anything appended after
// such a record would be read as part of it, so the record is cut off first.
//
// Returns the size of the file up to the end of its last whole record when the file starts with
// the data logger's header (lead-in, signature "QXVZENTOR0401", serial number and receivers
// records), every record after it reads cleanly, and the file ends inside the record after the
// last whole one. Returns nothing for every other file, which is then not to be touched: a whole
// one, one without that header, one whose damage is not at its end (a bad checksum or length,
// bytes that are no record), and one that could not be read.
//
// Reads the file from its start through `file`, a piece of kTailPieceBytes at a time, on the
// caller's thread; the file's size is file.size().
std::optional<std::int64_t> wholeRecordsEnd(AppendFile& file);

constexpr std::size_t kTailPieceBytes = 64 * 1024;

} // namespace zentor
