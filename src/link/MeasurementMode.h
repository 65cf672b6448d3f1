#pragma once

namespace zentor {

// The measurement the instrument runs, started from its own keys; its data packets show which:
// single mode sends types 2 and 3 (readings of each receiver's current tuning), list mode type 7
// (readings of the ten list entries; the main window's "Scan Mode" button), table mode type 9
// (readings of a sweep over the table entries).
enum class MeasurementMode
{
    Single,
    List,
    Table,
};

constexpr MeasurementMode kMeasurementModes[] = {MeasurementMode::Single, MeasurementMode::List,
                                                 MeasurementMode::Table};

// "single", "list" or "table": the mode's word on command lines and in exported files.
inline const char* measurementModeName(MeasurementMode mode)
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
