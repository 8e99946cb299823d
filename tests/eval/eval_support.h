#pragma once
// Shared by the evaluation tests: positions ready for eval, weight
// sets, and mirrored positions.

#include "base/general.h"
#include "board/zobrist.h"
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "eval/params.h"
#include "eval/pawns.h"
#include "support.h"

// Every test starts and ends with the default weights.
struct EvalTest : ::testing::Test {
    void SetUp() override { TearDown(); }
    void TearDown() override { defaultWeights(); }
};

// Every weight 0 except the ones given: isolates single terms.
inline void onlyParams(std::initializer_list<std::pair<ScorePair*, ScorePair>> set) {
    for (const ParamEntry& e : paramTable) *e.value = 0;
    for (auto [param, v] : set) *param = v;
    reInitEval();
}

// Keys, pstScore and stage from scratch, as the search entry points do.
inline Position& rekey(Position& p) {
    p.hashKey = slowHash(p), p.pawnKey = slowPsHash(p);
    p.pstScore = getSC(p), p.stage = getSTAGE(p), p.prev = nullptr;
    return p;
}
inline Position evalPos(const std::string& fen) {
    Position p = fromFen(fen);
    return rekey(p);
}
inline int evalFen(const std::string& fen) { return eval(evalPos(fen)); }

inline Bitboard flipBits(Bitboard b, int flip) {
    Bitboard r = 0;
    for (; b; b &= b - 1) r |= bit(nextBit(b) ^ flip);
    return r;
}
// flip 56: ranks reversed, colours and side to move swapped. flip 7: files
// reversed, castling rights dropped (the kings leave the e-file).
inline Position mirror(const Position& p, int flip) {
    Position m = p;
    const int swap = flip == 56;
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < 7; ++k) m.pcs[c][k] = flipBits(p.pcs[c ^ swap][k], flip);
    m.castle = swap ? flipBits(p.castle, flip) : LAST_RANKS;
    m.ep = flipBits(p.ep, flip);
    m.ctm = (p.ctm & 1) ^ swap;
    return rekey(m);
}
