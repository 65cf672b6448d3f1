#pragma once

// The folder of the shared reference captures (another project's data, read where it lies, never
// copied): $ZENTOR_SHARED_DIR when set, else the folder beside the source tree that the build
// names. Tests that need it skip, saying why, when the captures are not there.
#include <cstdlib>
#include <string>

namespace zentor::test {

inline std::string sharedDataDir()
{
    const char* dir = std::getenv("ZENTOR_SHARED_DIR");
    return dir != nullptr && *dir != '\0' ? dir : ZENTOR_SHARED_DIR_FALLBACK;
}

} // namespace zentor::test
