#include "platform/StandardOutput.h"

namespace zentor {

void setStandardOutputBinary() {}

} // namespace zentor
