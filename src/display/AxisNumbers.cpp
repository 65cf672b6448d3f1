#include "display/AxisNumbers.h"

#include "core/TextFormat.h"

namespace zentor {

std::vector<std::string> verticalAxisNumbers(double top, double bottom, int divisions,
                                             int precision)
{
    std::vector<std::string> numbers;
    for (int s = 0; s <= divisions && divisions > 0; ++s)
        numbers.push_back(formatText("%.*f", precision, top - s * (top - bottom) / divisions));
    return numbers;
}

std::vector<std::string> bottomAxisNumbers(double xMin, double xMax, int precision, double scale)
{
    std::vector<std::string> numbers;
    for (int s = 0; s <= kBottomNumberSteps; ++s)
        numbers.push_back(
            formatText("%.*f", precision, (xMin + s * (xMax - xMin) / kBottomNumberSteps) * scale));
    return numbers;
}

} // namespace zentor
