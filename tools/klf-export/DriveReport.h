#pragma once

#include "Drive.h"

#include <string>
#include <vector>

namespace zentor::klfexport {

// What klf-export says on standard error about the drive it read from the log file `name`: what
// it found, what it left out and why, which frequencies the log does not tell, and where a file
// that is not whole stops or is damaged. One line each, without the program's name.
std::vector<std::string> driveReport(const std::string& name, const DriveSummary& drive);

} // namespace zentor::klfexport
