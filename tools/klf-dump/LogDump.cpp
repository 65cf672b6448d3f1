#include "LogDump.h"

namespace zentor::klfdump {

KlfVerdict dumpLog(const std::string& name, const std::uint8_t* bytes, std::size_t size,
                   DumpOutput& out)
{
    out.file(name, size);
    KlfReader reader(bytes, size);
    TypeCounts counts;
    KlfRecord record;
    while (reader.next(record)) {
        out.record(record);
        if (record.kind == KlfRecordKind::Packet ||
            record.kind == KlfRecordKind::ChannelInformation) {
            ++counts.perType[record.type];
            ++counts.packets;
        }
        if (record.checksum == ChecksumState::Bad)
            ++counts.badChecksums;
    }
    out.finish(reader, counts);
    return reader.verdict();
}

} // namespace zentor::klfdump
