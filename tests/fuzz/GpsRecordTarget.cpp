// A GPS record as the GPS thread takes it: decoded, then formatted into every text of the GPS
// panel update, whatever values the bytes hold.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "gps/GpsPanelTexts.h"
#include "gps/GpsRecordDecoder.h"

#include <algorithm>

namespace zentor::fuzz {
namespace {

constexpr std::size_t kIdTagBytes = 6;

void touchTexts(const GpsPanelTexts& texts)
{
    for (const std::string& text : texts.texts) {
        for (const char c : text)
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
    fuzzCheck(texts.text(GpsField::lblChannelHdr) == kChannelHeaderText,
              "an update sets the channel header whatever the record holds");
    touchTexts(texts);
    fuzzCheck(texts.text(GpsField::lblID) == status->idTag, "the ID label shows the ID tag");
    touch(texts.status.background.red + texts.status.text.blue);
}

} // namespace zentor::fuzz
