// What every fuzz target shares: engine set-up, the exit hook and scratch files.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/general.h"
#include "frontend/startup.h"
#include "frontend/interface.h"
#include "base/platform.h"
#include "catch_exit.h"
#include "fuzz_targets.h"
#include "search/search.h"
#include "search/transposition.h"

void fuzzInit() {
    static bool done = false;
    if (done) return;
    done = true;
    initStartupTables();
    initEngine();
    // Small enough that clearing it per input costs little; "setoption name
    // Hash" may ask for no more than this.
    hashMegMax = hashMeg = 1;
    hashtable = ttabMakeHashTable(1);
    // Every search ends within a few hundred nodes (mostly before its first
    // iteration does); input is read at every clock reading (each 1,024 node
    // entries, counted across searches), so it reaches some searches midway.
    searchHooks.nodeCap = 400;
    searchHooks.inputPollMask = 0x3ff;
    platformSetExitHook(exitcatch::hook);  // an exit outside catchExit is a fault
}

void fuzzFail(const char* what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

std::string fuzzText(const uint8_t* data, size_t size, size_t maxLen) {
    std::string s;
    for (size_t i = 0; i < size && i < maxLen && data[i]; ++i) s += char(data[i]);
    return s;
}

const char* fuzzFile(const uint8_t* data, size_t size) {
    static std::string name;
    if (name.empty()) {
        const char* dir = std::getenv("TMPDIR");
        name = std::string(dir && *dir ? dir : "/tmp") + "/zarv-fuzz-" + std::to_string(::getpid());
        std::atexit([] { std::remove(name.c_str()); });
    }
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) fuzzFail("cannot write the scratch file");
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return name.c_str();
}
