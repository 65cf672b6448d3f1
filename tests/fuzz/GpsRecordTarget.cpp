// A GPS record as the GPS thread takes it: decoded, then formatted into every text of the GPS
// panel update, whatever values the bytes hold.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "gps/GpsControlNames.h"
#include "gps/GpsPanelTexts.h"
#include "gps/GpsRecordDecoder.h"

#include <algorithm>

namespace zentor::fuzz {
namespace {

constexpr std::size_t kIdTagBytes = 6;
constexpr std::size_t kGroupTextCount = 8;
// Date and time, four positions, four heights, two speeds, heading, clock bias, oscillator
// offset, temperature, satellites, three UTC lines, GMT offset, ID, seven receiver status lines,
// the channel header, twelve channels and the geometry.
constexpr std::size_t kPanelTextCount = 21 + gpsctl::kRecStatCount + 1 + kGpsChannelCount + 1;

void touchTexts(const std::vector<ControlText>& texts)
{
    for (const ControlText& t : texts) {
        fuzzCheck(!t.control.empty(), "every text names its control");
        for (const char c : t.text)
            touch(static_cast<unsigned char>(c));
    }
}

} // namespace

void fuzzGpsRecord(const std::uint8_t* data, std::size_t size)
{
    const std::optional<GpsStatus> status = decodeGpsRecord(data, size);
    fuzzCheck(status.has_value() == (size >= kGpsRecordSize),
              "a record is decoded exactly when it has its 152 bytes");
    if (!status)
        return;
    fuzzCheck(std::equal(status->record.begin(), status->record.end(), data),
              "the status keeps the record as received");
    fuzzCheck(status->idTag.size() <= kIdTagBytes && status->idTag.find('\0') == std::string::npos,
              "the ID tag is at most six characters and holds no NUL");

    const GpsPanelTexts texts = formatGpsPanel(*status);
    fuzzCheck(texts.groupTexts.size() == kGroupTextCount &&
                  texts.panelTexts.size() == kPanelTextCount,
              "an update sets every field of the group and every label of the panel");
    touchTexts(texts.groupTexts);
    touchTexts(texts.panelTexts);
    const std::string* id = texts.textOf(gpsctl::kID);
    fuzzCheck(id && *id == status->idTag, "the ID label shows the ID tag");
    touch(texts.status.background.red + texts.status.text.blue);
}

} // namespace zentor::fuzz
