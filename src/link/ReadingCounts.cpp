#include "link/ReadingCounts.h"

namespace zentor {

std::string readingCountsText(const ReadingCounts& counts)
{
    std::string text = "list and table readings:";
    for (std::size_t r = 0; r < kReceiverCount; ++r)
        text += " receiver " + std::to_string(r + 1) + " " + std::to_string(counts.stored[r]) +
                " stored, " + std::to_string(counts.taken[r]) + " in its last frame;";
    return text + " " + std::to_string(counts.refused) + " refused";
}

} // namespace zentor
