#pragma once

#include "DumpOutput.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor::klfdump {

// Dumps the `size` bytes of the log file `name` to `out`: the file, every record in file order
// as the program's record reader walks them, then the packet counts and the verdict. Returns the
// verdict. The bytes may be anything; nothing is read outside them.
KlfVerdict dumpLog(const std::string& name, const std::uint8_t* bytes, std::size_t size,
                   DumpOutput& out);

} // namespace zentor::klfdump
