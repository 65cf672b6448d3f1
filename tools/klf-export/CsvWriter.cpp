#include "ExportFormats.h"
#include "FixTime.h"
#include "PositionRecords.h"
#include "core/TextFormat.h"

#include <charconv>
#include <cstring>
#include <unordered_map>

namespace zentor::klfexport {

namespace {

// Rows are gathered and written in blocks of about this size.
constexpr std::size_t kBlockBytes = 1 << 16;
// Frequencies repeat (ten list entries, a table of at most 3072 per receiver), so each one's
// text is formed once; the store starts afresh should a log hold more than this many.
constexpr std::size_t kMaxFrequencyTexts = 8192;

// Readings come thousands of times a second and positions once, so the part of the row that is
// the position's is formed once per position. No field ever holds a comma, a quote or a line
// end, so none is quoted.
class CsvWriter final : public DriveWriter
{
public:
    CsvWriter(std::ostream& out, const ExportSettings& settings) : out_(out), settings_(settings)
    {
        rows_ = "time,latitude,longitude,receiver,mode,channel,frequency_mhz,rssi_dbm,"
                "position_source,fix\r\n";
    }

    void position(const Position& p) override
    {
        place_ = isoTime(p.time) + formatText(",%.6f,%.6f,", p.latitudeDeg, p.longitudeDeg);
        end_ = std::string(",") + sourceWord(sourceOf(p)) + "," + fixWord(p.fix) + "\r\n";
    }

    void reading(const Reading& r, const Position&) override
    {
        if (!settings_.allReceivers && r.receiver != settings_.receiver)
            return;
        rows_ += place_;
        number(r.receiver);
        rows_ += ',';
        rows_ += measurementModeName(r.mode);
        rows_ += ',';
        if (r.channel)
            number(*r.channel);
        rows_ += ',';
        if (r.frequencyMHz)
            rows_ += frequencyText(*r.frequencyMHz);
        rows_ += ',';
        number(r.rssiDbm);
        rows_ += end_;
        if (rows_.size() >= kBlockBytes)
            flush();
    }

    void finish(const DriveSummary&) override { flush(); }

private:
    void number(long v)
    {
        char text[24];
        const std::to_chars_result end = std::to_chars(text, text + sizeof text, v);
        rows_.append(text, end.ptr);
    }

    const std::string& frequencyText(double mhz)
    {
        std::uint64_t key;
        std::memcpy(&key, &mhz, sizeof key);
        auto found = frequencies_.find(key);
        if (found == frequencies_.end()) {
            if (frequencies_.size() >= kMaxFrequencyTexts)
                frequencies_.clear();
            found = frequencies_.emplace(key, formatText("%.5f", mhz)).first;
        }
        return found->second;
    }

    void flush()
    {
        out_.write(rows_.data(), static_cast<std::streamsize>(rows_.size()));
        rows_.clear();
    }

    std::ostream& out_;
    const ExportSettings settings_;
    std::string rows_;
    std::string place_; // "time,latitude,longitude," of the last position
    std::string end_;   // ",position_source,fix" and the line end
    std::unordered_map<std::uint64_t, std::string> frequencies_;
};

} // namespace

std::unique_ptr<DriveWriter> csvWriter(std::ostream& out, const ExportSettings& settings)
{
    return std::make_unique<CsvWriter>(out, settings);
}

} // namespace zentor::klfexport
