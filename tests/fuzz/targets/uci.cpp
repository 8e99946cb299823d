// The UCI loop fed the bytes as its standard input, every command included.
#include "eval/evaltables.h"
#include "eval/params.h"
#include "base/general.h"
#include "frontend/interface.h"
#include "base/platform.h"
#include "catch_exit.h"
#include "fuzz_targets.h"
#include "search/search.h"
#include "search/transposition.h"

int fuzzUci(const uint8_t* data, size_t size) {
    fuzzInit();
    // Every input meets a freshly started engine.
    uciReset();
    learned = {};
    if (hashMeg != 1 || !hashtable.entries) {
        ttabFreeHashTable(hashtable);
        hashMeg = 1;
        hashtable = ttabMakeHashTable(1);
    }
    platformInputFromMemory(reinterpret_cast<const char*>(data), size);
    // The loop ends only in platformExit: at end of input, on "quit" or on refused input.
    const int status = catchExit([] {
        for (;;) UCI();
    });
    platformInputFromMemory(nullptr, 0);
    FUZZ_CHECK(status >= 0);
    // A personality file named in the input changed the weights: back to the
    // defaults for the next input.
    bool changed = false;
    for (const ParamEntry& e : paramTable) {
        changed = changed || *e.value != e.def;
        *e.value = e.def;
    }
    if (changed) reInitEval();
    return 0;
}
