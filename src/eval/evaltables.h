#pragma once
// Lookup tables derived from the evaluation weights.
#include <cstdint>

#include "base/score.h"
#include "board/pst.h"

extern ScorePair n_mob_x[16], b_mob_x[16], r_mob_x[16], q_mob_x[32];
extern ScorePair kstab[96];
extern ScorePair distBon[8];
extern ScorePair isle[256];
extern ScorePair pdoubledA[10], duofendedA[10], isohA[10], isooA[10], pbkwdA[10], blockedopenA[10],
    pmobA[10], minorbehindA[10], nwpA[10], rwpA[10], bwpA[10], NbwpA[10];
extern ScorePair pthreatA[18], outpostA[18], predundantA[18];
extern ScorePair ksDef[8], ksAtt[8], ks3m[8];
extern int32_t spb[64];
extern ScorePair pp[128], pp40[128], ppm10[128], cpp[128];
extern int32_t maxPceVals[8];

double mobCalc(int x, int adj, double w);
void reInitEval();  // rebuild every table (pst too), then empty the pawn and evaluation caches
void init_eval();
