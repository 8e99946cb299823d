// libFuzzer entry point of one target; FUZZ_FN names the target's function.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzInit();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FUZZ_FN(data, size); }
