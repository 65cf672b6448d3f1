#include "platform/StandardOutput.h"

#ifdef _WIN32

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace zentor {

void setStandardOutputBinary()
{
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace zentor

#endif
