#include "LogDump.h"
#include "PacketSummary.h"

namespace zentor::klfdump {

namespace {

// The header records as labelled lines, then a table of packets, the counts and the verdict.
class TextOutput : public DumpOutput
{
public:
    explicit TextOutput(std::FILE* out) : out_(out) {}

    void file(const std::string& name, std::size_t bytes) override
    {
        std::fprintf(out_, "file %s, %zu bytes\n", name.c_str(), bytes);
    }

    void record(const KlfRecord& r) override
    {
        switch (r.kind) {
        case KlfRecordKind::LeadIn:
            std::fprintf(out_, "header\n");
            line("lead-in", "6 zero bytes");
            return;
        case KlfRecordKind::Signature:
            line("signature", "\"" + headerText(r) + "\", checksum " + checksumWord(r.checksum));
            return;
        case KlfRecordKind::SerialNumber:
            line("serial number",
                 "\"" + headerText(r) + "\", checksum " + checksumWord(r.checksum));
            return;
        case KlfRecordKind::Receivers:
            line("receivers", receiversSummary(receiversOf(r)));
            headerOpen_ = true;
            return;
        case KlfRecordKind::ChannelInformation:
            line("channel information", "type " + hex(r.type) + " at byte " +
                                            std::to_string(r.offset) + ", " +
                                            std::to_string(r.size) + " bytes");
            headerOpen_ = false;
            break;
        case KlfRecordKind::Packet:
            break;
        }
        closeHeader();
        if (!tableOpen_) {
            std::fprintf(out_, "packets\n  %10s  %-4s  %6s  %-8s  %s\n", "offset", "type", "length",
                         "checksum", "summary");
            tableOpen_ = true;
        }
        std::fprintf(out_, "  %10zu  0x%02X  %6u  %-8s  %s\n", r.offset, r.type, r.length,
                     checksumWord(r.checksum), packetSummary(r).c_str());
    }

    void finish(const KlfReader& reader, const TypeCounts& counts) override
    {
        closeHeader();
        if (!reader.hasHeader())
            std::fprintf(out_, "header: none (the file does not start with the lead-in)\n");
        std::fprintf(out_, "counts\n");
        for (const auto& [type, n] : counts.perType)
            std::fprintf(out_, "  0x%02X  %-22s %10llu\n", type, typeName(type),
                         static_cast<unsigned long long>(n));
        std::fprintf(out_, "  all packets                  %10llu\n",
                     static_cast<unsigned long long>(counts.packets));
        std::fprintf(out_, "  bad checksums                %10llu\n",
                     static_cast<unsigned long long>(counts.badChecksums));
        if (reader.verdict() == KlfVerdict::Whole)
            std::fprintf(out_, "verdict: whole\n");
        else
            std::fprintf(out_, "verdict: %s at byte %zu (%s)\n", klfVerdictWord(reader.verdict()),
                         reader.problemOffset(), reader.problem());
    }

private:
    void line(const char* label, const std::string& text)
    {
        std::fprintf(out_, "  %-20s %s\n", label, text.c_str());
    }

    // A header whose receivers record is not followed by channel information says so.
    void closeHeader()
    {
        if (headerOpen_)
            line("channel information", "none");
        headerOpen_ = false;
    }

    static std::string hex(std::uint8_t type)
    {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", type);
        return text;
    }

    std::FILE* out_;
    bool headerOpen_ = false;
    bool tableOpen_ = false;
};

} // namespace

std::unique_ptr<DumpOutput> makeTextOutput(std::FILE* out)
{
    return std::make_unique<TextOutput>(out);
}

const char* checksumWord(ChecksumState state)
{
    switch (state) {
    case ChecksumState::Good:
        return "good";
    case ChecksumState::Bad:
        return "bad";
    case ChecksumState::NotCarried:
        break;
    }
    return "none";
}

} // namespace zentor::klfdump
