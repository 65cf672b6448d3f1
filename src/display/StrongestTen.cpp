#include "display/StrongestTen.h"

namespace zentor {

namespace {
constexpr int kByteWrap = 256;
}

int readingDbm(std::uint8_t rssi)
{
    return rssi - kByteWrap;
}

std::array<TableSlot, kStrongestCount> strongestTen(const std::uint8_t* rssi, std::size_t count)
{
    std::array<TableSlot, kStrongestCount> slots{};
    for (std::size_t j = 0; j < count; ++j) {
        const int level = readingDbm(rssi[j]);
        int k = 0;
        while (k < kStrongestCount && slots[k].levelDbm >= level)
            ++k;
        if (k == kStrongestCount)
            continue;
        for (int m = kStrongestCount - 1; m > k; --m)
            slots[m] = slots[m - 1];
        slots[k] = {static_cast<int>(j) + 1, level};
    }
    return slots;
}

} // namespace zentor
