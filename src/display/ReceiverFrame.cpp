#include "display/ReceiverFrame.h"

#include "core/TextFormat.h"

namespace zentor {

namespace {

constexpr double kSingleModeXMax = 2.0;
constexpr double kTenBarsXMax = 11.0;
constexpr double kSingleBarPosition = 1.0;
constexpr int kLowestLabelledDbm = -119; // weaker bars carry no label

std::string axisCaption(const DisplayChoices& choices)
{
    return choices.frequencyDown ? "Frequency" : "Channel";
}

std::string frequencyLabel(const ReceiverRange& range, std::int32_t count)
{
    return formatText("%.4f", frequencyMHz(range, count));
}

std::string numberLabel(std::int32_t number)
{
    return formatText("%d", static_cast<int>(number));
}

bool labelled(int levelDbm)
{
    return levelDbm >= kLowestLabelledDbm;
}

void composeSingle(const ReceiverSnapshot& rx, const DisplayChoices& choices, ReceiverFrame& f)
{
    const ReceiverRange& range = rx.range;
    f.xMax = kSingleModeXMax;
    f.verticalLabels = false;
    f.bottomCaption =
        choices.frequencyDown
            ? formatText("%.5f MHz", frequencyMHz(range, range.currentCount))
            : formatText("Channel %d", static_cast<int>(channelOfCount(range, range.currentCount)));
    const int level = readingDbm(rx.singleRssi);
    f.bars.push_back({kSingleBarPosition, formatText("%d dBm", level), double(level)});
}

// Table entry numbers count as channel numbers of the receiver's range.
void composeTable(const ReceiverSnapshot& rx, const DisplayChoices& choices, ReceiverFrame& f)
{
    f.xMax = kTenBarsXMax;
    f.verticalLabels = true;
    f.bottomCaption = axisCaption(choices);
    const auto slots = strongestTen(rx.tableRssi.data(), rx.tableRssi.size());
    for (int k = 0; k < kStrongestCount; ++k) {
        const TableSlot& slot = slots[static_cast<std::size_t>(k)];
        std::string label;
        if (labelled(slot.levelDbm))
            label = choices.frequencyDown
                        ? frequencyLabel(rx.range, countOfChannel(rx.range, slot.entry))
                        : numberLabel(slot.entry);
        f.bars.push_back({k + 1.0, std::move(label), double(slot.levelDbm)});
    }
}

void composeList(const ReceiverSnapshot& rx, const DisplayChoices& choices, ReceiverFrame& f)
{
    f.xMax = kTenBarsXMax;
    f.verticalLabels = true;
    f.bottomCaption = axisCaption(choices);
    for (int k = 0; k < kListEntries; ++k) {
        const int level = readingDbm(rx.listRssi[static_cast<std::size_t>(k)]);
        const std::int32_t count = rx.range.listCounts[static_cast<std::size_t>(k)];
        std::string label;
        if (labelled(level))
            label = choices.frequencyDown ? frequencyLabel(rx.range, count)
                                          : numberLabel(channelOfCount(rx.range, count));
        f.bars.push_back({k + 1.0, std::move(label), double(level)});
    }
}

} // namespace

std::string receiverTitle(int r, const ReceiverRange& range)
{
    return formatText("R%d (%.5f-%.5f)MHz %.2f KHz Step", r + 1,
                      frequencyMHz(range, range.startCount), frequencyMHz(range, range.stopCount),
                      range.stepKHz);
}

ReceiverFrame composeReceiverFrame(const ReceiverSnapshot& receiver, const DisplayChoices& choices)
{
    ReceiverFrame frame;
    switch (choices.mode) {
    case MeasurementMode::Single:
        composeSingle(receiver, choices, frame);
        break;
    case MeasurementMode::Table:
        composeTable(receiver, choices, frame);
        break;
    case MeasurementMode::List:
        composeList(receiver, choices, frame);
        break;
    }
    return frame;
}

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
