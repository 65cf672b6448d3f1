// The libFuzzer entry of one fuzz program: ZENTOR_FUZZ_TARGET names the target body it runs.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZENTOR_FUZZ_TARGET(data, size);
    return 0;
}
