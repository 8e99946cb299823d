// The evaluation weights, their defaults and the personality-file loader.
#include "eval/params.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "eval/evaltables.h"
#include "frontend/notation.h"

ScorePair pmob, nmob, bmob, rmob, ropen, rhalf, qmob, blockedopen, kppdist, ntabm, btabm, rtabm,
    qtabm, ktabm, luftp, ksarea, ksdefm, ksattm, pthreat, outpost, minorbehind, pval, nval, bval,
    rval, qval, bpair, rpair, qpair, pdoubled, predundant, islands, isoh, isoo, duofended, pbkwd,
    passed, ppinc, ptabm, nwp, bwp, rwp, hmb;

// The defaults are what the engine plays with until a personality file is
// loaded; the parameters start out holding them.
#define P(name, mid, end) {#name, &name, scorePair(mid, end)}
const ParamEntry paramTable[43] = {
    P(pmob, 36, 115),       P(nmob, 58, 50),        P(bmob, 54, 54),
    P(rmob, 24, 48),        P(ropen, 180, 180),     P(rhalf, 50, 70),
    P(qmob, 18, 26),        P(blockedopen, -60, -84), P(kppdist, 0, 30),
    P(ntabm, 30, 12),       P(btabm, 14, 14),       P(rtabm, 16, 12),
    P(qtabm, 14, 14),       P(ktabm, 12, 12),       P(luftp, -108, -180),
    P(ksarea, 5, 0),        P(ksdefm, 10, 0),       P(ksattm, 10, 0),
    P(pthreat, 72, 120),    P(outpost, 30, 30),     P(minorbehind, 36, 0),
    P(pval, 850, 1150),     P(nval, 3400, 3900),    P(bval, 3400, 3900),
    P(rval, 4900, 6400),    P(qval, 10100, 12100),  P(bpair, 300, 450),
    P(rpair, -125, -175),   P(qpair, -80, -120),    P(pdoubled, -50, -80),
    P(predundant, 10, 10),  P(islands, -30, -60),   P(isoh, -35, -35),
    P(isoo, -140, -170),    P(duofended, 20, 0),    P(pbkwd, -35, -45),
    P(passed, 14, 23),      P(ppinc, 100, 160),     P(ptabm, 10, 10),
    P(nwp, 25, 25),         P(bwp, 20, 20),         P(rwp, -25, -25),
    P(hmb, 90, 20),
};
#undef P

void setDefaultParams() {
    for (const ParamEntry& e : paramTable) *e.value = e.def;
}

// Holds the defaults from program start, before anything else runs.
static const bool defaultsSet = (setDefaultParams(), true);

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
    (void)defaultsSet;
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
