#include "link/MeasurementMode.h"

namespace zentor {

const char* measurementModeName(MeasurementMode mode)
{
    switch (mode) {
    case MeasurementMode::Single:
        return "single";
    case MeasurementMode::List:
        return "list";
    case MeasurementMode::Table:
        return "table";
    }
    return "";
}

} // namespace zentor
