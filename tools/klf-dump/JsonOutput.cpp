#include "LogDump.h"
#include "PacketSummary.h"

namespace zentor::klfdump {

namespace {

// A JSON string literal. The texts hold ASCII only (PacketSummary escapes the rest).
std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* kindWord(KlfRecordKind kind)
{
    switch (kind) {
    case KlfRecordKind::LeadIn:
        return "lead-in";
    case KlfRecordKind::Signature:
        return "signature";
    case KlfRecordKind::SerialNumber:
        return "serial-number";
    case KlfRecordKind::Receivers:
        return "receivers";
    case KlfRecordKind::ChannelInformation:
        return "channel-information";
    case KlfRecordKind::Packet:
        break;
    }
    return "packet";
}

// One object per line, each with a "record" member saying what it describes.
class JsonOutput : public DumpOutput
{
public:
    explicit JsonOutput(std::FILE* out) : out_(out) {}

    void file(const std::string& name, std::size_t bytes) override
    {
        std::fprintf(out_, "{\"record\":\"file\",\"name\":%s,\"bytes\":%zu}\n",
                     jsonString(name).c_str(), bytes);
    }

    void record(const KlfRecord& r) override
    {
        if (r.kind == KlfRecordKind::LeadIn) {
            std::fprintf(out_, "{\"record\":\"lead-in\",\"offset\":0,\"bytes\":%zu}\n", r.size);
            return;
        }
        std::fprintf(out_,
                     "{\"record\":\"%s\",\"offset\":%zu,\"type\":%u,\"length\":%u,"
                     "\"checksum\":\"%s\"",
                     kindWord(r.kind), r.offset, r.type, r.length, checksumWord(r.checksum));
        switch (r.kind) {
        case KlfRecordKind::Signature:
            std::fprintf(out_, ",\"text\":%s", jsonString(headerText(r)).c_str());
            break;
        case KlfRecordKind::SerialNumber:
            std::fprintf(out_, ",\"serial_number\":%s", jsonString(headerText(r)).c_str());
            break;
        case KlfRecordKind::Receivers:
            receivers(receiversOf(r));
            break;
        default:
            std::fprintf(out_, ",\"name\":%s,\"summary\":%s", jsonString(typeName(r.type)).c_str(),
                         jsonString(packetSummary(r)).c_str());
            break;
        }
        std::fprintf(out_, "}\n");
    }

    void finish(const KlfReader& reader, const TypeCounts& counts) override
    {
        std::fprintf(out_, "{\"record\":\"counts\",\"types\":{");
        const char* separator = "";
        for (const auto& [type, n] : counts.perType) {
            std::fprintf(out_, "%s\"0x%02X\":%llu", separator, type,
                         static_cast<unsigned long long>(n));
            separator = ",";
        }
        std::fprintf(out_, "},\"packets\":%llu,\"bad_checksums\":%llu}\n",
                     static_cast<unsigned long long>(counts.packets),
                     static_cast<unsigned long long>(counts.badChecksums));
        std::fprintf(out_, "{\"record\":\"verdict\",\"verdict\":\"%s\",\"header\":%s",
                     klfVerdictWord(reader.verdict()), reader.hasHeader() ? "true" : "false");
        if (reader.verdict() != KlfVerdict::Whole)
            std::fprintf(out_, ",\"offset\":%zu,\"problem\":%s", reader.problemOffset(),
                         jsonString(reader.problem()).c_str());
        std::fprintf(out_, "}\n");
    }

private:
    void receivers(const std::array<ReceiverFacts, 2>& rx)
    {
        std::fprintf(out_, ",\"receivers\":[");
        for (std::size_t r = 0; r < rx.size(); ++r) {
            std::fprintf(out_, "%s{\"present\":%s", r == 0 ? "" : ",",
                         rx[r].present ? "true" : "false");
            if (rx[r].present)
                std::fprintf(out_, ",\"start\":%d,\"stop\":%d,\"step_khz\":%.6g,\"step_whole\":%s",
                             rx[r].startCount, rx[r].stopCount, rx[r].stepKHz,
                             rx[r].stepWhole ? "true" : "false");
            std::fprintf(out_, "}");
        }
        std::fprintf(out_, "]");
    }

    std::FILE* out_;
};

} // namespace

std::unique_ptr<DumpOutput> makeJsonOutput(std::FILE* out)
{
    return std::make_unique<JsonOutput>(out);
}

} // namespace zentor::klfdump
