#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace zentor {

// The colour range bound that an edit box of the map range dialog holds: the text read as a
// decimal integer the way the C library's atoi reads it (leading blanks skipped, then an
// optional sign, then digits up to the first non-digit; no digits give 0), but clamped to the
// 16-bit range instead of wrapping: "-40000" gives -32768, "99999" gives 32767.
std::int16_t rangeValueFromText(const std::string& text);

// The settings of the map range dialog as the workers read them: the colour range from the last
// texts of edRSSIMin and edRSSIMax (converted by rangeValueFromText), and the receiver whose
// readings feed the map (UseR1 / UseR2). The dialog writes them on the window thread whenever a
// text or the choice changes; the GPS thread and the receiver routers read them, so no worker
// ever reads a widget. Each value is a whole atomic value; the two bounds are independent.
class MapSettings
{
public:
    static constexpr std::int16_t kDefaultRangeMinDbm = -120;
    static constexpr std::int16_t kDefaultRangeMaxDbm = -50;
    static constexpr int kDefaultReceiver = 0; // receiver #1

    // Window thread.
    void setRangeMinText(const std::string& text);
    void setRangeMaxText(const std::string& text);
    // 0 for receiver #1, 1 for receiver #2.
    void setReceiver(int receiverIndex);

    // Any thread.
    std::int16_t rangeMinDbm() const { return rangeMinDbm_.load(std::memory_order_acquire); }
    std::int16_t rangeMaxDbm() const { return rangeMaxDbm_.load(std::memory_order_acquire); }
    int receiver() const { return receiver_.load(std::memory_order_acquire); }

private:
    std::atomic<std::int16_t> rangeMinDbm_{kDefaultRangeMinDbm};
    std::atomic<std::int16_t> rangeMaxDbm_{kDefaultRangeMaxDbm};
    std::atomic<int> receiver_{kDefaultReceiver};
};

} // namespace zentor
