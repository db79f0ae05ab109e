// The libFuzzer face of one target; the build names it in FUZZ_TARGET_NAME.
#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

namespace {
TFuzzFunction target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp();
    const TFuzzTarget* t = FindFuzzTarget(FUZZ_TARGET_NAME);
    if (!t) {
        std::fprintf(stderr, "no fuzz target named %s in this executable\n", FUZZ_TARGET_NAME);
        std::exit(2);
    }
    target = t->Run;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    target(Data, Size);
    return 0;
}
