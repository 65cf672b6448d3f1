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
const char* measurementModeName(MeasurementMode mode);

} // namespace zentor
