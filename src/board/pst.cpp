// Piece-square sums and stage weights from scratch.
#include "board/pst.h"

ScorePair pst[1024];

ScorePair getSC(const Position& p) {
    ScorePair s = 0;
    for (int col = 0; col < 2; ++col)
        for (int k = PAWN; k <= KING; ++k)
            for (Bitboard b = p.pcs[col][k]; b; b &= b - 1) s = spAdd(s, pst[pieceSquareIndex(col, k, nextBit(b))]);
    return s;
}

int getSTAGE(const Position& p) {
    int s = 0;
    for (int col = 0; col < 2; ++col)
        for (int k = BISHOP; k <= QUEEN; ++k) s += STAGE_WEIGHT[k] * popCount(p.pcs[col][k]);
    return s;
}
