#pragma once
// The 43 evaluation weights (score pairs, tenths of a centipawn) and the
// personality-file loader that replaces them.
#include "base/score.h"

extern ScorePair pmob, nmob, bmob, rmob, ropen, rhalf, qmob, blockedopen, kppdist, ntabm, btabm,
    rtabm, qtabm, ktabm, luftp, ksarea, ksdefm, ksattm, pthreat, outpost, minorbehind, pval, nval,
    bval, rval, qval, bpair, rpair, qpair, pdoubled, predundant, islands, isoh, isoo, duofended,
    pbkwd, passed, ppinc, ptabm, nwp, bwp, rwp, hmb;

struct ParamEntry {
    const char* name;
    ScorePair* value;
    ScorePair def;
};
extern const ParamEntry paramTable[43];  // in the order the loader tests them

// Loads a personality file (a complete parameter set) and rebuilds the tables.
// Returns 0 when the file cannot be opened (nothing changes then), else 1.
int readPersonality(const char* path);
