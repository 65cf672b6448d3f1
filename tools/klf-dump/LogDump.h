#pragma once

#include "logging/KlfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace zentor::klfdump {

// Packet records per type, and those whose checksum did not match.
struct TypeCounts
{
    std::map<std::uint8_t, std::uint64_t> perType;
    std::uint64_t packets = 0;
    std::uint64_t badChecksums = 0;
};

// Where the dump of one file goes: the file, then every record in file order, then the counts
// and the verdict.
class DumpOutput
{
public:
    virtual ~DumpOutput() = default;
    virtual void file(const std::string& name, std::size_t bytes) = 0;
    virtual void record(const KlfRecord& record) = 0;
    virtual void finish(const KlfReader& reader, const TypeCounts& counts) = 0;
};

// Lines for people to read.
std::unique_ptr<DumpOutput> makeTextOutput(std::FILE* out);
// One JSON object per line.
std::unique_ptr<DumpOutput> makeJsonOutput(std::FILE* out);

// The checksum state as the dump writes it: "good", "bad" or "none".
const char* checksumWord(ChecksumState state);

// Dumps the `size` bytes of the log file `name` to `out`: the file, every record in file order
// as the program's record reader walks them, then the packet counts and the verdict. Returns the
// verdict. The bytes may be anything; nothing is read outside them.
KlfVerdict dumpLog(const std::string& name, const std::uint8_t* bytes, std::size_t size,
                   DumpOutput& out);

} // namespace zentor::klfdump
