// The evaluation weights, their defaults and the personality-file loader.
#include "eval/params.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "board/notation.h"
#include "eval/evaltables.h"

// Every weight with its default, in the order the loader tests keywords. The
// defaults are what the engine plays with until a personality file is loaded.
#define ZARV_PARAMS(X)                                                                                       \
    X(pmob, 36, 115) X(nmob, 58, 50) X(bmob, 54, 54) X(rmob, 24, 48) X(ropen, 180, 180) X(rhalf, 50, 70)   \
    X(qmob, 18, 26) X(blockedopen, -60, -84) X(kppdist, 0, 30) X(ntabm, 30, 12) X(btabm, 14, 14)             \
    X(rtabm, 16, 12) X(qtabm, 14, 14) X(ktabm, 12, 12) X(luftp, -108, -180) X(ksarea, 5, 0) X(ksdefm, 10, 0) \
    X(ksattm, 10, 0) X(pthreat, 72, 120) X(outpost, 30, 30) X(minorbehind, 36, 0) X(pval, 850, 1150)        \
    X(nval, 3400, 3900) X(bval, 3400, 3900) X(rval, 4900, 6400) X(qval, 10100, 12100) X(bpair, 300, 450)    \
    X(rpair, -125, -175) X(qpair, -80, -120) X(pdoubled, -50, -80) X(predundant, 10, 10)                     \
    X(islands, -30, -60) X(isoh, -35, -35) X(isoo, -140, -170) X(duofended, 20, 0) X(pbkwd, -35, -45)        \
    X(passed, 14, 23) X(ppinc, 100, 160) X(ptabm, 10, 10) X(nwp, 25, 25) X(bwp, 20, 20) X(rwp, -25, -25)      \
    X(hmb, 90, 20)

#define DEFINE_PARAM(name, mid, end) ScorePair name = scorePair(mid, end);
ZARV_PARAMS(DEFINE_PARAM)
#undef DEFINE_PARAM

#define PARAM_ENTRY(name, mid, end) {#name, &name, scorePair(mid, end)},
const ParamEntry paramTable[43] = {ZARV_PARAMS(PARAM_ENTRY)};
#undef PARAM_ENTRY
#undef ZARV_PARAMS

// Decimal text to a 32-bit value the way strtol does it on a 32-bit long:
// leading blanks and a sign accepted, digits up to the first other character,
// no digits giving 0, out-of-range values pinned to the 32-bit limits.
static int32_t parseValue(const char* text) {
    errno = 0;
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

int readPersonality(const char* path) {
    FILE* f = std::fopen(path, "r");
    // Nothing changes when there is no file to read: the engine keeps playing
    // as before. A directory opens but cannot be read, so it counts as none.
    if (!f) return 0;
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
        std::fclose(f);
        return 0;
    }
    // A personality is a complete set: whatever the file does not name is 0.
    for (const ParamEntry& e : paramTable) *e.value = 0;

    char line[1023];
    char* words[sizeof line / 2 + 2];
    while (std::fgets(line, sizeof line, f)) {
        if (line[0] == '#') continue;
        if (ParseString(line, words) != 3) continue;
        for (const ParamEntry& e : paramTable) {
            if (std::strcmp(words[0], e.name) == 0) {
                // The low 31 bits of each value: larger numbers wrap.
                *e.value = scorePair(parseValue(words[1]), parseValue(words[2]));
                break;
            }
        }
    }
    std::fclose(f);
    reInitEval();
    return 1;
}
